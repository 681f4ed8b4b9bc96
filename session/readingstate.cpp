#include "session/readingstate.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <utility>

int CReadingState::FirstFile() const { return m_catalogue.Record(m_nCurRecord).curFileName; }

int CReadingState::LastFile() const {
  const NodeItemRecord& volume = m_catalogue.Record(m_nCurRecord);
  // A hostile record may put its last file beyond what an int holds; the
  // range then ends at the largest file number there can be.
  const int64_t last = int64_t{volume.curFileName} + volume.docNo - 1;
  return static_cast<int>(
      std::clamp<int64_t>(last, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

void CReadingState::EnterVolume(int record) {
  m_nCurRecord = record;
  SetPage(m_catalogue.Record(record).curFileName);
}

bool CReadingState::CanPrevPage() const { return int64_t{m_nCurPage} - FirstFile() >= 1; }

bool CReadingState::CanNextPage() const {
  const NodeItemRecord& volume = m_catalogue.Record(m_nCurRecord);
  // Counted from one below the first file, so that a page further below
  // counts as far beyond the last; in 64 bits, so that no record wraps the
  // count, and a record with docNo <= 0 holds no next page. The largest
  // file number has no next one.
  const int64_t step = int64_t{m_nCurPage} - volume.curFileName + 1;
  return m_nCurRecord != 0 && step >= 0 && step < volume.docNo && m_nCurPage < std::numeric_limits<int>::max();
}

int CReadingState::PrevVolume() const {
  int r = m_nCurRecord - 1;
  while (r >= 1 && m_catalogue.Record(r).level != kVolumeLevel) --r;
  return r >= 1 ? r : 0;
}

int CReadingState::NextVolume() const {
  const int count = m_catalogue.NodeCount();
  int r = m_nCurRecord + 1;
  while (r < count && m_catalogue.Record(r).level != kVolumeLevel) ++r;
  return r < count ? r : 0;
}

void CReadingState::OpenHitPage(std::filesystem::path file, int anchors, SearchNodeTag entry, HitSearch search) {
  m_nPageHits = anchors;
  m_nCurHit = 0;
  m_strHitFile = std::move(file);
  m_hitEntry = std::move(entry);
  m_hitSearch = std::move(search);
  m_nShown = Shown::kHitPage;
}

int CReadingState::HitVolume() const {
  if (m_strHitFile.empty()) return 0;
  const ContentsNodeTag* volume = VolumeNode(m_catalogue.Root(), m_hitEntry.pageNumber);
  return volume && volume->level == kVolumeLevel ? volume->record : 0;
}

bool CReadingState::CanOpenHitInVolume() const {
  const int record = HitVolume();
  if (m_nShown != Shown::kHitPage || record == 0) return false;
  if (record == m_nCurRecord && m_hitEntry.fileNumber == m_nCurPage) return false;  // already there
  const NodeItemRecord& volume = m_catalogue.Record(record);
  const int64_t step = int64_t{m_hitEntry.fileNumber} - volume.curFileName;
  return step >= 0 && step < volume.docNo;
}

bool CReadingState::OpenHitInVolume() {
  if (!CanOpenHitInVolume()) return false;
  m_nCurRecord = HitVolume();
  m_nCurPage = m_hitEntry.fileNumber;
  return true;
}

CitationSource CReadingState::ShownSource() const {
  if (m_nShown == Shown::kHitPage) {
    return {m_hitEntry.category, m_hitEntry.title, m_hitEntry.volume, m_hitEntry.fileNumber};
  }
  CitationSource source;
  if (m_nShown == Shown::kNothing) return source;
  source.page = m_nCurPage;
  for (const ContentsNodeTag* node = m_catalogue.FindNodeByRecord(m_nCurRecord); node; node = node->pParent) {
    if (node->level == kVolumeLevel) source.volume = node->name;
    if (node->level == kWorkLevel) source.work = node->name;
    if (node->level == kCategoryLevel) source.category = node->name;
  }
  return source;
}

bool CReadingState::PrevHit() {
  if (!CanPrevHit()) return false;
  --m_nCurHit;
  return true;
}

bool CReadingState::NextHit() {
  if (!CanNextHit()) return false;
  ++m_nCurHit;
  return true;
}

std::string CReadingState::HitFragment() const {
  char fragment[16];
  std::snprintf(fragment, sizeof fragment, "#%04d", m_nCurHit);
  return fragment;
}

std::string CReadingState::PageLabel(uint32_t pageCount) const {
  return std::to_string(pageCount) + "/" + std::to_string(m_nCurPage);
}
