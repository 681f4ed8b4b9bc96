#include "session/readingstate.h"

#include <cstdio>
#include <utility>

int CReadingState::FirstFile() const { return m_catalogue.Record(m_nCurRecord).curFileName; }

int CReadingState::LastFile() const {
  const NodeItemRecord& volume = m_catalogue.Record(m_nCurRecord);
  return volume.curFileName + volume.docNo - 1;
}

void CReadingState::EnterVolume(int record) {
  m_nCurRecord = record;
  m_nCurPage = m_catalogue.Record(record).curFileName;
}

bool CReadingState::CanPrevPage() const { return m_nCurPage - FirstFile() >= 1; }

bool CReadingState::CanNextPage() const {
  const NodeItemRecord& volume = m_catalogue.Record(m_nCurRecord);
  // Unsigned, so that a page before the volume's first counts as far
  // beyond its last.
  return m_nCurRecord != 0 &&
         static_cast<unsigned>(m_nCurPage - volume.curFileName + 1) < static_cast<unsigned>(volume.docNo);
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
