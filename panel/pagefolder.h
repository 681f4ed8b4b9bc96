// Where the reader puts the pages it shows. The text view loads pages from
// files, so every page shown is first written to one of three files with
// fixed names. They live in a folder that only this user can enter, so no
// one else can create them first or plant links under those names:
//
//   <base>/codexa-<uid>/            owner-only; never a link
//   <base>/codexa-<uid>/Back.gif    the page background
//   <base>/codexa-<uid>/pages/      the page files
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
  // Makes (or checks) the private folder under `base` and its "pages"
  // subfolder. When "codexa-<uid>" exists but is not a real folder owned by
  // this user with owner-only rights, a fresh private folder with a unique
  // name is made instead. False with `error` set when no private folder can
  // be had.
  bool Prepare(const std::filesystem::path& base, std::string& error);

  // Copies `background` (a picture file) to "Back.gif" beside "pages"; when
  // it cannot be read, `fallback` (the picture's bytes) is written instead.
  bool InstallBackground(const std::filesystem::path& background, std::string_view fallback);

  // The full path of page file `name` inside "pages"; empty before Prepare.
  std::filesystem::path PageFile(std::string_view name) const;
  const std::filesystem::path& root() const { return m_root; }

 private:
  std::filesystem::path m_root;
};

// Replaces the content of `path` with `bytes`, creating it owner-only; a
// link at `path` is not followed. False when the file cannot be written or
// `path` is anything but a plain file of this user's with no other name
// (a symbolic or hard link, a pipe, a folder).
bool WritePrivateFile(const std::filesystem::path& path, std::string_view bytes);

// Whether `path` is a folder (not a link) owned by this user that no one
// else may enter.
bool IsPrivateFolder(const std::filesystem::path& path);

#endif  // CODEXA_PANEL_PAGEFOLDER_H_
