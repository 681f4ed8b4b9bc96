// Rendering benchmark: the median time to open a hit page, as the reader
// does when a result is chosen (page read, split, keyword passes, frame),
// with one, three and ten keywords, a 40-character keyword with variant
// folding, and two 6-character keywords whose forms are rendered one by
// one. It uses the default corpus beside the program when there is one
// (a typical page holding the first keyword), otherwise a generated page
// of the builder's shape.
//
//   render_bench [corpus folder] [repetitions]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "bench/benchsupport.h"
#include "engine/codeconverter.h"
#include "engine/index.h"
#include "engine/indexformat.h"
#include "writer/corpuswriter.h"
#include "writer/scratchdir.h"

namespace {

using Clock = std::chrono::steady_clock;
using codexa::bench::Median;

const std::u16string kTen = u"月 風 花 山 水 人 天 日 雲 春";


std::filesystem::path ProgramFolder() {
  std::error_code error;
  return std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
}

// A poem page as the builder sets it: a heading, paragraphs with
// annotation runs in the text cell, and the fold column.
std::string GeneratedPage() {
  const std::string note = "<font size=-1 color=\"#993366\">";
  std::string text = "<h4 style=\"margin:6px 0\">春江花月夜</h4>";
  const char* lines[] = {"春江潮水連海平，海上明月共潮生。", "灩灩隨波千萬里，何處春江無月明。",
                         "江流宛轉遶芳甸，月照花林皆似霰。", "空裏流霜不覺飛，汀上白沙看不見。",
                         "江天一色無纖塵，皎皎空中孤月輪。", "江畔何人初見月，江月何年初照人。"};
  for (int stanza = 0; stanza < 6; ++stanza) {
    text += "<p>";
    for (const char* line : lines) text += line;
    text += note + "此言春夜江上之景，月色與水光相映，天地一色。" + "</font>";
  }
  return "<html><head><meta charset=utf-8><title>春江花月夜</title></head><body><table><tr><TD><div>" + text +
         "</div></TD><TD><div>全唐詩<br>卷一<br>二</div></TD></tr></table></body></html>";
}

// Writes a one-page corpus around the generated page, every character of
// it paired with a variant form so that folding has work to do.
bool WriteGeneratedCorpus(const std::filesystem::path& dir) {
  std::string error;
  const std::string page = GeneratedPage();
  codexa::writer::PostingCollector collector;
  collector.Add(0, 0, 0);
  std::vector<std::vector<uint32_t>> groups;
  for (uint32_t c = 0x4E00; c < 0x9FA0; c += 2) groups.push_back({c, c + 1});
  return codexa::writer::WriteFileList(dir, kCorpusName, {{"全唐詩\\卷一\\0002.htm", page}}, 100, error) &&
         codexa::writer::WriteIndex(dir, IndexBaseName(SearchTarget::kFullText), collector.Finish(), {}, error) &&
         codexa::writer::WriteVariantTable(dir, groups, error);
}

// The first 40 characters of the page's text that stand in a row without
// a tag between them (three-byte characters only), or less when the page
// has no such stretch.
std::u16string FortyCharacters(std::string_view bytes) {
  std::u16string keyword;
  for (size_t i = 0; i + 3 <= bytes.size() && keyword.size() < 40; ++i) {
    const auto lead = static_cast<uint8_t>(bytes[i]);
    if (lead < 0xE0 || lead > 0xEF) {
      keyword.clear();
      continue;
    }
    keyword += static_cast<char16_t>(((lead & 0x0F) << 12) | ((bytes[i + 1] & 0x3F) << 6) | (bytes[i + 2] & 0x3F));
    i += 2;
  }
  return keyword;
}

// A typical page for the first keyword: of the first pages that hold it
// and a stretch of 40 characters, the one of median size.
uint32_t TypicalPage(CIndex& index) {
  std::u16string query = u"月";
  index.SearchAnd(query, false);
  std::vector<std::pair<size_t, uint32_t>> sized;  // size, page
  for (uint32_t page : index.GetPageArray()) {
    std::string bytes;
    if (index.ReadPage(page, bytes) && FortyCharacters(bytes).size() == 40) sized.emplace_back(bytes.size(), page);
    if (sized.size() == 501) break;
  }
  if (sized.empty()) return 0;
  std::sort(sized.begin(), sized.end());
  return sized[sized.size() / 2].second;
}

}  // namespace

int main(int argc, char** argv) {
  std::filesystem::path corpus = argc > 1 ? std::filesystem::path(argv[1]) : ProgramFolder();
  const int repetitions = argc > 2 ? std::max(1, std::atoi(argv[2])) : 301;

  codexa::writer::ScratchDir scratch;
  if (!std::filesystem::exists(corpus / FileListHeaderName())) {
    if (!WriteGeneratedCorpus(scratch.path())) return 1;
    corpus = scratch.path();
    std::printf("corpus: generated page\n");
  } else {
    std::printf("corpus: %s\n", corpus.c_str());
  }
  CIndex index;
  if (!index.Open(corpus, kCorpusNameUtf16, SearchTarget::kFullText)) return 1;
  const uint32_t page = TypicalPage(index);
  uint32_t size = 0;
  index.GetPageSize(page, size);
  std::printf("page %u, %u bytes\n", page, size);

  std::string bytes;
  index.ReadPage(page, bytes);
  const std::u16string forty = FortyCharacters(bytes);
  const struct {
    const char* label;
    std::u16string keywords;
    bool variants;
  } cases[] = {
      {"1 keyword", kTen.substr(0, 1), false},
      {"3 keywords", kTen.substr(0, 5), false},
      {"10 keywords", kTen, false},
      {"1 keyword, variants", kTen.substr(0, 1), true},
      {"40-character keyword, variants", forty, true},
      {"2 x 6 characters, variants", forty.substr(0, 6) + u" " + forty.substr(6, 6), true},
  };
  for (const auto& c : cases) {
    std::vector<double> times;
    int anchors = 0;
    size_t bytes = 0;
    for (int i = 0; i < repetitions; ++i) {
      std::string output;
      const auto start = Clock::now();
      anchors = index.RenderHit(page, output, c.keywords, DisplayCode::kFullText, c.variants);
      times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
      bytes = output.size();
    }
    std::printf("%-32s median %8.1f us   %4d anchors, %zu bytes\n", c.label, Median(times), anchors, bytes);
  }
  return 0;
}
