// The corpus folders opened last, newest first, kept in the per-user
// settings (section "Recent Corpus List", values "Corpus1" …) so that the
// ファイル menu offers them again after a restart.
#ifndef CODEXA_APP_RECENTCORPORA_H_
#define CODEXA_APP_RECENTCORPORA_H_

#include <QString>
#include <QStringList>

inline constexpr int kMaxRecentCorpora = 4;

// The remembered folders, newest first; values that are no text or empty
// are passed over, so damaged settings give a shorter list, never a wrong one.
QStringList RecentCorpora();

// Puts `folder` (made absolute and clean) at the head of the list, removes
// its older entry and keeps kMaxRecentCorpora.
void RememberCorpus(const QString& folder);

#endif  // CODEXA_APP_RECENTCORPORA_H_
