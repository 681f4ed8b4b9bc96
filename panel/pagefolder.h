// Where the reader puts the pages it shows. The text view loads pages from
// files, so every page shown is first written to one of three files with
// fixed names. They live in a folder that only this user can enter, so no
// one else can create them first or plant links under those names, and
// each reader has a folder of its own inside it, so that two readers never
// write their pages over each other's:
//
//   <base>/codexa-<uid>/                      owner-only; never a link
//   <base>/codexa-<uid>/<pid>-<random>/       this reader's folder
//   <base>/codexa-<uid>/<pid>-<random>/lock   locked while the reader lives
//   <base>/codexa-<uid>/<pid>-<random>/Back.gif   the page background
//   <base>/codexa-<uid>/<pid>-<random>/pages/     the page files
//
// The lock is an flock the reader holds for its whole life; the kernel
// drops it when the process dies however it dies, so a reader folder whose
// lock can be taken belongs to no one and is removed by the next reader
// to start. A folder is first made as "new-<pid>-<random>" and given its
// final name only once its lock is held, so no reader ever sees a living
// folder with a free lock.
//
// The pages name their background "../Back.gif", which from "pages/" is the
// copy beside it.
#ifndef CODEXA_PANEL_PAGEFOLDER_H_
#define CODEXA_PANEL_PAGEFOLDER_H_

#include <filesystem>
#include <string>
#include <string_view>

class CPageFolder {
 public:
  CPageFolder() = default;
  CPageFolder(const CPageFolder&) = delete;
  CPageFolder& operator=(const CPageFolder&) = delete;
  // Removes this reader's folder and lets its lock go.
  ~CPageFolder();

  // Makes (or checks) the private folder under `base`, removes the folders
  // readers that died left in it, and makes this reader's own folder with
  // its "pages" subfolder. When "codexa-<uid>" exists but is not a real
  // folder owned by this user with owner-only rights, a fresh private folder
  // with a unique name is made instead. False with `error` set when no
  // private folder can be had.
  bool Prepare(const std::filesystem::path& base, std::string& error);

  // Removes this reader's folder now; later calls do nothing.
  void Remove();

  // Copies `background` (a picture file) to "Back.gif" beside "pages"; when
  // it cannot be read, `fallback` (the picture's bytes) is written instead.
  bool InstallBackground(const std::filesystem::path& background, std::string_view fallback);

  // The full path of page file `name` inside "pages"; empty before Prepare.
  std::filesystem::path PageFile(std::string_view name) const;
  // This reader's own folder (holding "pages"); empty before Prepare.
  const std::filesystem::path& root() const { return m_root; }

 private:
  std::filesystem::path m_root;
  int m_nLockFd = -1;
};

// Removes, inside the private folder `user`, every reader folder whose lock
// is free (its reader is gone) and every half-made "new-<pid>-…" folder
// whose process is gone. Nothing is followed through a link and nothing
// outside `user` is touched; entries of other names are left alone.
// Answers how many folders were removed.
int RemoveStaleReaderFolders(const std::filesystem::path& user);

// Replaces the content of `path` with `bytes`, creating it owner-only; a
// link at `path` is not followed. False when the file cannot be written,
// when its folder is a link or not this user's alone, or when `path` is
// anything but a plain file of this user's with no other name (a symbolic
// or hard link, a pipe, a folder).
bool WritePrivateFile(const std::filesystem::path& path, std::string_view bytes);

// Whether `path` is a folder (not a link) owned by this user that no one
// else may enter.
bool IsPrivateFolder(const std::filesystem::path& path);

#endif  // CODEXA_PANEL_PAGEFOLDER_H_
