// The catalogue of the corpus ("zemo.dir") and what is built from it: the
// contents tree of categories, works and volumes, the search scope and the
// labels of the hit entries a search result becomes inside that scope (the
// entries themselves: corpus/hitlist.h).
//
// "zemo.dir" is a flat run of records in pre-order (the layout:
// corpus/catalogueformat.h). Record indexes count from 1 and identify a
// node everywhere (tree items, the search scope, the volume being read);
// index 0 holds an all-zero record.
//
// The file is not trusted. A record whose level has no node one level up
// before it (an orphan), or whose level lies outside 1 .. kMaxNodeLevel,
// keeps its record slot but gets no node; a trailing partial record is
// ignored. A node's parent is the node one level up read most recently
// (the catalogue is in pre-order), kept per level so loading stays linear.
// Both are reported once on the diagnostic stream. There is no limit on the
// number of records.
#ifndef CODEXA_CORPUS_CATALOGUE_H_
#define CODEXA_CORPUS_CATALOGUE_H_

#include <cstdint>
#include <filesystem>
#include <memory>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "corpus/catalogueformat.h"

// Deepest level that gets a node: categories are 1, works 2, volumes 3.
constexpr int kMaxNodeLevel = 19;

// The listing Load writes into the working folder.
extern const char* const kCatalogueListingName;  // "zemo.txt"
// Reported when the catalogue cannot be opened or read.
extern const char* const kCatalogueMissingMessage;  // "you delete data file!"

// A node of the contents tree: one per catalogue record in the tree, plus
// the root (level 0, all numbers 0, record 0).
struct ContentsNodeTag {
  std::u16string name;
  int level = 0;
  int docID = 0;
  int docNo = 0;
  uint16_t curFileName = 0;
  int record = 0;  // index of the record the node was made from
  ContentsNodeTag* pParent = nullptr;
  std::vector<std::unique_ptr<ContentsNodeTag>> children;  // catalogue order

  ContentsNodeTag() = default;
  ContentsNodeTag(const ContentsNodeTag&) = delete;
  ContentsNodeTag& operator=(const ContentsNodeTag&) = delete;
  // Deletes the children in order, each with its own children first.
  ~ContentsNodeTag();

  // Whether the 0-based `page` lies in docID .. docID + docNo - 1 (1-based).
  // Computed without wrapping: a node with docNo <= 0 holds no page.
  bool Holds(uint32_t page) const;
};

// The labels of a page `page` that lies in the scope node `scope`. The
// category, work and volume of the page are the scope's ancestors at levels
// 1, 2 and 3, or, below the scope, the first node in catalogue order at that
// level that holds the page.
// LabelNode is the rule: at `level` (1 .. 3), the scope's ancestor when
// the scope lies at or below that level, else the first descendant at that
// level in catalogue order that holds the page; null if none.
const ContentsNodeTag* LabelNode(const ContentsNodeTag& scope, int level, uint32_t page);
std::u16string CategoryName(const ContentsNodeTag& scope);
std::u16string TitleName(const ContentsNodeTag& scope, uint32_t page);  // empty if none
const ContentsNodeTag* VolumeNode(const ContentsNodeTag& scope, uint32_t page);  // null if none

// The names from the category down to `node`, joined by "\"; empty for the
// root. This is the scope label's text.
std::u16string ScopePath(const ContentsNodeTag& node);

// One page with hits inside the search scope, as the result list shows it.
struct SearchNodeTag {
  std::u16string category;
  std::u16string title;
  std::u16string volume;  // empty if no volume holds the page
  uint32_t pageNumber = 0;  // 0-based
  int fileNumber = 0;  // the page's number within its volume; 0 without one
  uint32_t hitCount = 0;
};

// The whole corpus as a scope is the root (level 0): it holds every page,
// and labels each as the first category holding it would; a page in no
// category gets empty names and file number 0.
// Whether `scope` holds `page`: any page for the root, else Holds.
bool InScope(const ContentsNodeTag& scope, uint32_t page);
// The node whose labels `page` gets in `scope`: `scope` itself, or for the
// root the first category that holds the page (null if none).
const ContentsNodeTag* LabelScope(const ContentsNodeTag& scope, uint32_t page);

// The loaded catalogue: the records, and the node tree under a root.
class CCatalogue {
 public:
  // Root only, no records: NodeCount() is 1.
  CCatalogue();
  CCatalogue(const CCatalogue&) = delete;
  CCatalogue& operator=(const CCatalogue&) = delete;

  // Replaces the records and the tree with those of `catalogueFile`. When
  // `listingFile` is not empty, first creates (or empties) it and writes
  // one UTF-8 line per record read: "\t" per level above 1, then
  // "name=%s\tdocID=%d\tdocNo=%d\tcurFileName=%d\n". Malformed records are
  // reported to `diagnostics`. When the catalogue cannot be opened or read,
  // answers false (the caller tells the user, with
  // kCatalogueMissingMessage); what was read before a read error is kept.
  bool Load(const std::filesystem::path& catalogueFile, const std::filesystem::path& listingFile,
            std::ostream& diagnostics);
  // The same, with diagnostics on standard error.
  bool Load(const std::filesystem::path& catalogueFile, const std::filesystem::path& listingFile);

  // One more than the number of records read.
  int NodeCount() const { return static_cast<int>(m_NodeItem.size()); }
  // The record at `index`; the all-zero record for 0 and indexes out of range.
  const NodeItemRecord& Record(int index) const;

  ContentsNodeTag& Root() { return *m_pRoot; }
  const ContentsNodeTag& Root() const { return *m_pRoot; }

  // The node made from record `index`; null for 0, indexes out of range and
  // records that have no node. Never the root.
  const ContentsNodeTag* FindNodeByRecord(int index) const;
  // The first record in catalogue order whose ScopePath equals `path`; 0
  // when none does.
  int FindRecordByPath(std::u16string_view path) const;

 private:
  void Clear();
  void AddRecord(const NodeItemRecord& record, std::vector<ContentsNodeTag*>& lastOfLevel,
                 int& orphans);

  std::vector<NodeItemRecord> m_NodeItem;  // [0] all zero
  std::vector<ContentsNodeTag*> m_nodeOfRecord;  // parallel; null without a node
  std::unique_ptr<ContentsNodeTag> m_pRoot;
};

#endif  // CODEXA_CORPUS_CATALOGUE_H_
