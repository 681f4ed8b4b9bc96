#include "tools/build/corpusbuilder.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <system_error>

#include "corpus/filelist.h"
#include "engine/codeconverter.h"
#include "tools/build/pagelayout.h"
#include "tools/build/utf8.h"

namespace codexa::build {

namespace {

namespace fs = std::filesystem;

constexpr uint32_t kMaxPosition = 0x3FFFFF;    // the largest variable-length number
constexpr uint32_t kMaxPositionBytes = 0xFFFF;  // a record's 16-bit length
constexpr int kMaxFileNumber = 0xFFFF;          // catalogue file numbers are 16-bit
constexpr size_t kMaxCatalogueRecords = 9999;
constexpr size_t kMaxCatalogueNameUnits = 99;
constexpr uint32_t kCodePointLimit = 0x110000;
constexpr std::string_view kTempPrefix = ".codexa-build.";

const char* LevelName(int level) { return level == 1 ? "category" : level == 2 ? "work" : "volume"; }

// Removes what builds that died left behind: temporary directories whose
// process is gone.
void RemoveStaleTemporaries(const fs::path& directory) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(directory, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(kTempPrefix, 0) != 0) continue;
    const long pid = std::strtol(name.c_str() + kTempPrefix.size(), nullptr, 10);
    if (pid > 0 && pid != ::getpid() && ::kill(static_cast<pid_t>(pid), 0) == 0) continue;
    fs::remove_all(entry.path(), ec);
  }
}

uint64_t FileSize(const fs::path& path) {
  std::error_code ec;
  const auto size = fs::file_size(path, ec);
  return ec ? 0 : size;
}

}  // namespace

CorpusBuilder::CorpusBuilder(std::vector<std::vector<uint32_t>> variantGroups, BuildLimits limits)
    : groups_(std::move(variantGroups)), limits_(limits) {
  if (groups_.size() > kGroupCodeCapacity) {
    throw BuildError("group codes: " + std::to_string(groups_.size()) + " variant groups, but group codes below " +
                     std::to_string(kIndexCodeCount) + " leave room for " + std::to_string(kGroupCodeCapacity));
  }
  // Every member's groups, so that indexing a character costs two lookups.
  std::vector<uint32_t> counts(kCodePointLimit + 1, 0);
  for (const auto& group : groups_) {
    for (uint32_t member : group) {
      if (member >= kCodePointLimit) throw BuildError("variant groups: member beyond Unicode: " + std::to_string(member));
      ++counts[member + 1];
    }
  }
  groupStart_.resize(kCodePointLimit + 1);
  for (uint32_t cp = 0; cp < kCodePointLimit; ++cp) groupStart_[cp + 1] = groupStart_[cp] + counts[cp + 1];
  groupIndex_.resize(groupStart_.back());
  std::vector<uint32_t> filled(groupStart_.begin(), groupStart_.end() - 1);
  for (uint32_t g = 0; g < groups_.size(); ++g) {
    for (uint32_t member : groups_[g]) {
      // A member listed twice in one group still counts once in its list.
      const auto begin = groupIndex_.begin() + groupStart_[member];
      const auto end = groupIndex_.begin() + filled[member];
      if (std::find(begin, end, g) == end) groupIndex_[filled[member]++] = g;
    }
  }
  // Slots left by duplicates are marked unused.
  for (uint32_t cp = 0; cp < kCodePointLimit; ++cp) {
    std::fill(groupIndex_.begin() + filled[cp], groupIndex_.begin() + groupStart_[cp + 1], UINT32_MAX);
  }
}

void CorpusBuilder::StartNode(std::string_view name, int level) {
  if (level > 1 && openLevels_[level - 1] < 0) {
    throw BuildError(std::string("structure: ") + LevelName(level) + " \"" + std::string(name) + "\" outside any " +
                     LevelName(level - 1));
  }
  if (name.empty()) throw BuildError(std::string("names: a ") + LevelName(level) + " without a name");
  if (name.find('\\') != std::string_view::npos) {
    throw BuildError(std::string("names: ") + LevelName(level) + " \"" + std::string(name) +
                     "\" contains a backslash, which separates the parts of stored names");
  }
  if (Utf8ToUtf16(name).size() > kMaxCatalogueNameUnits) {
    throw BuildError("catalogue name length: " + std::string(LevelName(level)) + " \"" + std::string(name) +
                     "\" is longer than 99 UTF-16 units");
  }
  // The page being filled belongs to the volume that this node closes.
  FlushPieces();
  if (nodes_.size() >= kMaxCatalogueRecords) {
    throw BuildError("catalogue records: more than 9,999 categories, works and volumes (at \"" + std::string(name) +
                     "\")");
  }
  openLevels_[level] = static_cast<int>(nodes_.size());
  for (int deeper = level + 1; deeper <= 3; ++deeper) openLevels_[deeper] = -1;
  nodes_.push_back({std::string(name), level, pages_.size()});
  if (level == 3) fileNumber_ = 0;
}

