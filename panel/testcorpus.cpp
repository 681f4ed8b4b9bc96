#include "panel/testcorpus.h"

#include <QString>

#include "writer/textcorpus.h"

namespace codexa::paneltest {

namespace {

std::string Utf8(const std::u32string& text) {
  return QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size())).toStdString();
}

std::string FileName(const std::string& folder, int number) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%04d.htm", number);
  return folder + digits;
}

// Writes the index of one target: the page texts under `base`, by way of a
// text corpus written beside the real one and renamed.
bool WriteTargetIndex(const std::filesystem::path& directory, const std::string& base,
                      const std::vector<std::u32string>& texts, const std::vector<std::vector<uint32_t>>& groups,
                      std::string& error) {
  const std::filesystem::path scratch = directory / (".target-" + base);
  std::filesystem::create_directories(scratch);
  writer::TextCorpusWriter target(groups);
  for (const auto& text : texts) target.AddPage(text, false);
  if (!target.Write(scratch, {}, error)) return false;
  for (const char* suffix : {"-idx.h", "-idx.m"}) {
    std::filesystem::rename(scratch / (std::string("Index") + suffix), directory / (base + suffix));
  }
  std::filesystem::remove_all(scratch);
  return true;
}

}  // namespace

std::string PageHtml(const std::string& title, const std::u32string& cell) {
  const std::string text = Utf8(cell);
  return "<html><head><title>" + title + "</title></head><body><table><tr><TD>" + text + "</TD><TD>" + text +
         "</TD></tr></table></body></html>";
}

bool WriteCorpus(const std::filesystem::path& directory, const Corpus& corpus, std::string& error) {
  std::vector<writer::StoredPage> stored;
  std::vector<std::u32string> texts;
  for (const Page& page : corpus.pages) {
    stored.push_back({page.name, PageHtml("page", page.cell)});
    texts.push_back(page.cell);
  }
  const auto& notes = corpus.annotationCells.empty() ? texts : corpus.annotationCells;
  return WriteTargetIndex(directory, "Index", texts, corpus.groups, error) &&
         WriteTargetIndex(directory, "Index_content", texts, corpus.groups, error) &&
         WriteTargetIndex(directory, "Index_desc", notes, corpus.groups, error) &&
         writer::WriteFileList(directory, "Index", stored, 100, error) &&
         writer::WriteVariantTable(directory, corpus.groups, error) &&
         writer::WriteCatalogue(directory, corpus.catalogue, error);
}

Corpus FormFixture() {
  Corpus corpus;
  const std::u32string firstVolume[] = {U"學而時習之明月", U"学习明月清風", U"清風"};
  for (int i = 0; i < 3; ++i) corpus.pages.push_back({FileName("經部\\詩經\\卷一\\", i + 1), firstVolume[i]});
  corpus.pages.push_back({FileName("經部\\詩經\\卷二\\", 4), U"明月松"});
  corpus.pages.push_back({FileName("經部\\詩經\\卷二\\", 5), U"松竹"});
  for (int i = 0; i < 101; ++i) {
    corpus.pages.push_back({FileName("經部\\雜篇\\卷一\\", 6 + i), i < 100 ? U"雲雨" : U"雲"});
  }
  std::u32string longPage;
  for (int line = 0; line < 200; ++line) longPage += U"山水之間<br>";
  longPage += U"白鶴";
  for (int line = 0; line < 100; ++line) longPage += U"<br>山水";
  corpus.pages.push_back({FileName("集部\\唐詩\\卷一\\", 107), longPage});
  corpus.pages.push_back({FileName("集部\\唐詩\\卷一\\", 108), U"黃鶴樓"});
  corpus.catalogue = {
      {u"經部", 1, 1, 106, 1}, {u"詩經", 2, 1, 5, 1},   {u"卷一", 3, 1, 3, 1}, {u"卷二", 3, 4, 2, 4},
      {u"雜篇", 2, 6, 101, 6}, {u"卷一", 3, 6, 101, 6}, {u"集部", 1, 107, 2, 107},
      {u"唐詩", 2, 107, 2, 107}, {u"卷一", 3, 107, 2, 107},
  };
  corpus.groups = {{0x5B78, 0x5B66}};
  corpus.annotationCells.assign(corpus.pages.size(), U"松");
  return corpus;
}

}  // namespace codexa::paneltest
