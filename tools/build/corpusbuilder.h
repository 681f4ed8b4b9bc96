// Builds a corpus: the caller hands over categories, works, volumes and
// their pages or pieces in catalogue order; the builder fills pages with
// pieces (see pagelayout.h), sets each page as HTML, indexes the cell the
// renderer will highlight (see indexedtext.h) and at the end writes every
// file the reader opens.
//
// The format's limits are checked as the items arrive, before anything is
// written, and a violation throws BuildError naming the limit and the item.
// Write() puts the files into a temporary directory inside the output
// directory and only then renames them into place, so a failed or
// interrupted build leaves the corpus that was there before untouched.
#ifndef CODEXA_TOOLS_BUILD_CORPUSBUILDER_H_
#define CODEXA_TOOLS_BUILD_CORPUSBUILDER_H_

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "corpus/filelistformat.h"
#include "engine/indexformat.h"
#include "tools/build/indexedtext.h"
#include "tools/build/pagecontent.h"
#include "tools/build/pagelayout.h"
#include "writer/corpuswriter.h"

namespace codexa::build {

class BuildError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Limits that tests lower to reach them cheaply; the defaults are the
// formats' own.
struct BuildLimits {
  uint64_t maxPages = kMaxPageCount;      // engine/indexformat.h
  uint64_t maxTextBytes = kMaxTextBytes;  // corpus/filelistformat.h
};

struct BuildSummary {
  uint64_t pages = 0;
  uint64_t characters = 0;      // characters indexed in the full text
  uint64_t textBytes = 0;       // size of the stored pages
  uint64_t catalogueRecords = 0;
  uint64_t variantGroups = 0;
  uint64_t droppedEmptyNodes = 0;  // catalogue nodes without pages
  // Their paths ("category\work\volume"), the highest of them only: the
  // works and volumes of a category left out go unnamed with it.
  std::vector<std::string> leftOut;
  // Sizes of the files written, in the order written.
  std::vector<std::pair<std::string, uint64_t>> files;
};

// Throws BuildError when Write could not make `directory`: it, or the
// nearest folder above it that exists, is not a folder that can be
// written. Nothing is created. codexa-build checks before it reads the
// source, so that a wrong OUTDIR is told before the long work.
void CheckOutput(const std::filesystem::path& directory);

class CorpusBuilder {
 public:
  // `variantGroups` become the variant table and the group lists of the
  // index.
  explicit CorpusBuilder(std::vector<std::vector<uint32_t>> variantGroups, BuildLimits limits = {});

  void StartCategory(std::string_view name);
  void StartWork(std::string_view name);
  void StartVolume(std::string_view name);
  // One page of the current volume, as it is; it takes the next file
  // number (after the page that pieces were filling, if any).
  void AddPage(const PageContent& page);
  // A piece of the current volume: it goes on the page being filled while
  // that has room, else on the next (see PagePacker).
  void AddPiece(PageContent piece);
  // Stores the page the current volume's pieces were filling. The next
  // Start or Write does it anyway; a source calls it to have a limit that
  // page breaks reported while it still knows which file the volume is.
  void EndVolume();

  // Writes the corpus into `directory` (created if needed). Once: the
  // pages and the collected lists are let go as their files are written.
  BuildSummary Write(const std::filesystem::path& directory);

  // Pages stored so far; the page that pieces are filling is not yet one.
  uint64_t pageCount() const { return m_pages.size(); }

 private:
  struct Node {
    std::string name;
    int level;
    uint64_t firstPage;
    uint64_t pageCount = 0;
  };
  void StartNode(std::string_view name, int level);
  void RequireVolume(std::string_view pageTitle) const;
  void FlushPieces();
  void StoreFilledPages();
  void StorePage(const PagePieces& pieces);
  void Index(uint32_t page, std::string_view storedName);
  void CheckPositionBytes(std::string_view storedName) const;
  std::vector<writer::CatalogueRecord> Catalogue(uint64_t& dropped, std::vector<std::string>& leftOut) const;
  void WriteFiles(const std::filesystem::path& directory, BuildSummary& summary);

  std::vector<std::vector<uint32_t>> m_groups;
  // Groups of a code point: m_groupIndex[m_groupStart[cp] .. m_groupStart[cp+1]).
  std::vector<uint32_t> m_groupStart;
  std::vector<uint32_t> m_groupIndex;
  BuildLimits m_limits;

  std::vector<Node> m_nodes;
  int m_openLevels[4] = {-1, -1, -1, -1};  // node of each level now open
  std::vector<writer::StoredPage> m_pages;
  size_t m_nMaxNameBytes = 0;
  uint64_t m_nTextBytes = 0;
  uint64_t m_nCharacters = 0;
  int m_nFileNumber = 0;
  PagePacker m_packer{kPageBudget};
  std::vector<PagePieces> m_filled;  // pages the packer completed, not yet stored

  writer::PostingCollector m_full, m_main, m_notes;
  std::vector<IndexedChar> m_chars;  // the page being indexed
};

}  // namespace codexa::build

#endif  // CODEXA_TOOLS_BUILD_CORPUSBUILDER_H_
