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
  m_nCurPage = m_catalogue.Record(record).curFileName;
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

void CReadingState::OpenHitPage(std::filesystem::path file, int anchors) {
  m_nPageHits = anchors;
  m_nCurHit = 0;
  m_strHitFile = std::move(file);
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
