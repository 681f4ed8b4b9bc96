// Replacing a small file of the user's whole or not at all.
//
// The new contents go into a fresh file beside the old one
// ("<name>.new-XXXXXX", owner-only), are flushed to the disk, and only then
// take the old name by a rename, which the system makes in one step. A
// failure anywhere before the rename (disk full, no folder, a write cut
// short) removes the fresh file and leaves the old one exactly as it was;
// no reader ever sees half a file, and a crash leaves at worst a stray
// "<name>.new-XXXXXX" beside an intact old file. The name is what is
// replaced: a link standing there is replaced too, never written through.
#ifndef CODEXA_BASE_ATOMICFILE_H_
#define CODEXA_BASE_ATOMICFILE_H_

#include <filesystem>
#include <string>
#include <string_view>

// Makes `bytes` the contents of `file`. False with `error` set (the
// system's reason) when the file could not be replaced; `file` is then
// untouched.
bool ReplaceFileAtomically(const std::filesystem::path& file, std::string_view bytes, std::string& error);

#endif  // CODEXA_BASE_ATOMICFILE_H_
