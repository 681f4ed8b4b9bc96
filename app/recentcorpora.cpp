#include "app/recentcorpora.h"

#include <QDir>
#include <QSettings>

namespace {

const QString kSection = QStringLiteral("Recent Corpus List");

QString KeyOf(int number) { return kSection + QStringLiteral("/Corpus%1").arg(number); }

}  // namespace

QStringList RecentCorpora() {
  QSettings settings;
  QStringList folders;
  for (int number = 1; number <= kMaxRecentCorpora; ++number) {
    const QVariant value = settings.value(KeyOf(number));
    if (value.typeId() != QMetaType::QString) continue;
    const QString folder = value.toString();
    if (!folder.isEmpty() && !folders.contains(folder)) folders << folder;
  }
  return folders;
}

void RememberCorpus(const QString& folder) {
  const QString clean = QDir::cleanPath(QDir(folder).absolutePath());
  QStringList folders = RecentCorpora();
  folders.removeAll(clean);
  folders.prepend(clean);
  QSettings settings;
  settings.remove(kSection);
  for (int i = 0; i < folders.size() && i < kMaxRecentCorpora; ++i) settings.setValue(KeyOf(i + 1), folders[i]);
}
