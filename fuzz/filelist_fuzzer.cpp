// A file list made of arbitrary header and text bytes, and every page
// operation on it. Whatever the header claims, the reader must answer from
// inside the two files and its own buffers.
//
// Input: start page (u32), file number (u32), display code (byte),
// keyword text (chunk of UTF-16 units), header bytes (chunk), text bytes.
#include <algorithm>
#include <cstdint>
#include <string>

#include "corpus/filelist.h"
#include "corpus/filelistformat.h"
#include "fuzz/fuzzinput.h"
#include "fuzz/require.h"
#include "writer/scratchdir.h"

namespace {

using codexa::fuzz::FuzzInput;

// Pages probed per input: enough to walk every entry a small input holds.
constexpr uint32_t kMaxPagesProbed = 64;

void ProbePage(CFileList& list, uint32_t page, std::u16string_view keywords, DisplayCode displayCode) {
  uint32_t size = 0;
  const bool hasSize = list.GetPageSize(page, size);
  std::string bytes = "untouched";
  if (list.ReadPage(page, bytes)) {
    FUZZ_REQUIRE(hasSize && bytes.size() == size);
  } else {
    FUZZ_REQUIRE(bytes == "untouched");
  }
  std::string name;
  if (list.ReadPageAndName(page, bytes, name)) {
    FUZZ_REQUIRE(name.size() < list.GetNameLength() && name.find('\0') == std::string::npos);
    int number = 0;
    CFileList::FileNumberOfName(name, number);
  }
  std::string html;
  const int anchors = list.RenderPage(page, html, keywords, displayCode);
  FUZZ_REQUIRE(anchors >= 0);
  FUZZ_REQUIRE(codexa::fuzz::CountOccurrences(html, "<a name=\"") >= static_cast<size_t>(anchors));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static codexa::writer::ScratchDir dir;
  FuzzInput input(data, size);
  const uint32_t start = input.U32();
  const int fileNumber = static_cast<int32_t>(input.U32());
  const auto displayCode = static_cast<DisplayCode>(input.Byte() % 4);
  const std::u16string keywords = codexa::fuzz::Utf16Units(input.Chunk());
  dir.Write(FileListHeaderName(), input.Chunk());
  dir.Write(FileListTextName(), input.Rest());

  CFileList list;
  if (!list.Open(dir.path(), kCorpusNameUtf16)) {
    FUZZ_REQUIRE(!list.IsOpen());
    return 0;
  }
  const uint32_t probed = std::min(list.GetPageCount(), kMaxPagesProbed);
  for (uint32_t page = 0; page < probed; ++page) ProbePage(list, page, keywords, displayCode);
  for (uint32_t page : {list.GetPageCount(), start, UINT32_MAX}) ProbePage(list, page, keywords, displayCode);

  uint32_t found = 0;
  if (list.FindPageByFileNumber(start, fileNumber, found)) {
    std::string bytes, name;
    int number = 0;
    if (list.ReadPageAndName(found, bytes, name)) {
      FUZZ_REQUIRE(CFileList::FileNumberOfName(name, number) && number == fileNumber);
    }
  }
  list.Close();
  FUZZ_REQUIRE(!list.IsOpen());
  return 0;
}
