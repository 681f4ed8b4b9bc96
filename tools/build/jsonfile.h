// Reading JSON source files with errors that name the file.
#ifndef CODEXA_TOOLS_BUILD_JSONFILE_H_
#define CODEXA_TOOLS_BUILD_JSONFILE_H_

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace codexa::build {

// The parsed file. Throws BuildError when it cannot be read or is not
// well-formed JSON in UTF-8.
nlohmann::json ReadJsonFile(const std::filesystem::path& file);

// The string at `key` of `object`, or "" when it is absent or not a string.
std::string StringAt(const nlohmann::json& object, std::string_view key);

}  // namespace codexa::build

#endif  // CODEXA_TOOLS_BUILD_JSONFILE_H_
