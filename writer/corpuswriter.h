// Writing the corpus files that the engine reads: the file list pair, the
// index pair of one search target, the variant table and the catalogue.
// The builder and the tests that need a corpus both use this.
#ifndef CODEXA_WRITER_CORPUSWRITER_H_
#define CODEXA_WRITER_CORPUSWRITER_H_

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "base/coding.h"
#include "corpus/filelistformat.h"
#include "writer/ngramwriter.h"

namespace codexa::writer {

// One page of the file list: its stored name (a path with backslashes,
// e.g. "集部\\御定全唐詩\\卷一\\0001.htm") and its plain HTML bytes.
struct StoredPage {
  std::string name;
  std::string html;
};

// Writes "<name>-fl.h" and "<name>-fl.cnt" into `directory`
// (corpus/filelistformat.h). `nameLength` is the size of every entry's
// name field (at most kMaxNameLength, and longer than every name). False with `error` set when a limit is exceeded.
bool WriteFileList(const std::filesystem::path& directory, std::string_view corpusName,
                   const std::vector<StoredPage>& pages, uint32_t nameLength, std::string& error);

// Collects the occurrences of one search target, page by page in ascending
// page order, and encodes each code's list as it goes.
class PostingCollector {
 public:
  // Records that `code` occurs at `position` of `page`. Pages must come in
  // ascending order; within a page, positions of one code strictly
  // ascending.
  void Add(int32_t code, uint32_t page, uint32_t position);
  // Every code's list, finished: code -> (encoded list bytes, last page).
  struct List {
    std::string bytes;
    uint32_t lastPage = 0;
  };
  // Finishes the pending page records and returns the lists. Nothing may be
  // added afterwards.
  const std::map<int32_t, List>& Finish();
  // False with `error` set when a page delta or a position does not fit the
  // variable-length range or a page's position bytes exceed 65,535.
  bool ok(std::string& error) const;
  // The page-count lists of the same occurrences.
  NgramCollector& ngrams() { return m_ngrams; }

 private:
  struct Pending {
    List list;
    uint32_t page = 0;
    uint32_t lastPosition = 0;
    bool open = false;
    std::string positions;
  };
  void Close(Pending& pending);
  void Fail(const std::string& error);
  std::vector<Pending> m_pending;  // indexed by code
  std::map<int32_t, List> m_lists;
  NgramCollector m_ngrams;
  std::string m_strError;
  bool m_bFinished = false;
};

// How lists are laid out in posting blocks. By default each list takes
// consecutive blocks; `interleave` hands out blocks to the lists in turn and
// shuffles the block numbers with `seed`, so that chains jump around the
// file (used by tests to make values straddle non-adjacent blocks).
struct BlockLayout {
  bool interleave = false;
  uint32_t seed = 1;
  // Whether WriteIndex adds the page-count table it is given (off: the
  // plain format, as tests of the engine's plain path want it).
  bool pageCountTable = true;
};

// Writes "<base>-idx.h" and "<base>-idx.m" into `directory`
// (engine/indexformat.h), `base` being the corpus name with its target
// suffix (IndexBaseName: "Index", "Index_content", ...).
// The posting file is whole blocks; an index without lists gets one empty
// block, since an empty posting file cannot be opened. The two carried
// header tables locate the skip tables of long lists, which follow the
// lists' blocks (engine/skiptable.h).
bool WriteIndex(const std::filesystem::path& directory, std::string_view base,
                const std::map<int32_t, PostingCollector::List>& lists, const BlockLayout& layout,
                std::string& error);
// The same for everything `collector` holds (finishing it), with the
// page-count table of its occurrences (engine/ngramtable.h) after the skip
// tables, unless `layout` leaves it out.
bool WriteIndex(const std::filesystem::path& directory, std::string_view base, PostingCollector& collector,
                const BlockLayout& layout, std::string& error);

// Writes the variant table (engine/variants.h): one group per line,
// members as upper-case hex.
bool WriteVariantTable(const std::filesystem::path& directory,
                       const std::vector<std::vector<uint32_t>>& groups, std::string& error);

// One catalogue record (corpus/catalogueformat.h).
struct CatalogueRecord {
  std::u16string name;  // below kNodeNameUnits units
  int32_t level = 0;    // 1 category, 2 work, 3 volume
  int32_t docID = 0;    // 1-based first page
  int32_t docNo = 0;    // number of pages
  uint16_t curFileName = 0;
};

// Writes the catalogue: the records in the given (pre-)order.
bool WriteCatalogue(const std::filesystem::path& directory, const std::vector<CatalogueRecord>& records,
                    std::string& error);

}  // namespace codexa::writer

#endif  // CODEXA_WRITER_CORPUSWRITER_H_
