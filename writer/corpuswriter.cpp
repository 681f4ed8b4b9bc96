#include "writer/corpuswriter.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>

#include "base/coding.h"
#include "corpus/catalogueformat.h"
#include "corpus/filelistformat.h"
#include "engine/codeconverter.h"
#include "engine/indexformat.h"
#include "engine/variants.h"
#include "writer/skipwriter.h"

namespace codexa::writer {

namespace {

// Writes `pieces` one after the other as the file at `path`.
bool WriteBytes(const std::filesystem::path& path, const std::vector<std::string_view>& pieces, std::string& error) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  for (const std::string_view bytes : pieces) file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) {
    error = "cannot write " + path.string();
    return false;
  }
  return true;
}

std::filesystem::path Named(const std::filesystem::path& directory, std::string_view name, std::string_view suffix) {
  // Names are UTF-8 on this side; the path takes them as such.
  std::u8string fileName(name.begin(), name.end());
  fileName.append(suffix.begin(), suffix.end());
  return directory / fileName;
}

// The order in which blocks are handed out: a list of (list index) per
// slot. Sequentially every list takes its blocks in one run; interleaved,
// the lists take one block each in turn.
std::vector<size_t> SlotOwners(const std::vector<uint32_t>& blocksPerList, bool interleave) {
  std::vector<size_t> owners;
  if (!interleave) {
    for (size_t i = 0; i < blocksPerList.size(); ++i) owners.insert(owners.end(), blocksPerList[i], i);
    return owners;
  }
  std::vector<uint32_t> left = blocksPerList;
  for (bool any = true; any;) {
    any = false;
    for (size_t i = 0; i < left.size(); ++i) {
      if (left[i] == 0) continue;
      owners.push_back(i);
      --left[i];
      any = true;
    }
  }
  return owners;
}

// Block number of each slot: the identity, or a seeded shuffle (spelled
// out, so that a seed gives the same files with every standard library).
std::vector<uint32_t> BlockNumbers(size_t count, const BlockLayout& layout) {
  std::vector<uint32_t> numbers(count);
  for (size_t i = 0; i < count; ++i) numbers[i] = static_cast<uint32_t>(i);
  if (!layout.interleave) return numbers;
  std::mt19937 random(layout.seed);
  for (size_t i = count; i > 1; --i) std::swap(numbers[i - 1], numbers[random() % i]);
  return numbers;
}

}  // namespace

bool WriteFileList(const std::filesystem::path& directory, std::string_view corpusName,
                   const std::vector<StoredPage>& pages, uint32_t nameLength, std::string& error) {
  if (nameLength > kMaxNameLength) {
    error = "name length above " + std::to_string(kMaxNameLength);
    return false;
  }
  const uint64_t entrySize = uint64_t{nameLength} + kEntryNumbersSize;
  if (pages.size() > UINT32_MAX || kFileListHeaderSize + pages.size() * entrySize > (uint64_t{1} << 31)) {
    error = "too many pages for the entry table";
    return false;
  }
  std::string header;
  header.reserve(kFileListHeaderSize + pages.size() * entrySize);
  AppendLE32(static_cast<uint32_t>(pages.size()), header);
  AppendLE32(nameLength, header);
  header.append(kHeaderBlockSize, '\0');

  std::ofstream text(Named(directory, corpusName, kFileListTextSuffix), std::ios::binary | std::ios::trunc);
  uint64_t end = 0;
  std::string scrambled;
  for (const StoredPage& page : pages) {
    if (page.name.size() >= nameLength) {
      error = "stored name does not fit its field: " + page.name;
      return false;
    }
    end += page.html.size();
    if (end > kMaxTextBytes) {
      error = "text file above 4 GiB";
      return false;
    }
    header += page.name;
    header.append(nameLength - page.name.size(), '\0');
    AppendLE32(static_cast<uint32_t>(end), header);
    AppendLE32(static_cast<uint32_t>(page.html.size()), header);
    scrambled = page.html;
    for (char& c : scrambled) c = static_cast<char>(static_cast<uint8_t>(c) ^ kScrambleMask);
    text.write(scrambled.data(), static_cast<std::streamsize>(scrambled.size()));
  }
  text.close();
  if (!text) {
    error = "cannot write the text file";
    return false;
  }
  return WriteBytes(Named(directory, corpusName, kFileListHeaderSuffix), {header}, error);
}

