// An index of arbitrary tables, block chain and posting bytes, opened and
// searched. The lists of the alphabet's characters and of the first
// variant groups start where the input says, end at the page it says and
// have the skip table it says; the chain, the postings and the skip tables
// may loop, run off the file or disagree with the last pages. Every search
// must end with sound result arrays.
//
// Input: flags (byte: 1 OR, 2 variants, 4 render the first hit), query
// picks (chunk, see alphabet.h), then for each listed code its first block
// and last page (u32 each), skip table format (u16) and location (u32),
// the variant table (chunk), the block chain (chunk of little-endian u32,
// any trailing bytes ignored), the postings.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/codeconverter.h"
#include "engine/index.h"
#include "engine/indexformat.h"
#include "engine/variants.h"
#include "fuzz/alphabet.h"
#include "fuzz/fuzzinput.h"
#include "fuzz/indexcodes.h"
#include "fuzz/require.h"
#include "fuzz/soundresult.h"
#include "writer/corpuswriter.h"
#include "writer/scratchdir.h"

namespace {

using codexa::fuzz::FuzzInput;
using codexa::fuzz::RequireSoundResult;

// A valid file list of a few pages, so that Open gets as far as the index.
void WriteFileList(const std::filesystem::path& dir) {
  std::vector<codexa::writer::StoredPage> pages;
  for (int p = 0; p < 4; ++p) {
    pages.push_back({"vol\\" + std::to_string(p + 1) + ".htm",
                     "<title>t</title><TD>\xE4\xB8\x80\xE4\xB8\x81?</TD><TD>\xE4\xB8\x82\xE4\xB8\x80</TD>"});
  }
  std::string error;
  FUZZ_REQUIRE(codexa::writer::WriteFileList(dir, kCorpusName, pages, 100, error));
}

// "-idx.h", written whole once with no list for any code; each input then
// rewrites only the entries of the listed codes and the chain behind the
// tables, which keeps the 1.4 MB of tables out of every run's cost.
class HeaderFile {
 public:
  explicit HeaderFile(const std::filesystem::path& path)
      : m_nFd(::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600)) {
    std::string tables(kHeaderTablesSize, '\0');
    std::memset(tables.data(), 0xFF, (kSideFormatTableAt - kFirstBlockTableAt));
    FUZZ_REQUIRE(m_nFd >= 0 && ::pwrite(m_nFd, tables.data(), tables.size(), 0) == ssize_t(tables.size()));
  }
  ~HeaderFile() { ::close(m_nFd); }

  void Put(size_t offset, uint32_t value, int width = 4) {
    uint8_t bytes[4];
    for (int i = 0; i < width; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
    FUZZ_REQUIRE(::pwrite(m_nFd, bytes, width, static_cast<off_t>(offset)) == width);
  }
  void SetChain(std::string_view chain) {
    const off_t tables = static_cast<off_t>(kHeaderTablesSize);
    FUZZ_REQUIRE(::ftruncate(m_nFd, tables) == 0);
    FUZZ_REQUIRE(::pwrite(m_nFd, chain.data(), chain.size(), tables) == ssize_t(chain.size()));
  }

 private:
  int m_nFd;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static codexa::writer::ScratchDir dir;
  static const bool prepared = (WriteFileList(dir.path()), true);
  static HeaderFile header(dir / IndexHeaderName());
  (void)prepared;

  FuzzInput input(data, size);
  const uint8_t flags = input.Byte();
  std::u16string query = codexa::fuzz::PickUnits(input.Chunk());
  for (int32_t code : codexa::fuzz::kListedCodes) {
    header.Put(FirstBlockEntryAt(code), input.U32());
    header.Put(LastPageEntryAt(code), input.U32());
    header.Put(SideFormatEntryAt(code), input.U16(), 2);
    header.Put(SideLocationEntryAt(code), input.U32());
  }
  dir.Write(kVariantFileName, input.Chunk());
  header.SetChain(input.Chunk());
  dir.Write(IndexPostingName(), input.Rest());

  const bool orMode = flags & 1, variants = flags & 2, render = flags & 4;
  CIndex index;
  if (!index.Open(dir.path(), kCorpusNameUtf16, SearchTarget::kFullText)) {
    FUZZ_REQUIRE(!index.IsOpen());
    return 0;
  }
  const bool accepted = CIndex::CheckQuery(query) > 0;
  if (orMode) {
    index.SearchOr(query, variants);
  } else {
    index.SearchAnd(query, variants);
  }
  RequireSoundResult(index, !orMode);
  if (accepted) FUZZ_REQUIRE(query.find(u' ') == std::u16string::npos);
  if (!accepted) FUZZ_REQUIRE(index.GetResultCount() == 0);

  if (render && !index.GetPageArray().empty()) {
    std::string html;
    index.RenderHit(index.GetPageArray().front(), html, query, static_cast<DisplayCode>(flags >> 3 & 3), variants);
  }
  return 0;
}
