// Prints the figures of the variant grouping rule for a folder of prepared
// sources: group count, size histogram, the largest groups, and the group a
// few characters fold with. Optional characters on the command line replace
// the default spot checks.
#include <algorithm>
#include <cstdio>
#include <map>
#include <string>

#include "tools/build/variantgroups.h"

namespace {

std::string Utf8(uint32_t c) {
  std::string out;
  if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
  }
  out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  out += static_cast<char>(0x80 | (c & 0x3F));
  return out;
}

std::string Describe(const std::vector<uint32_t>& group) {
  std::string text;
  for (uint32_t c : group) text += Utf8(c);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s SOURCES-DIR [CHARACTERS]\n", argv[0]);
    return 2;
  }
  codexa::build::VariantGroups groups;
  codexa::build::VariantGroupReport report;
  std::string error;
  if (!codexa::build::LoadVariantGroups(argv[1], groups, error, &report)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  std::printf("groups %zu, skipped lines %zu, trimmed members %zu, dropped guests %zu\n", groups.size(),
              report.skippedLines, report.trimmedMembers, report.droppedGuests);
  std::map<size_t, size_t> histogram;
  for (const auto& group : groups) ++histogram[group.size()];
  for (auto [size, count] : histogram) std::printf("size %zu: %zu\n", size, count);

  std::vector<const std::vector<uint32_t>*> bySize;
  for (const auto& group : groups) bySize.push_back(&group);
  std::stable_sort(bySize.begin(), bySize.end(), [](auto* a, auto* b) { return a->size() > b->size(); });
  std::printf("largest:");
  for (size_t i = 0; i < std::min<size_t>(12, bySize.size()); ++i) std::printf(" %s", Describe(*bySize[i]).c_str());
  std::printf("\n");

  std::map<uint32_t, size_t> first;
  for (size_t g = 0; g < groups.size(); ++g) {
    for (uint32_t c : groups[g]) first.try_emplace(c, g);
  }
  std::string probes = argc > 2 ? argv[2] : "国國学學広廣気氣発發发髮后後干乾幹弁辨辯為爲台臺";
  for (size_t i = 0; i < probes.size();) {
    size_t length = static_cast<uint8_t>(probes[i]) >= 0xF0 ? 4 : static_cast<uint8_t>(probes[i]) >= 0xE0 ? 3 : 1;
    std::string character = probes.substr(i, length);
    i += length;
    uint32_t c = 0;
    for (size_t k = 0; k < character.size(); ++k)
      c = (c << 6) | (static_cast<uint8_t>(character[k]) & (k == 0 ? (length == 4 ? 0x07 : 0x0F) : 0x3F));
    auto it = first.find(c);
    std::printf("%s -> %s\n", character.c_str(), it == first.end() ? "(none)" : Describe(groups[it->second]).c_str());
  }
  return 0;
}