void PostingCollector::Fail(const std::string& error) {
  if (m_strError.empty()) m_strError = error;
}

void PostingCollector::Add(int32_t code, uint32_t page, uint32_t position) {
  if (m_bFinished) return Fail("occurrence added after Finish");
  if (code < 0 || code >= kIndexCodeCount) return Fail("index code out of range: " + std::to_string(code));
  if (position > kMaxVarNumber) return Fail("position too large: " + std::to_string(position));
  if (m_pending.empty()) m_pending.resize(kIndexCodeCount);
  Pending& p = m_pending[static_cast<size_t>(code)];
  if (p.open && page != p.page) Close(p);
  if (!p.open) {
    const bool hasRecords = !p.list.bytes.empty();
    if (hasRecords ? page <= p.list.lastPage : false) return Fail("pages out of order");
    if (page - p.list.lastPage > kMaxVarNumber) return Fail("page delta too large");
    p.open = true;
    p.page = page;
    p.positions.clear();
    AppendVarNumber(position, p.positions);
  } else {
    if (position <= p.lastPosition) return Fail("positions out of order");
    AppendVarNumber(position - p.lastPosition, p.positions);
  }
  p.lastPosition = position;
  m_ngrams.Add(code, page, position);
}

void PostingCollector::Close(Pending& p) {
  if (p.positions.size() > kMaxPositionBytes) Fail("more than 65,535 position bytes in one page");
  AppendVarNumber(p.page - p.list.lastPage, p.list.bytes);
  AppendLE16(static_cast<uint16_t>(p.positions.size()), p.list.bytes);
  p.list.bytes += p.positions;
  p.list.lastPage = p.page;
  p.open = false;
}

const std::map<int32_t, PostingCollector::List>& PostingCollector::Finish() {
  if (!m_bFinished) {
    m_bFinished = true;
    for (size_t code = 0; code < m_pending.size(); ++code) {
      Pending& p = m_pending[code];
      if (p.open) Close(p);
      // The lists grew by doubling; what they will not use goes now, one
      // list at a time, before the index is written.
      p.list.bytes.shrink_to_fit();
      if (!p.list.bytes.empty()) m_lists.emplace(static_cast<int32_t>(code), std::move(p.list));
    }
    m_pending = {};
  }
  return m_lists;
}

bool PostingCollector::ok(std::string& error) const {
  if (m_strError.empty()) return true;
  error = m_strError;
  return false;
}

