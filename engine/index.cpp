#include "engine/index.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <memory>

#include "engine/codeconverter.h"
#include "base/reporter.h"

const char* const kOpenFailedMessage = "データを開けませんでした。";

namespace {

// Bytes of the four per-code tables at the start of "-idx.h"; the block
// chain fills the rest.
constexpr uint64_t kHeaderTablesSize = uint64_t{kIndexCodeCount} * (4 + 2 + 4 + 4);

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

template <typename T>
T ByteSwap(T value) {
  T swapped = 0;
  for (size_t i = 0; i < sizeof(T); ++i) swapped = static_cast<T>((swapped << 8) | ((value >> (8 * i)) & 0xFF));
  return swapped;
}

// Reads `count` little-endian values into `table`.
template <typename T>
bool ReadTable(std::FILE* file, size_t count, std::vector<T>& table) {
  table.resize(count);
  if (std::fread(table.data(), sizeof(T), count, file) != count) return false;
  if constexpr (std::endian::native == std::endian::big) {
    for (T& value : table) value = ByteSwap(value);
  }
  return true;
}

}  // namespace

CIndex::CIndex() = default;

CIndex::~CIndex() { Close(); }

bool CIndex::Open(const std::filesystem::path& directory, std::u16string_view corpusName, SearchTarget target) {
  Close();
  const std::string_view suffix = TargetInfoOf(target).fileSuffix;
  const std::u16string base = std::u16string(corpusName) + std::u16string(suffix.begin(), suffix.end());
  m_variantGroups.Load(directory);  // a missing table only turns folding off
  m_nResultCount = 0;
  // The counts go with the pages: keeping them would leave the two arrays
  // of different lengths.
  m_result.Clear();

  if (OpenIndexFiles(directory / (base + u"-idx.h"), directory / (base + u"-idx.m")) &&
      m_fileList.Open(directory, corpusName)) {
    return true;
  }
  CurrentReporter().Warn(kOpenFailedMessage);
  Close();
  return false;
}

bool CIndex::OpenIndexFiles(const std::filesystem::path& headerPath, const std::filesystem::path& postingPath) {
  UniqueFile header(std::fopen(headerPath.c_str(), "rb"));
  if (!header || fseeko(header.get(), 0, SEEK_END) != 0) return false;
  const off_t headerSize = ftello(header.get());
  if (headerSize < 0 || static_cast<uint64_t>(headerSize) < kHeaderTablesSize) return false;
  std::rewind(header.get());
  if (!ReadTable(header.get(), kIndexCodeCount, m_pFirstBlock) ||
      !ReadTable(header.get(), kIndexCodeCount, m_pCodeWords) ||
      !ReadTable(header.get(), kIndexCodeCount, m_pCodeLongs) ||
      !ReadTable(header.get(), kIndexCodeCount, m_pLastPage)) {
    return false;
  }
  if (!m_postingMapping.Open(postingPath)) return false;
  // Chain entries past the posting file's blocks could never be followed:
  // a damaged header that claims more costs no memory for them.
  const uint64_t postingBlocks = (m_postingMapping.size() + kPostingBlockSize - 1) / kPostingBlockSize;
  const uint64_t chainLength =
      std::min((static_cast<uint64_t>(headerSize) - kHeaderTablesSize) / 4, std::min<uint64_t>(postingBlocks, UINT32_MAX));
  if (!ReadTable(header.get(), static_cast<size_t>(chainLength), m_pNextBlock)) return false;

  m_nBlockCount = static_cast<uint32_t>(chainLength);
  m_pPostings = m_postingMapping.data();
  m_source = PostingSource{m_pPostings, m_postingMapping.size(), m_pNextBlock.data(), m_nBlockCount};
  const auto table = static_cast<size_t>(kNgramTableCode);
  m_ngrams.Open(m_pPostings, m_postingMapping.size(), m_pCodeWords[table], m_pCodeLongs[table]);
  return true;
}

void CIndex::Close() {
  m_pNextBlock = {};
  m_pCodeLongs = {};
  m_pCodeWords = {};
  m_pFirstBlock = {};
  m_pLastPage = {};
  m_source = PostingSource{};
  m_ngrams = NgramTable();
  m_pPostings = nullptr;
  m_nBlockCount = 0;
  m_postingMapping.Close();
  m_fileList.Close();
}

bool CIndex::FindPageByFileNumber(uint32_t start, int fileNumber, uint32_t& page) {
  return IsOpen() && m_fileList.FindPageByFileNumber(start, fileNumber, page);
}

bool CIndex::GetPageSize(uint32_t page, uint32_t& size) { return IsOpen() && m_fileList.GetPageSize(page, size); }

bool CIndex::ReadPage(uint32_t page, std::string& bytes) { return IsOpen() && m_fileList.ReadPage(page, bytes); }

bool CIndex::ListOf(int32_t code, uint32_t& firstBlock, uint32_t& lastPage) const {
  if (!IsOpen() || code < 0 || code >= kIndexCodeCount) return false;
  const uint32_t first = m_pFirstBlock[static_cast<size_t>(code)];
  if (first == UINT32_MAX) return false;
  firstBlock = first;
  lastPage = m_pLastPage[static_cast<size_t>(code)];
  return true;
}
