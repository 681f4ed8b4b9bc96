#include "app/settingsfile.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include "base/keepaside.h"

SettingsFileCheck CheckSettingsFile(std::time_t now) {
  SettingsFileCheck check;
  QSettings::Status status;
  bool writable;
  {
    // Nothing is set, so this QSettings writes nothing when it goes.
    const QSettings settings;
    check.file = std::filesystem::path(settings.fileName().toStdU16String());
    // QSettings parses a section's lines only when one of its keys is
    // asked for; a damage is known once every key has been.
    settings.allKeys();
    status = settings.status();
    writable = settings.isWritable();
  }
  if (status == QSettings::FormatError) {
    check.keptAs = KeepDamagedFileAside(check.file, now);
    check.state = check.keptAs.empty() ? SettingsFileState::kDamagedInPlace : SettingsFileState::kDamagedKeptAside;
  } else if (status == QSettings::AccessError || !writable) {
    check.state = SettingsFileState::kUnwritable;
  }
  return check;
}

std::string MessageOf(const SettingsFileCheck& check) {
  switch (check.state) {
    case SettingsFileState::kSound:
      return {};
    case SettingsFileState::kDamagedKeptAside:
      return "設定ファイルが壊れていたので、既定の設定で起動します。壊れたファイルは次の名前で残しました。\n" +
             check.keptAs.string();
    case SettingsFileState::kDamagedInPlace:
      return "設定ファイルが壊れています。既定の設定で起動しますが、ファイルを別名で残せなかったので、"
             "今回の設定の変更は保存しません。\n" +
             check.file.string();
    case SettingsFileState::kUnwritable:
      return "設定ファイルに書き込めません。今回の設定の変更は保存されません。\n" + check.file.string();
  }
  return {};
}

std::filesystem::path BookmarksFile() {
  const QFileInfo settings(QSettings().fileName());
  const QString name = settings.completeBaseName() + QStringLiteral(".bookmarks");
  return std::filesystem::path(settings.dir().filePath(name).toStdU16String());
}
