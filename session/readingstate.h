// CReadingState: where the reader is, apart from any widget. The volume
// record being read and the page of it shown (by file number), and the hit
// page last opened (from the result list or a bookmark) with its anchor
// count, current anchor and the search it was rendered with, so that a
// bookmark of it renders it again. It answers the enabling rules of the
// page, volume and hit commands and carries out their moves on itself;
// showing pages is left to whoever owns it (the left form), which moves
// the state only once a page has been shown. It also knows which of the
// two kinds of page is shown, so that a citation names the page the user
// reads, and a hit page can become the page being read in its own volume.
//
// Pages inside a volume are numbered by file number: curFileName ..
// curFileName + docNo - 1 of the volume's record. Record 0 means no volume
// has been chosen yet; with it every page and volume rule is false.
#ifndef CODEXA_SESSION_READINGSTATE_H_
#define CODEXA_SESSION_READINGSTATE_H_

#include <cstdint>
#include <filesystem>
#include <string>

#include "corpus/catalogue.h"
#include "session/citation.h"
#include "session/searchrun.h"

class CReadingState {
 public:
  // The levels of category, work and volume records.
  static constexpr int kCategoryLevel = 1;
  static constexpr int kWorkLevel = 2;
  static constexpr int kVolumeLevel = 3;
  // The kind of page the view shows.
  enum class Shown { kNothing, kVolumePage, kHitPage };

  // Reads records from `catalogue`, which must outlive the state; it may be
  // (re)loaded after the state is made.
  explicit CReadingState(const CCatalogue& catalogue) : m_catalogue(catalogue) {}

  int CurRecord() const { return m_nCurRecord; }
  int CurPage() const { return m_nCurPage; }
  int PageHits() const { return m_nPageHits; }
  int CurHit() const { return m_nCurHit; }
  const std::filesystem::path& HitFile() const { return m_strHitFile; }
  Shown ShownPage() const { return m_nShown; }

  // --- Volume and page ---
  // The file numbers of the current volume's first and last page; the last
  // is computed without wrapping and held to the int range.
  int FirstFile() const;
  int LastFile() const;
  // Makes `record` the current volume, standing on its first page.
  void EnterVolume(int record);
  // The page with file number `fileNumber` of the current volume is shown.
  void SetPage(int fileNumber) {
    m_nCurPage = fileNumber;
    m_nShown = Shown::kVolumePage;
  }
  // A page before the current one in its volume; a page after it. Record
  // 0 and records without pages (docNo <= 0) hold none. The previous
  // page's rule is a difference from the first file, the next page's a
  // count from one below it, so a page far below the volume enables
  // neither. Neither rule wraps, whatever the record holds.
  bool CanPrevPage() const;
  bool CanNextPage() const;

  // The nearest volume record before and after the current one, across
  // works and categories; 0 when there is none. Before any volume the
  // next one is the catalogue's first volume and there is no previous one.
  int PrevVolume() const;
  int NextVolume() const;
  // A volume to go to; never before the first volume has been chosen.
  bool CanPrevVolume() const { return m_nCurRecord != 0 && PrevVolume() != 0; }
  bool CanNextVolume() const { return m_nCurRecord != 0 && NextVolume() != 0; }

  // --- Hits ---
  // A hit page with `anchors` anchors was written to `file` and shown at
  // its first anchor; `entry` is the result list's entry of the page,
  // `search` what it was rendered with.
  void OpenHitPage(std::filesystem::path file, int anchors, SearchNodeTag entry = {}, HitSearch search = {});
  // The entry and the search of the hit page last opened.
  const SearchNodeTag& HitEntry() const { return m_hitEntry; }
  const HitSearch& HitPageSearch() const { return m_hitSearch; }
  // The volume record that holds the hit page last opened; 0 when none
  // does (or no hit page was opened).
  int HitVolume() const;
  // While a hit page is shown whose volume holds its file number: that
  // volume becomes the one being read and the hit page the current page,
  // still shown with its hits. False, and nothing moves, otherwise, and
  // when the state already stands there.
  bool CanOpenHitInVolume() const;
  bool OpenHitInVolume();

  // --- Citation ---
  // Where the page shown stands: the hit page's entry, or the current
  // volume's category, work and name with the current page. Empty while
  // nothing is shown.
  CitationSource ShownSource() const;
  // A search run starts the anchors again; the hit page stays.
  void RestartHits() { m_nCurHit = 0; }
  bool CanPrevHit() const { return m_nCurHit - 1 >= 0; }
  bool CanNextHit() const { return m_nCurHit + 1 < m_nPageHits; }
  // Steps to the previous or next anchor; false, and nothing moves, when
  // the rule does not allow it.
  bool PrevHit();
  bool NextHit();
  // The fragment of the current anchor: "#0000", "#0001", ... (five digits
  // from 10000 on).
  std::string HitFragment() const;

  // The page label: the corpus's page count and the current page, "%d/%d".
  std::string PageLabel(uint32_t pageCount) const;

 private:
  const CCatalogue& m_catalogue;
  int m_nCurRecord = 0;  // record of the volume being read; 0 = none yet
  int m_nCurPage = 0;    // file number of the contents page shown
  int m_nPageHits = 0;   // anchors on the hit page last opened
  int m_nCurHit = 0;     // current anchor on it
  std::filesystem::path m_strHitFile;  // the file that holds that hit page; empty before any
  SearchNodeTag m_hitEntry;            // the result list's entry of that page
  HitSearch m_hitSearch;               // what that page was rendered with
  Shown m_nShown = Shown::kNothing;
};

#endif  // CODEXA_SESSION_READINGSTATE_H_