void CorpusBuilder::StartCategory(std::string_view name) { StartNode(name, 1); }
void CorpusBuilder::StartWork(std::string_view name) { StartNode(name, 2); }
void CorpusBuilder::StartVolume(std::string_view name) { StartNode(name, 3); }

void CorpusBuilder::RequireVolume(std::string_view pageTitle) const {
  if (openLevels_[3] < 0) throw BuildError("structure: page \"" + std::string(pageTitle) + "\" outside any volume");
}

void CorpusBuilder::AddPiece(PageContent piece) {
  RequireVolume(piece.title);
  packer_.Add(std::move(piece), filled_);
  StoreFilledPages();
}

void CorpusBuilder::AddPage(const PageContent& page) {
  RequireVolume(page.title);
  FlushPieces();
  StorePage({page});
}

void CorpusBuilder::FlushPieces() {
  packer_.Flush(filled_);
  StoreFilledPages();
}

void CorpusBuilder::StoreFilledPages() {
  for (const PagePieces& pieces : filled_) StorePage(pieces);
  filled_.clear();
}

void CorpusBuilder::StorePage(const PagePieces& pieces) {
  const Node& category = nodes_[openLevels_[1]];
  const Node& work = nodes_[openLevels_[2]];
  const Node& volume = nodes_[openLevels_[3]];
  char number[16];
  std::snprintf(number, sizeof number, "%04d", fileNumber_ + 1);
  std::string name = category.name + "\\" + work.name + "\\" + volume.name + "\\" + number + ".htm";

  if (fileNumber_ + 1 > kMaxFileNumber) {
    throw BuildError("file numbers: volume \"" + volume.name + "\" has more than 65,535 pages (at " + name + ")");
  }
  if (name.size() >= kMaxNameLength) {
    throw BuildError("stored-name length: \"" + name + "\" is " + std::to_string(name.size()) +
                     " bytes; names hold at most 259 and their zero byte");
  }
  if (pages_.size() >= limits_.maxPages) {
    throw BuildError("page count: more than " + std::to_string(limits_.maxPages) + " pages (at " + name + ")");
  }
  std::string html = LayOutPage(pieces, {work.name, volume.name}, fileNumber_ + 1);
  if (textBytes_ + html.size() > limits_.maxTextBytes) {
    throw BuildError("text file size: the pages pass " + std::to_string(limits_.maxTextBytes) +
                     " bytes, beyond 32-bit offsets (at " + name + ")");
  }

  ++fileNumber_;
  textBytes_ += html.size();
  maxNameBytes_ = std::max(maxNameBytes_, name.size());
  for (int level = 1; level <= 3; ++level) ++nodes_[openLevels_[level]].pageCount;
  pages_.push_back({std::move(name), std::move(html)});
  Index(static_cast<uint32_t>(pages_.size() - 1), pages_.back().name);
}

void CorpusBuilder::Index(uint32_t page, std::string_view storedName) {
  ScanIndexedText(pages_.back().html, CellSelector(storedName), chars_);
  if (!chars_.empty() && chars_.back().position > kMaxPosition) {
    throw BuildError("positions: " + std::string(storedName) + " needs position " +
                     std::to_string(chars_.back().position) + ", beyond 4,194,303");
  }
  // A code's position bytes can pass 65,535 only on a page of more than
  // 21,845 characters: three bytes each at most.
  if (chars_.size() > kMaxPositionBytes / 3) CheckPositionBytes(storedName);

  for (const IndexedChar& c : chars_) {
    const int32_t code = CharToIndexCode(c.codePoint);
    if (code < 0) continue;
    ++characters_;
    writer::PostingCollector& byKind = c.kind == RunKind::kNote ? notes_ : main_;
    full_.Add(code, page, c.position);
    byKind.Add(code, page, c.position);
    if (c.codePoint >= kCodePointLimit) continue;
    for (uint32_t k = groupStart_[c.codePoint]; k < groupStart_[c.codePoint + 1]; ++k) {
      const uint32_t group = groupIndex_[k];
      if (group == UINT32_MAX) continue;
      full_.Add(kFirstGroupCode + static_cast<int32_t>(group), page, c.position);
      byKind.Add(kFirstGroupCode + static_cast<int32_t>(group), page, c.position);
    }
  }
}

