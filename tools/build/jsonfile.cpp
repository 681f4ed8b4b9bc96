#include "tools/build/jsonfile.h"

#include <fstream>
#include <iterator>

#include "tools/build/corpusbuilder.h"

namespace codexa::build {

nlohmann::json ReadJsonFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw BuildError("source: cannot read " + file.string());
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw BuildError("source: cannot read " + file.string());
  try {
    return nlohmann::json::parse(bytes);
  } catch (const nlohmann::json::exception& e) {
    throw BuildError("malformed JSON in " + file.string() + ": " + e.what());
  }
}

std::string StringAt(const nlohmann::json& object, std::string_view key) {
  if (!object.is_object()) return {};
  const auto it = object.find(key);
  return it != object.end() && it->is_string() ? it->get<std::string>() : std::string();
}

}  // namespace codexa::build