namespace {

// The page-count table of `ngrams`, to follow the skip tables `skipTables`
// (the posting file from `tailStart` on, which it pads to the table's
// alignment), in pieces; none when there is no table.
std::vector<std::string> PageCountTable(const std::map<int32_t, PostingCollector::List>& lists,
                                        NgramCollector& ngrams, uint64_t tailStart, std::string& skipTables,
                                        std::vector<uint16_t>& formats, std::vector<uint32_t>& locations) {
  // The table's entries are those of a code no character has; a list that
  // claims that code anyway keeps it, and the table is left out.
  if (lists.contains(kNgramTableCode)) return {};
  std::vector<std::string_view> positionLists(kIndexCodeCount);
  for (const auto& [code, list] : lists) positionLists[static_cast<size_t>(code)] = list.bytes;
  std::vector<std::string> table = ngrams.Table(positionLists);
  const uint64_t aligned = (tailStart + skipTables.size() + kNgramAlign - 1) / kNgramAlign * kNgramAlign;
  if (table.empty() || aligned / kNgramAlign > UINT32_MAX) return {};
  skipTables.resize(aligned - tailStart, '\0');
  const auto code = static_cast<size_t>(kNgramTableCode);
  locations[code] = static_cast<uint32_t>(aligned / kNgramAlign);
  formats[code] = kNgramFormat;
  return table;
}

// Where the bytes of one posting block come from: a list and the offset in
// it; a block of no list is zeros.
struct BlockSource {
  const std::string* list = nullptr;
  size_t from = 0;
};

// Writes the posting file: the blocks from their lists, then `tail` (the
// side tables), each piece in turn, without gathering the file in memory.
bool WritePostings(const std::filesystem::path& path, const std::vector<BlockSource>& blocks,
                   const std::vector<std::string>& tail, std::string& error) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  const std::string zeros(kPostingBlockSize, '\0');
  for (const BlockSource& block : blocks) {
    const size_t n = block.list == nullptr ? 0 : std::min<size_t>(kPostingBlockSize, block.list->size() - block.from);
    if (n > 0) file.write(block.list->data() + block.from, static_cast<std::streamsize>(n));
    file.write(zeros.data(), static_cast<std::streamsize>(kPostingBlockSize - n));
  }
  for (const std::string& piece : tail) file.write(piece.data(), static_cast<std::streamsize>(piece.size()));
  file.close();
  if (!file) {
    error = "cannot write " + path.string();
    return false;
  }
  return true;
}

bool WriteIndexFiles(const std::filesystem::path& directory, std::string_view base,
                     const std::map<int32_t, PostingCollector::List>& lists, const BlockLayout& layout,
                     std::string& error, NgramCollector* ngrams) {
  std::vector<int32_t> codes;
  std::vector<const PostingCollector::List*> contents;
  std::vector<uint32_t> blocksPerList;
  for (const auto& [code, list] : lists) {
    if (code < 0 || code >= kIndexCodeCount) {
      error = "index code out of range: " + std::to_string(code);
      return false;
    }
    if (list.bytes.empty()) continue;  // no list: the code keeps "none"
    codes.push_back(code);
    contents.push_back(&list);
    blocksPerList.push_back(static_cast<uint32_t>((list.bytes.size() + kPostingBlockSize - 1) / kPostingBlockSize));
  }
  const std::vector<size_t> owners = SlotOwners(blocksPerList, layout.interleave);
  if (owners.size() >= kNoBlock) {
    error = "too many posting blocks";
    return false;
  }
  // An index without lists still gets one block: an empty posting file
  // could not be opened, and the target would be refused as corrupt.
  const size_t blockCount = std::max<size_t>(owners.size(), 1);
  const std::vector<uint32_t> numbers = BlockNumbers(blockCount, layout);

  std::vector<uint32_t> firstBlock(kIndexCodeCount, kNoBlock), lastPage(kIndexCodeCount, 0);
  std::vector<uint32_t> chain(blockCount, kNoBlock);
  std::vector<BlockSource> sources(blockCount);
  std::vector<uint32_t> previous(codes.size(), kNoBlock), written(codes.size(), 0);
  std::vector<std::vector<uint32_t>> listBlocks(codes.size());
  for (size_t slot = 0; slot < owners.size(); ++slot) {
    const size_t i = owners[slot];
    const uint32_t block = numbers[slot];
    listBlocks[i].push_back(block);
    if (previous[i] == kNoBlock) {
      firstBlock[static_cast<size_t>(codes[i])] = block;
      lastPage[static_cast<size_t>(codes[i])] = contents[i]->lastPage;
    } else {
      chain[previous[i]] = block;
    }
    sources[block] = {&contents[i]->bytes, written[i]};
    written[i] += kPostingBlockSize;
    previous[i] = block;
  }

  // Skip tables go after the lists' blocks, where no chain leads.
  const uint64_t tailStart = uint64_t{blockCount} * kPostingBlockSize;
  std::string skipTables;
  std::vector<uint16_t> sideFormat(kIndexCodeCount, 0);
  std::vector<uint32_t> sideLocation(kIndexCodeCount, 0);
  for (size_t i = 0; i < codes.size(); ++i) {
    const auto code = static_cast<size_t>(codes[i]);
    sideLocation[code] = AppendSkipTable(codes[i], contents[i]->bytes, listBlocks[i], tailStart, skipTables);
    if (sideLocation[code] != 0) sideFormat[code] = kSkipFormat;
  }
  std::vector<std::string> tail;
  if (ngrams != nullptr && layout.pageCountTable)
    tail = PageCountTable(lists, *ngrams, tailStart, skipTables, sideFormat, sideLocation);
  tail.insert(tail.begin(), std::move(skipTables));
  uint64_t size = tailStart;
  for (const std::string& piece : tail) size += piece.size();
  tail.emplace_back((kPostingBlockSize - size % kPostingBlockSize) % kPostingBlockSize, '\0');
  chain.resize((size + kPostingBlockSize - 1) / kPostingBlockSize, kNoBlock);

  // The tables in file order (engine/indexformat.h).
  std::string header;
  header.reserve(ChainEntryAt(static_cast<uint32_t>(chain.size())));
  for (uint32_t value : firstBlock) AppendLE32(value, header);
  for (uint16_t value : sideFormat) AppendLE16(value, header);
  for (uint32_t value : sideLocation) AppendLE32(value, header);
  for (uint32_t value : lastPage) AppendLE32(value, header);
  for (uint32_t value : chain) AppendLE32(value, header);
  return WriteBytes(Named(directory, base, kIndexHeaderSuffix), {header}, error) &&
         WritePostings(Named(directory, base, kIndexPostingSuffix), sources, tail, error);
}

}  // namespace

