#include "tools/search/scopehint.h"

#include <algorithm>
#include <vector>

#include "base/unicode.h"

namespace {

// More names than this are cut, with the number left out said.
constexpr std::size_t kMaxListed = 10;

// `path` with "/" read as "\" and no separator at either end.
std::u16string Normalized(std::u16string_view path) {
  std::u16string out(path);
  std::replace(out.begin(), out.end(), u'/', u'\\');
  const std::size_t first = out.find_first_not_of(u'\\');
  if (first == std::u16string::npos) return {};
  return out.substr(first, out.find_last_not_of(u'\\') - first + 1);
}

std::string Listed(const std::vector<std::u16string>& names) {
  std::string out;
  for (std::size_t i = 0; i < names.size() && i < kMaxListed; ++i) out += (i == 0 ? "" : ", ") + ToUtf8(names[i]);
  if (names.size() > kMaxListed) out += " and " + std::to_string(names.size() - kMaxListed) + " more";
  return out;
}

std::vector<std::u16string> PathsEndingIn(const CCatalogue& catalogue, std::u16string_view name) {
  std::vector<std::u16string> paths;
  for (int record = 1; record < catalogue.NodeCount(); ++record) {
    const ContentsNodeTag* node = catalogue.FindNodeByRecord(record);
    if (node != nullptr && node->name == name) paths.push_back(ScopePath(*node));
  }
  return paths;
}

}  // namespace

std::string ScopeHint(const CCatalogue& catalogue, std::u16string_view path) {
  const std::u16string meant = Normalized(path);
  if (!meant.empty() && catalogue.FindRecordByPath(meant) != 0) {
    return "did you mean \"" + ToUtf8(meant) + "\"? (names are joined by \"\\\")";
  }
  const std::u16string_view name = std::u16string_view(meant).substr(meant.rfind(u'\\') + 1);
  if (const std::vector<std::u16string> paths = PathsEndingIn(catalogue, name); !paths.empty()) {
    return "paths ending in \"" + ToUtf8(name) + "\": " + Listed(paths);
  }
  std::vector<std::u16string> categories;
  for (const auto& category : catalogue.Root().children) categories.push_back(category->name);
  return categories.empty() ? std::string() : "the categories: " + Listed(categories);
}
