#include "base/keepaside.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace {

// Tries before giving up on a free name; each is a file kept aside in the
// same second, so reaching this means something else is wrong.
constexpr int kMaxTries = 100;

}  // namespace

std::filesystem::path DamagedFileName(const std::filesystem::path& file, std::time_t now) {
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  std::filesystem::path kept = file;
  kept += ".damaged-";
  kept += stamp;
  return kept;
}

std::filesystem::path KeepDamagedFileAside(const std::filesystem::path& file, std::time_t now) {
  const std::filesystem::path first = DamagedFileName(file, now);
  for (int attempt = 1; attempt <= kMaxTries; ++attempt) {
    std::filesystem::path kept = first;
    if (attempt > 1) kept += "-" + std::to_string(attempt);
    // A hard link claims the new name only when it is free, so no file
    // kept aside earlier is ever replaced; the old name goes afterwards.
    if (::link(file.c_str(), kept.c_str()) == 0) {
      if (::unlink(file.c_str()) == 0) return kept;
      ::unlink(kept.c_str());
      return {};
    }
    if (errno != EEXIST) return {};
  }
  return {};
}
