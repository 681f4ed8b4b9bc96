#include "engine/index.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <memory>

#include "base/coding.h"
#include "engine/codeconverter.h"
#include "engine/indexformat.h"
#include "engine/indexstate.h"

const char* const kOpenFailedMessage = "データを開けませんでした。";

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

// Reads `count` little-endian values into `table`: straight into place,
// then, on a machine of the other byte order, each turned round.
template <typename T>
bool ReadTable(std::FILE* file, size_t count, std::vector<T>& table) {
  static_assert(sizeof(T) == 2 || sizeof(T) == 4);
  table.resize(count);
  if (std::fread(table.data(), sizeof(T), count, file) != count) return false;
  if constexpr (std::endian::native == std::endian::big) {
    for (T& value : table) {
      const auto* bytes = reinterpret_cast<const uint8_t*>(&value);
      value = sizeof(T) == 2 ? LoadLE16(bytes) : LoadLE32(bytes);
    }
  }
  return true;
}

}  // namespace

CIndex::CIndex() : m_pState(std::make_unique<State>()) {}

CIndex::~CIndex() { Close(); }

bool CIndex::Open(const std::filesystem::path& directory, std::u16string_view corpusName, SearchTarget target) {
  Close();
  State& state = *m_pState;
  state.m_variantGroups.Load(directory);  // a missing table only turns folding off
  m_nResultCount = 0;
  // The counts go with the pages: keeping them would leave the two arrays
  // of different lengths.
  state.m_result.Clear();

  if (state.OpenIndexFiles(directory / IndexFileName(target, kIndexHeaderSuffix, corpusName),
                           directory / IndexFileName(target, kIndexPostingSuffix, corpusName)) &&
      state.m_fileList.Open(directory, corpusName)) {
    return true;
  }
  Close();
  return false;
}

bool CIndex::State::OpenIndexFiles(const std::filesystem::path& headerPath, const std::filesystem::path& postingPath) {
  UniqueFile header(std::fopen(headerPath.c_str(), "rb"));
  if (!header || fseeko(header.get(), 0, SEEK_END) != 0) return false;
  const off_t headerSize = ftello(header.get());
  if (headerSize < 0 || static_cast<uint64_t>(headerSize) < kHeaderTablesSize) return false;
  std::rewind(header.get());
  // In file order (engine/indexformat.h).
  if (!ReadTable(header.get(), kIndexCodeCount, m_firstBlock) ||
      !ReadTable(header.get(), kIndexCodeCount, m_sideFormat) ||
      !ReadTable(header.get(), kIndexCodeCount, m_sideLocation) ||
      !ReadTable(header.get(), kIndexCodeCount, m_lastPage)) {
    return false;
  }
  if (!m_postingMapping.Open(postingPath)) return false;
  // Chain entries past the posting file's blocks could never be followed:
  // a damaged header that claims more costs no memory for them.
  const uint64_t postingBlocks = (m_postingMapping.size() + kPostingBlockSize - 1) / kPostingBlockSize;
  const uint64_t chainLength =
      std::min((static_cast<uint64_t>(headerSize) - kHeaderTablesSize) / 4, std::min<uint64_t>(postingBlocks, UINT32_MAX));
  if (!ReadTable(header.get(), static_cast<size_t>(chainLength), m_chain)) return false;

  m_source = PostingSource{m_postingMapping.data(), m_postingMapping.size(), m_chain.data(),
                           static_cast<uint32_t>(chainLength)};
  const auto table = static_cast<size_t>(kNgramTableCode);
  m_ngrams.Open(m_source.data, m_source.size, m_sideFormat[table], m_sideLocation[table]);
  return true;
}

void CIndex::Close() { m_pState->Close(); }

void CIndex::State::Close() {
  m_firstBlock = {};
  m_sideFormat = {};
  m_sideLocation = {};
  m_lastPage = {};
  m_chain = {};
  m_source = PostingSource{};
  m_ngrams = NgramTable();
  m_postingMapping.Close();
  m_fileList.Close();
}

bool CIndex::IsOpen() const { return m_pState->IsOpen(); }

const std::vector<uint32_t>& CIndex::GetPageArray() const { return m_pState->m_result.pages; }

const std::vector<uint32_t>& CIndex::GetCountArray() const { return m_pState->m_result.counts; }

uint32_t CIndex::GetPageCount() const { return m_pState->m_fileList.GetPageCount(); }

bool CIndex::FindPageByFileNumber(uint32_t start, int fileNumber, uint32_t& page) {
  return IsOpen() && m_pState->m_fileList.FindPageByFileNumber(start, fileNumber, page);
}

bool CIndex::GetPageSize(uint32_t page, uint32_t& size) {
  return IsOpen() && m_pState->m_fileList.GetPageSize(page, size);
}

bool CIndex::ReadPage(uint32_t page, std::string& bytes) {
  return IsOpen() && m_pState->m_fileList.ReadPage(page, bytes);
}

bool CIndex::State::ListOf(int32_t code, uint32_t& firstBlock, uint32_t& lastPage) const {
  if (!IsOpen() || code < 0 || code >= kIndexCodeCount) return false;
  const uint32_t first = m_firstBlock[static_cast<size_t>(code)];
  if (first == kNoBlock) return false;
  firstBlock = first;
  lastPage = m_lastPage[static_cast<size_t>(code)];
  return true;
}