// The exact position bytes of every code of a long page, for all three
// targets; the full text's are the largest.
void CorpusBuilder::CheckPositionBytes(std::string_view storedName) const {
  struct Tally {
    uint32_t last = 0;
    uint64_t bytes = 0;
  };
  std::vector<Tally> tally(kIndexCodeCount);
  const auto add = [&](int32_t code, uint32_t position) {
    Tally& t = tally[static_cast<size_t>(code)];
    const uint32_t value = t.bytes == 0 ? position : position - t.last;
    t.bytes += value < 0x80 ? 1 : value < 0x4000 ? 2 : 3;
    t.last = position;
    if (t.bytes > kMaxPositionBytes) {
      throw BuildError("position bytes: " + std::string(storedName) + " holds too many occurrences of index code " +
                       std::to_string(code) + " for one record (more than 65,535 bytes)");
    }
  };
  for (const IndexedChar& c : chars_) {
    const int32_t code = CharToIndexCode(c.codePoint);
    if (code < 0) continue;
    add(code, c.position);
    if (c.codePoint >= kCodePointLimit) continue;
    for (uint32_t k = groupStart_[c.codePoint]; k < groupStart_[c.codePoint + 1]; ++k) {
      if (groupIndex_[k] != UINT32_MAX) add(kFirstGroupCode + static_cast<int32_t>(groupIndex_[k]), c.position);
    }
  }
}

std::vector<writer::CatalogueRecord> CorpusBuilder::Catalogue(uint64_t& dropped) const {
  std::vector<writer::CatalogueRecord> records;
  dropped = 0;
  for (const Node& node : nodes_) {
    // A node without pages would give the contents tree an entry that shows
    // nothing; its children, if any, are empty as well.
    if (node.pageCount == 0) {
      ++dropped;
      continue;
    }
    writer::CatalogueRecord record;
    record.name = Utf8ToUtf16(node.name);
    record.level = node.level;
    record.docID = static_cast<int32_t>(node.firstPage + 1);
    record.docNo = static_cast<int32_t>(node.pageCount);
    record.curFileName = 1;
    records.push_back(std::move(record));
  }
  return records;
}

BuildSummary CorpusBuilder::Write(const fs::path& directory) {
  FlushPieces();
  std::error_code ec;
  fs::create_directories(directory, ec);
  if (!fs::is_directory(directory)) throw BuildError("output: cannot create the directory " + directory.string());
  RemoveStaleTemporaries(directory);
  const fs::path temp = directory / (std::string(kTempPrefix) + std::to_string(::getpid()));
  fs::remove_all(temp, ec);
  if (!fs::create_directory(temp, ec)) throw BuildError("output: cannot create " + temp.string() + ": " + ec.message());

  BuildSummary summary;
  try {
    WriteFiles(temp, summary);
    for (const auto& [file, size] : summary.files) {
      fs::rename(temp / file, directory / file, ec);
      if (ec) throw BuildError("output: cannot move " + file + " into " + directory.string() + ": " + ec.message());
    }
  } catch (...) {
    fs::remove_all(temp, ec);
    throw;
  }
  fs::remove_all(temp, ec);
  return summary;
}

void CorpusBuilder::WriteFiles(const fs::path& temp, BuildSummary& summary) {
  std::string error;
  const auto check = [&](bool ok) {
    if (!ok) throw BuildError("writing: " + error);
  };
  const std::vector<writer::CatalogueRecord> records = Catalogue(summary.droppedEmptyNodes);
  if (pages_.empty()) throw BuildError("source: no pages to build");

  const std::string base(kCorpusName);
  check(writer::WriteFileList(temp, base, pages_, static_cast<uint32_t>(maxNameBytes_ + 1), error));
  const std::pair<writer::PostingCollector*, std::string> targets[] = {
      {&full_, base}, {&main_, base + "_content"}, {&notes_, base + "_desc"}};
  for (const auto& [collector, name] : targets) {
    check(writer::WriteIndex(temp, name, *collector, {}, error));
  }
  check(writer::WriteVariantTable(temp, groups_, error));
  check(writer::WriteCatalogue(temp, records, error));

  for (const std::string& file : {base + "-fl.h", base + "-fl.cnt", base + "-idx.h", base + "-idx.m",
                                 base + "_content-idx.h", base + "_content-idx.m", base + "_desc-idx.h",
                                 base + "_desc-idx.m", std::string("yitizi.txt"), std::string("zemo.dir")}) {
    summary.files.emplace_back(file, FileSize(temp / file));
  }
  summary.pages = pages_.size();
  summary.characters = characters_;
  summary.textBytes = textBytes_;
  summary.catalogueRecords = records.size();
  summary.variantGroups = groups_.size();
}

}  // namespace codexa::build
