#include "corpus/catalogue.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <iostream>

#include "base/unicode.h"

const char* const kCatalogueListingName = "zemo.txt";
const char* const kCatalogueMissingMessage = "you delete data file!";

namespace {

// The node at `level` on the way from `node` up to the root; null if none.
const ContentsNodeTag* AncestorAtLevel(const ContentsNodeTag& node, int level) {
  const ContentsNodeTag* n = &node;
  while (n != nullptr && n->level > level) n = n->pParent;
  return n != nullptr && n->level == level ? n : nullptr;
}

// The first node at `level` below `node`, in catalogue order, that holds
// `page`. Levels grow by one from parent to child, so the search stops there.
const ContentsNodeTag* DescendantAtLevel(const ContentsNodeTag& node, int level, uint32_t page) {
  for (const auto& child : node.children) {
    if (child->level == level) {
      if (child->Holds(page)) return child.get();
    } else if (const ContentsNodeTag* found = DescendantAtLevel(*child, level, page)) {
      return found;
    }
  }
  return nullptr;
}

std::u16string NameOf(const ContentsNodeTag* node) { return node != nullptr ? node->name : std::u16string(); }

void WriteListingLine(std::ostream& listing, const NodeItemRecord& record) {
  // One tab per level below the categories; a hostile level cannot make the
  // line long.
  std::string line(static_cast<std::size_t>(std::clamp(record.level, 1, kMaxNodeLevel) - 1), '\t');
  line += "name=";
  Utf16ToUtf8(record.Name(), line);
  line += "\tdocID=" + std::to_string(record.docID) + "\tdocNo=" + std::to_string(record.docNo) +
          "\tcurFileName=" + std::to_string(record.curFileName) + "\n";
  listing << line;
}

}  // namespace

ContentsNodeTag::~ContentsNodeTag() {
  for (auto& child : children) child.reset();
}

bool ContentsNodeTag::Holds(uint32_t page) const {
  const int64_t first = docID;
  const int64_t last = first + docNo - 1;
  const int64_t number = int64_t{page} + 1;
  return first <= number && number <= last;
}

const ContentsNodeTag* LabelNode(const ContentsNodeTag& scope, int level, uint32_t page) {
  return scope.level >= level ? AncestorAtLevel(scope, level) : DescendantAtLevel(scope, level, page);
}

std::u16string CategoryName(const ContentsNodeTag& scope) { return NameOf(AncestorAtLevel(scope, 1)); }

std::u16string TitleName(const ContentsNodeTag& scope, uint32_t page) { return NameOf(LabelNode(scope, 2, page)); }

const ContentsNodeTag* VolumeNode(const ContentsNodeTag& scope, uint32_t page) { return LabelNode(scope, 3, page); }

std::u16string ScopePath(const ContentsNodeTag& node) {
  std::u16string path;
  for (const ContentsNodeTag* n = &node; n != nullptr && n->pParent != nullptr; n = n->pParent) {
    path = path.empty() ? n->name : n->name + u'\\' + path;
  }
  return path;
}

bool InScope(const ContentsNodeTag& scope, uint32_t page) { return scope.level == 0 || scope.Holds(page); }

const ContentsNodeTag* LabelScope(const ContentsNodeTag& scope, uint32_t page) {
  return scope.level == 0 ? DescendantAtLevel(scope, 1, page) : &scope;
}

CCatalogue::CCatalogue() { Clear(); }

void CCatalogue::Clear() {
  m_NodeItem.assign(1, NodeItemRecord{});
  m_nodeOfRecord.assign(1, nullptr);
  m_pRoot = std::make_unique<ContentsNodeTag>();
  m_pRoot->name = u"root";
}

const NodeItemRecord& CCatalogue::Record(int index) const {
  return index > 0 && index < NodeCount() ? m_NodeItem[static_cast<std::size_t>(index)] : m_NodeItem[0];
}

const ContentsNodeTag* CCatalogue::FindNodeByRecord(int index) const {
  return index > 0 && index < NodeCount() ? m_nodeOfRecord[static_cast<std::size_t>(index)] : nullptr;
}

int CCatalogue::FindRecordByPath(std::u16string_view path) const {
  for (int i = 1; i < NodeCount(); ++i) {
    const ContentsNodeTag* node = m_nodeOfRecord[static_cast<std::size_t>(i)];
    if (node != nullptr && ScopePath(*node) == path) return i;
  }
  return 0;
}

void CCatalogue::AddRecord(const NodeItemRecord& record, std::vector<ContentsNodeTag*>& lastOfLevel,
                           int& orphans) {
  m_NodeItem.push_back(record);
  m_nodeOfRecord.push_back(nullptr);
  const int level = record.level;
  ContentsNodeTag* parent = nullptr;
  if (level >= 1 && level <= kMaxNodeLevel) parent = lastOfLevel[static_cast<std::size_t>(level - 1)];
  if (parent == nullptr) {
    ++orphans;
    return;
  }
  auto node = std::make_unique<ContentsNodeTag>();
  node->name = record.Name();
  node->level = level;
  node->docID = record.docID;
  node->docNo = record.docNo;
  node->curFileName = record.curFileName;
  node->record = NodeCount() - 1;
  node->pParent = parent;
  lastOfLevel[static_cast<std::size_t>(level)] = node.get();
  m_nodeOfRecord.back() = node.get();
  parent->children.push_back(std::move(node));
}

bool CCatalogue::Load(const std::filesystem::path& catalogueFile, const std::filesystem::path& listingFile) {
  return Load(catalogueFile, listingFile, std::cerr);
}

bool CCatalogue::Load(const std::filesystem::path& catalogueFile, const std::filesystem::path& listingFile,
                      std::ostream& diagnostics) {
  Clear();
  std::ofstream listing;
  if (!listingFile.empty()) {
    // The listing goes to the working folder, which others may share: a
    // link planted under its name must not carry the write elsewhere.
    std::error_code error;
    if (!std::filesystem::is_symlink(listingFile, error)) listing.open(listingFile, std::ios::binary | std::ios::trunc);
    if (!listing.is_open()) diagnostics << "cannot create the catalogue listing " << listingFile.string() << "\n";
  }
  std::FILE* file = std::fopen(catalogueFile.c_str(), "rb");
  if (file == nullptr) return false;
  // Slot L holds the node of level L read most recently; slot 0 the root.
  std::vector<ContentsNodeTag*> lastOfLevel(kMaxNodeLevel + 1, nullptr);
  lastOfLevel[0] = m_pRoot.get();
  int orphans = 0;
  std::array<uint8_t, kNodeRecordSize> bytes;
  std::size_t got = 0;
  while ((got = std::fread(bytes.data(), 1, bytes.size(), file)) == bytes.size()) {
    const NodeItemRecord record = NodeItemRecord::Decode(bytes.data());
    if (listing) WriteListingLine(listing, record);
    AddRecord(record, lastOfLevel, orphans);
  }
  const bool readError = std::ferror(file) != 0;
  std::fclose(file);
  const std::string name = catalogueFile.filename().string();
  if (orphans > 0) {
    diagnostics << name << ": " << orphans << " record(s) without a parent one level up or with a level outside 1.."
                << kMaxNodeLevel << " left out of the contents tree\n";
  }
  if (got > 0 && !readError) {
    diagnostics << name << ": trailing partial record of " << got << " bytes ignored\n";
  }
  return !readError;
}
