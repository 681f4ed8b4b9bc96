#include "tools/build/corpusbuilder.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ranges>
#include <system_error>

#include "base/coding.h"
#include "corpus/catalogueformat.h"
#include "corpus/filelistformat.h"
#include "engine/codeconverter.h"
#include "engine/indexformat.h"
#include "engine/variants.h"
#include "tools/build/pagelayout.h"
#include "tools/build/utf8.h"

namespace codexa::build {

namespace {

namespace fs = std::filesystem;

constexpr int kMaxFileNumber = 0xFFFF;  // catalogue file numbers are 16-bit
constexpr size_t kMaxCatalogueRecords = 9999;
// A record's name keeps a zero unit after it.
constexpr size_t kMaxCatalogueNameUnits = kNodeNameUnits - 1;
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
    : m_groups(std::move(variantGroups)), m_limits(limits) {
  if (m_groups.size() > kGroupCodeCapacity) {
    throw BuildError("group codes: " + std::to_string(m_groups.size()) + " variant groups, but group codes below " +
                     std::to_string(kIndexCodeCount) + " leave room for " + std::to_string(kGroupCodeCapacity));
  }
  // Every member's groups, so that indexing a character costs two lookups.
  std::vector<uint32_t> counts(kCodePointLimit + 1, 0);
  for (const auto& group : m_groups) {
    for (uint32_t member : group) {
      if (member >= kCodePointLimit) throw BuildError("variant groups: member beyond Unicode: " + std::to_string(member));
      ++counts[member + 1];
    }
  }
  m_groupStart.resize(kCodePointLimit + 1);
  for (uint32_t cp = 0; cp < kCodePointLimit; ++cp) m_groupStart[cp + 1] = m_groupStart[cp] + counts[cp + 1];
  m_groupIndex.resize(m_groupStart.back());
  std::vector<uint32_t> filled(m_groupStart.begin(), m_groupStart.end() - 1);
  for (uint32_t g = 0; g < m_groups.size(); ++g) {
    for (uint32_t member : m_groups[g]) {
      // A member listed twice in one group still counts once in its list.
      const auto begin = m_groupIndex.begin() + m_groupStart[member];
      const auto end = m_groupIndex.begin() + filled[member];
      if (std::find(begin, end, g) == end) m_groupIndex[filled[member]++] = g;
    }
  }
  // Slots left by duplicates are marked unused.
  for (uint32_t cp = 0; cp < kCodePointLimit; ++cp) {
    std::fill(m_groupIndex.begin() + filled[cp], m_groupIndex.begin() + m_groupStart[cp + 1], UINT32_MAX);
  }
}

void CorpusBuilder::StartNode(std::string_view name, int level) {
  if (level > 1 && m_openLevels[level - 1] < 0) {
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
  if (m_nodes.size() >= kMaxCatalogueRecords) {
    throw BuildError("catalogue records: more than 9,999 categories, works and volumes (at \"" + std::string(name) +
                     "\")");
  }
  m_openLevels[level] = static_cast<int>(m_nodes.size());
  for (int deeper = level + 1; deeper <= 3; ++deeper) m_openLevels[deeper] = -1;
  m_nodes.push_back({std::string(name), level, m_pages.size()});
  if (level == 3) m_nFileNumber = 0;
}

void CorpusBuilder::StartCategory(std::string_view name) { StartNode(name, 1); }
void CorpusBuilder::StartWork(std::string_view name) { StartNode(name, 2); }
void CorpusBuilder::StartVolume(std::string_view name) { StartNode(name, 3); }

void CorpusBuilder::RequireVolume(std::string_view pageTitle) const {
  if (m_openLevels[3] < 0) throw BuildError("structure: page \"" + std::string(pageTitle) + "\" outside any volume");
}

void CorpusBuilder::AddPiece(PageContent piece) {
  RequireVolume(piece.title);
  m_packer.Add(std::move(piece), m_filled);
  StoreFilledPages();
}

void CorpusBuilder::AddPage(const PageContent& page) {
  RequireVolume(page.title);
  FlushPieces();
  StorePage({page});
}

void CorpusBuilder::EndVolume() { FlushPieces(); }

void CorpusBuilder::FlushPieces() {
  m_packer.Flush(m_filled);
  StoreFilledPages();
}

void CorpusBuilder::StoreFilledPages() {
  for (const PagePieces& pieces : m_filled) StorePage(pieces);
  m_filled.clear();
}

void CorpusBuilder::StorePage(const PagePieces& pieces) {
  const Node& category = m_nodes[m_openLevels[1]];
  const Node& work = m_nodes[m_openLevels[2]];
  const Node& volume = m_nodes[m_openLevels[3]];
  char number[16];
  std::snprintf(number, sizeof number, "%04d", m_nFileNumber + 1);
  std::string name = category.name + "\\" + work.name + "\\" + volume.name + "\\" + number + ".htm";

  if (m_nFileNumber + 1 > kMaxFileNumber) {
    throw BuildError("file numbers: volume \"" + volume.name + "\" has more than 65,535 pages (at " + name + ")");
  }
  if (name.size() >= kMaxNameLength) {
    throw BuildError("stored-name length: \"" + name + "\" is " + std::to_string(name.size()) +
                     " bytes; names hold at most 259 and their zero byte: shorten the category's, work's or "
                     "volume's name");
  }
  if (m_pages.size() >= m_limits.maxPages) {
    throw BuildError("page count: more than " + std::to_string(m_limits.maxPages) + " pages (at " + name + ")");
  }
  std::string html = LayOutPage(pieces, {work.name, volume.name}, m_nFileNumber + 1);
  if (m_nTextBytes + html.size() > m_limits.maxTextBytes) {
    throw BuildError("text file size: the pages pass " + std::to_string(m_limits.maxTextBytes) +
                     " bytes, beyond 32-bit offsets (at " + name + ")");
  }

  ++m_nFileNumber;
  m_nTextBytes += html.size();
  m_nMaxNameBytes = std::max(m_nMaxNameBytes, name.size());
  for (int level = 1; level <= 3; ++level) ++m_nodes[m_openLevels[level]].pageCount;
  m_pages.push_back({std::move(name), std::move(html)});
  Index(static_cast<uint32_t>(m_pages.size() - 1), m_pages.back().name);
}

void CorpusBuilder::Index(uint32_t page, std::string_view storedName) {
  ScanIndexedText(m_pages.back().html, CellSelector(storedName), m_chars);
  if (!m_chars.empty() && m_chars.back().position > kMaxVarNumber) {
    throw BuildError("positions: " + std::string(storedName) + " needs position " +
                     std::to_string(m_chars.back().position) + ", beyond 4,194,303");
  }
  // A code's position bytes can pass 65,535 only on a page of more than
  // 21,845 characters: three bytes each at most.
  if (m_chars.size() > kMaxPositionBytes / kMaxVarNumberLength) CheckPositionBytes(storedName);

  for (const IndexedChar& c : m_chars) {
    const int32_t code = CharToIndexCode(c.codePoint);
    if (code < 0) continue;
    ++m_nCharacters;
    writer::PostingCollector& byKind = c.kind == RunKind::kAnnotation ? m_notes : m_main;
    m_full.Add(code, page, c.position);
    byKind.Add(code, page, c.position);
    if (c.codePoint >= kCodePointLimit) continue;
    for (uint32_t k = m_groupStart[c.codePoint]; k < m_groupStart[c.codePoint + 1]; ++k) {
      const uint32_t group = m_groupIndex[k];
      if (group == UINT32_MAX) continue;
      m_full.Add(kFirstGroupCode + static_cast<int32_t>(group), page, c.position);
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
  // The character is named, not only its code: the remedy lies in the text.
  const auto add = [&](int32_t code, const IndexedChar& c) {
    Tally& t = tally[static_cast<size_t>(code)];
    const uint32_t value = t.bytes == 0 ? c.position : c.position - t.last;
    t.bytes += value < 0x80 ? 1 : value < 0x4000 ? 2 : 3;
    t.last = c.position;
    if (t.bytes > kMaxPositionBytes) {
      std::string character;
      AppendUtf8(c.codePoint, character);
      throw BuildError("position bytes: " + std::string(storedName) + " holds too many occurrences of \"" +
                       character + "\" (index code " + std::to_string(code) +
                       ") for one record (more than 65,535 bytes); break its text into more paragraphs, so that "
                       "it fills several pages");
    }
  };
  for (const IndexedChar& c : m_chars) {
    const int32_t code = CharToIndexCode(c.codePoint);
    if (code < 0) continue;
    add(code, c);
    if (c.codePoint >= kCodePointLimit) continue;
    for (uint32_t k = m_groupStart[c.codePoint]; k < m_groupStart[c.codePoint + 1]; ++k) {
      if (m_groupIndex[k] != UINT32_MAX) add(kFirstGroupCode + static_cast<int32_t>(m_groupIndex[k]), c);
    }
  }
}

std::vector<writer::CatalogueRecord> CorpusBuilder::Catalogue(uint64_t& dropped,
                                                              std::vector<std::string>& leftOut) const {
  std::vector<writer::CatalogueRecord> records;
  dropped = 0;
  std::string pathAt[4];               // the path of the node last seen at each level
  bool keptAt[4] = {true, true, true, true};
  for (const Node& node : m_nodes) {
    pathAt[node.level] = node.level == 1 ? node.name : pathAt[node.level - 1] + "\\" + node.name;
    keptAt[node.level] = node.pageCount > 0;
    // A node without pages would give the contents tree an entry that shows
    // nothing; its children, if any, are empty as well.
    if (node.pageCount == 0) {
      ++dropped;
      if (keptAt[node.level - 1]) leftOut.push_back(pathAt[node.level]);
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

void CheckOutput(const fs::path& directory) {
  std::error_code ec;
  fs::path existing = fs::absolute(directory, ec);
  while (!fs::exists(existing, ec) && existing.has_relative_path()) existing = existing.parent_path();
  if (!fs::is_directory(existing, ec) || ::access(existing.c_str(), W_OK) != 0) {
    throw BuildError("output: cannot create the directory " + directory.string() + " (" + existing.string() +
                     " is not a folder that can be written)");
  }
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
  const std::vector<writer::CatalogueRecord> records = Catalogue(summary.droppedEmptyNodes, summary.leftOut);
  if (m_pages.empty()) throw BuildError("source: no pages to build");

  check(writer::WriteFileList(temp, kCorpusName, m_pages, static_cast<uint32_t>(m_nMaxNameBytes + 1), error));
  summary.pages = m_pages.size();
  // What is written is let go at once, and the lists give up the room they
  // grew into before any index is written: the peak is the collections of
  // the indexes not written yet plus the one being written, so the
  // smallest goes first and the largest last, when it is the only one left.
  m_pages = {};
  const std::pair<writer::PostingCollector*, SearchTarget> targets[] = {
      {&m_full, SearchTarget::kFullText}, {&m_main, SearchTarget::kMainText}, {&m_notes, SearchTarget::kAnnotations}};
  for (const auto& [collector, target] : targets) collector->Finish();
  for (const auto& [collector, target] : targets | std::views::reverse) {
    check(writer::WriteIndex(temp, IndexBaseName(target), *collector, {}, error));
    *collector = writer::PostingCollector();
  }
  check(writer::WriteVariantTable(temp, m_groups, error));
  check(writer::WriteCatalogue(temp, records, error));

  std::vector<std::string> files = {FileListHeaderName(), FileListTextName()};
  for (const auto& [collector, target] : targets) {
    for (const std::string_view suffix : {kIndexHeaderSuffix, kIndexPostingSuffix}) {
      files.push_back(IndexFileName(target, suffix));
    }
  }
  files.insert(files.end(), {kVariantFileName, kCatalogueFileName});
  for (const std::string& file : files) summary.files.emplace_back(file, FileSize(temp / file));
  summary.characters = m_nCharacters;
  summary.textBytes = m_nTextBytes;
  summary.catalogueRecords = records.size();
  summary.variantGroups = m_groups.size();
}

}  // namespace codexa::build
