// The user's settings file, checked once at start before anything reads or
// writes a setting.
//
// QSettings reads what it can of a file it cannot parse and, at its next
// save, writes what it read over the file: whatever it could not read
// would be lost without a word. A damaged file is therefore kept aside
// (base/keepaside.h) and the reader starts with defaults. A file that
// cannot be written keeps the session's changes from being saved, which
// the user is told too; the file itself is left alone.
#ifndef CODEXA_APP_SETTINGSFILE_H_
#define CODEXA_APP_SETTINGSFILE_H_

#include <ctime>
#include <filesystem>
#include <string>

enum class SettingsFileState {
  kSound,             // read whole (or not there yet), and writable
  kDamagedKeptAside,  // damaged, renamed to `keptAs`; defaults from here on
  kDamagedInPlace,    // damaged and could not be renamed: must not be written
  kUnwritable,        // changes of this session cannot be saved
};

struct SettingsFileCheck {
  SettingsFileState state = SettingsFileState::kSound;
  std::filesystem::path file;    // the settings file QSettings uses
  std::filesystem::path keptAs;  // for kDamagedKeptAside
};

// Checks the settings file of the application's names (set beforehand) and
// keeps a damaged one aside, naming it by `now`.
SettingsFileCheck CheckSettingsFile(std::time_t now);

// What the user is told, UTF-8; empty for kSound.
std::string MessageOf(const SettingsFileCheck& check);

// The bookmarks' file (session/bookmarkfile.h): beside the settings file,
// under its name with ".bookmarks" for its ending, so it follows the
// settings wherever they are kept.
std::filesystem::path BookmarksFile();

#endif  // CODEXA_APP_SETTINGSFILE_H_
