#include "bench/compare/pagetexts.h"

#include "base/unicode.h"
#include "corpus/filelist.h"
#include "corpus/filelistformat.h"
#include "tools/build/indexedtext.h"

namespace compare {

namespace {

void AppendCharacter(uint32_t codePoint, std::string& text) {
  // A separator or line break inside the cell stands for one ordinary
  // character: it takes a position like any other.
  if (codePoint == '\n' || codePoint == '\r' || codePoint == static_cast<uint8_t>(kRunSeparator)) codePoint = ' ';
  AppendUtf8(codePoint, text);
}

}  // namespace

bool ReadPageTexts(const std::filesystem::path& directory, std::vector<std::string>& pages, std::string& error) {
  CFileList fileList;
  if (!fileList.Open(directory, kCorpusNameUtf16)) {
    error = "cannot open the file list Index-fl.h/.cnt in " + directory.string();
    return false;
  }
  pages.assign(fileList.GetPageCount(), {});
  std::string html, name;
  std::vector<codexa::build::IndexedChar> chars;
  for (uint32_t page = 0; page < pages.size(); ++page) {
    if (!fileList.ReadPageAndName(page, html, name)) {
      error = "cannot read page " + std::to_string(page);
      return false;
    }
    codexa::build::ScanIndexedText(html, codexa::build::CellSelector(name), chars);
    std::string& text = pages[page];
    for (size_t i = 0; i < chars.size(); ++i) {
      if (i > 0 && chars[i].position != chars[i - 1].position + 1) text += kRunSeparator;
      AppendCharacter(chars[i].codePoint, text);
    }
  }
  return true;
}

}  // namespace compare