bool WriteIndex(const std::filesystem::path& directory, std::string_view base,
                const std::map<int32_t, PostingCollector::List>& lists, const BlockLayout& layout,
                std::string& error) {
  return WriteIndexFiles(directory, base, lists, layout, error, nullptr);
}

bool WriteIndex(const std::filesystem::path& directory, std::string_view base, PostingCollector& collector,
                const BlockLayout& layout, std::string& error) {
  const std::map<int32_t, PostingCollector::List>& lists = collector.Finish();
  return collector.ok(error) && WriteIndexFiles(directory, base, lists, layout, error, &collector.ngrams());
}

bool WriteVariantTable(const std::filesystem::path& directory, const std::vector<std::vector<uint32_t>>& groups,
                       std::string& error) {
  std::string text;
  char hex[16];
  for (const std::vector<uint32_t>& group : groups) {
    // An empty line does not count as a line when read back; a lone comma
    // keeps the group's place.
    if (group.empty()) text += ',';
    for (size_t i = 0; i < group.size(); ++i) {
      std::snprintf(hex, sizeof hex, i == 0 ? "%X" : ",%X", static_cast<unsigned>(group[i]));
      text += hex;
    }
    text += '\n';
  }
  return WriteBytes(directory / kVariantFileName, {text}, error);
}

bool WriteCatalogue(const std::filesystem::path& directory, const std::vector<CatalogueRecord>& records,
                    std::string& error) {
  std::string bytes;
  bytes.reserve(records.size() * kNodeRecordSize);
  for (const CatalogueRecord& record : records) {
    // The name keeps a zero unit after it, as readers of the record expect.
    if (record.name.size() >= kNodeNameUnits) {
      error = "catalogue name longer than " + std::to_string(kNodeNameUnits - 1) + " units";
      return false;
    }
    NodeItemRecord stored;
    std::copy(record.name.begin(), record.name.end(), stored.name);
    stored.level = record.level;
    stored.docID = record.docID;
    stored.docNo = record.docNo;
    stored.curFileName = record.curFileName;
    stored.Encode(bytes);
  }
  return WriteBytes(directory / kCatalogueFileName, {bytes}, error);
}

}  // namespace codexa::writer
