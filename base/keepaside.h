// Keeping a damaged file aside.
//
// A file of the user's that the program cannot read as a whole (damaged
// settings, say) is never written over: the program would keep what it
// could read and drop the rest at its next save. Instead the file is
// renamed beside itself to "<name>.damaged-YYYYMMDD-HHMMSS" (local time;
// "-2", "-3", ... added while that name is taken), where the user can still
// mend it or pass it on, and the program starts afresh under the old name.
#ifndef CODEXA_BASE_KEEPASIDE_H_
#define CODEXA_BASE_KEEPASIDE_H_

#include <ctime>
#include <filesystem>

// The name `file` is kept under when set aside at `now`, first choice.
std::filesystem::path DamagedFileName(const std::filesystem::path& file, std::time_t now);

// Renames `file` to a free damaged-file name beside it and answers that
// name; an empty path when it cannot (the file stays where it was).
std::filesystem::path KeepDamagedFileAside(const std::filesystem::path& file, std::time_t now);

#endif  // CODEXA_BASE_KEEPASIDE_H_
