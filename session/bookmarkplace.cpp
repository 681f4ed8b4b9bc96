#include "session/bookmarkplace.h"

#include <array>

#include "session/citation.h"

const char* const kBookmarkPageMissingMessage = "このしおりの頁は今のコーパスにないか、読めません。";

bool FindRecordPage(const CCatalogue& catalogue, CIndex& index, int record, int fileNumber, uint32_t& page) {
  const NodeItemRecord& node = catalogue.Record(record);
  const int64_t first = node.docID;
  if (first < 1 || !index.FindPageByFileNumber(static_cast<uint32_t>(first - 1), fileNumber, page)) return false;
  const int64_t last = first + int64_t{node.docNo} - 1;
  return int64_t{page} + 1 <= last;
}

std::optional<Bookmark> BookmarkOfShownPage(const CReadingState& reading, const CCatalogue& catalogue) {
  Bookmark bookmark;
  int record = 0;
  switch (reading.ShownPage()) {
    case CReadingState::Shown::kNothing:
      return std::nullopt;
    case CReadingState::Shown::kVolumePage:
      record = reading.CurRecord();
      bookmark.fileNumber = reading.CurPage();
      break;
    case CReadingState::Shown::kHitPage:
      record = reading.HitVolume();
      bookmark.kind = BookmarkKind::kHitPage;
      bookmark.fileNumber = reading.HitEntry().fileNumber;
      bookmark.search = reading.HitPageSearch();
      break;
  }
  const ContentsNodeTag* volume = catalogue.FindNodeByRecord(record);
  if (volume == nullptr) return std::nullopt;
  bookmark.volumePath = ScopePath(*volume);
  bookmark.name = CitationText(u"", reading.ShownSource());
  if (bookmark.kind == BookmarkKind::kHitPage) bookmark.name = u"【" + bookmark.search.keyword + u"】" + bookmark.name;
  return bookmark;
}

bool FindBookmarkedPage(const Bookmark& bookmark, const CCatalogue& catalogue, CIndex& index, BookmarkedPage& found) {
  found.record = catalogue.FindRecordByPath(bookmark.volumePath);
  const ContentsNodeTag* volume = catalogue.FindNodeByRecord(found.record);
  if (volume == nullptr || !FindRecordPage(catalogue, index, found.record, bookmark.fileNumber, found.page)) {
    return false;
  }
  // The labels a search in the volume would give the page.
  const std::array<uint32_t, 1> pages{found.page};
  const std::array<uint32_t, 1> counts{0};
  std::vector<SearchNodeTag> entries;
  ApplyScope(*volume, pages, counts, entries);
  if (entries.empty()) return false;
  found.entry = std::move(entries.front());
  return true;
}
