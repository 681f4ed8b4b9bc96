#include "tools/build/variantgroups.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <queue>
#include <set>
#include <sstream>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "engine/codeconverter.h"

namespace codexa::build {
namespace {

using CharSet = std::set<uint32_t>;
using Attachments = std::map<uint32_t, CharSet>;  // source character -> attached forms

// How closely a member belongs to a group; lower is closer, and the order in
// which members are kept when a group is too large.
enum Rank { kClusterMember = 0, kSimplifiedForm = 1, kSharedForm = 2, kSemanticForm = 3, kRankCount = 4 };

// Only Han ideographs take part; anything else in a source is a sign of a
// damaged line.
bool IsIdeograph(uint32_t c) {
  return (c >= 0x3400 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x3FFFF);
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  while (true) {
    size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

// Calls `onLine` for every line without its line break; a trailing CR is
// dropped so that files with CR LF read the same.
template <typename F>
void ForEachLine(std::string_view text, F onLine) {
  for (std::string_view line : Split(text, '\n')) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    onLine(line);
  }
}

// "U+4E00": four to six upper- or lower-case hex digits, nothing else.
std::optional<uint32_t> ParseUPlus(std::string_view text) {
  if (text.size() < 6 || text.size() > 8 || text[0] != 'U' || text[1] != '+') return std::nullopt;
  uint32_t value = 0;
  for (char ch : text.substr(2)) {
    int digit = (ch >= '0' && ch <= '9')   ? ch - '0'
                : (ch >= 'A' && ch <= 'F') ? ch - 'A' + 10
                : (ch >= 'a' && ch <= 'f') ? ch - 'a' + 10
                                           : -1;
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<uint32_t>(digit);
  }
  if (!IsIdeograph(value)) return std::nullopt;
  return value;
}

// The one ideograph that `text` encodes in strict UTF-8, or nothing.
std::optional<uint32_t> ParseSingleCharacter(std::string_view text) {
  if (text.empty()) return std::nullopt;
  auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  size_t length = byte(0) < 0x80 ? 1 : byte(0) >= 0xF0 && byte(0) <= 0xF4 ? 4 : byte(0) >= 0xE0 ? 3 : 0;
  if (length < 3 || text.size() != length) return std::nullopt;  // ideographs take 3 or 4 bytes
  uint32_t value = byte(0) & (length == 3 ? 0x0F : 0x07);
  for (size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return std::nullopt;
    value = (value << 6) | (byte(i) & 0x3F);
  }
  // Overlong forms cannot reach the ideograph ranges, so this also rejects them.
  if (!IsIdeograph(value)) return std::nullopt;
  return value;
}

// Every relation the rule uses, gathered from all sources.
struct Relations {
  std::vector<std::pair<uint32_t, uint32_t>> oneToOne;  // TW/HK/JP variant pairs, source first
  std::vector<std::pair<uint32_t, uint32_t>> sameCharacter;  // kZVariant
  std::vector<std::pair<uint32_t, uint32_t>> semantic;
  std::set<uint32_t> common;  // characters with a Unihan kFrequency
  Attachments simplified;                        // traditional -> simplified forms
  Attachments shared;                            // character -> form it shares with others
  // A simplified or Japanese form -> the traditional form its table lists
  // first (the most common reading); OpenCC's Chinese table wins.
  std::map<uint32_t, uint32_t> firstTraditional;
  std::map<uint32_t, uint32_t> firstTraditionalJapanese;
};

// One OpenCC line: a key character and its value characters in table order.
bool ParseOpenccLine(std::string_view line, uint32_t& key, std::vector<uint32_t>& values) {
  std::vector<std::string_view> fields = Split(line, '\t');
  if (fields.size() != 2) return false;
  std::optional<uint32_t> parsedKey = ParseSingleCharacter(fields[0]);
  if (!parsedKey) return false;
  key = *parsedKey;
  values.clear();
  for (std::string_view item : Split(fields[1], ' ')) {
    std::optional<uint32_t> value = ParseSingleCharacter(item);
    if (!value) return false;
    values.push_back(*value);
  }
  return true;
}

void AddOpenccTable(std::string_view name, std::string_view text, Relations& relations, size_t& skipped) {
  ForEachLine(text, [&](std::string_view line) {
    if (line.empty()) return;
    uint32_t key;
    std::vector<uint32_t> values;
    if (!ParseOpenccLine(line, key, values)) {
      ++skipped;
      return;
    }
    for (uint32_t value : values) {
      if (value == key) continue;
      if (name == "TSCharacters") relations.simplified[key].insert(value);
      else if (name == "STCharacters") relations.simplified[value].insert(key);
      else if (name == "JPShinjitaiCharacters") relations.shared[value].insert(key);
      else relations.oneToOne.emplace_back(key, value);
    }
    if (name == "STCharacters") relations.firstTraditional[key] = values.front();
    if (name == "JPShinjitaiCharacters") relations.firstTraditionalJapanese[key] = values.front();
  });
}

// "U+XXXX[<sources] U+YYYY[<sources] ...": the code points, or false.
bool ParseUPlusList(std::string_view text, std::vector<uint32_t>& values) {
  values.clear();
  for (std::string_view item : Split(text, ' ')) {
    std::optional<uint32_t> value = ParseUPlus(item.substr(0, item.find('<')));
    if (!value) return false;
    values.push_back(*value);
  }
  return true;
}

// One Unihan line: "U+XXXX<TAB>field<TAB>U+YYYY[<sources] ...".
void AddUnihan(std::string_view text, Relations& relations, size_t& skipped) {
  ForEachLine(text, [&](std::string_view line) {
    if (line.empty() || line.front() == '#') return;
    std::vector<std::string_view> fields = Split(line, '\t');
    std::optional<uint32_t> from;
    std::vector<uint32_t> targets;
    if (fields.size() != 3 || !(from = ParseUPlus(fields[0])) || !ParseUPlusList(fields[2], targets)) {
      ++skipped;
      return;
    }
    std::string_view field = fields[1];
    for (uint32_t to : targets) {
      if (to == *from) continue;
      if (field == "kSimplifiedVariant") relations.simplified[*from].insert(to);
      else if (field == "kTraditionalVariant") relations.simplified[to].insert(*from);
      else if (field == "kZVariant") relations.sameCharacter.emplace_back(*from, to);
      else if (field == "kSemanticVariant") relations.semantic.emplace_back(*from, to);
    }
  });
}

// The kFrequency lines of Unihan_DictionaryLikeData.txt; its other fields
// are not ours to judge.
void AddFrequencies(std::string_view text, Relations& relations, size_t& skipped) {
  ForEachLine(text, [&](std::string_view line) {
    std::vector<std::string_view> fields = Split(line, '\t');
    if (line.empty() || line.front() == '#' || fields.size() < 2 || fields[1] != "kFrequency") return;
    std::optional<uint32_t> c = fields.size() == 3 ? ParseUPlus(fields[0]) : std::nullopt;
    if (!c || fields[2].size() != 1 || fields[2][0] < '1' || fields[2][0] > '5') {
      ++skipped;
      return;
    }
    relations.common.insert(*c);
  });
}

class DisjointSets {
 public:
  uint32_t Find(uint32_t c) {
    auto it = m_parent.try_emplace(c, c).first;
    if (it->second == c) return c;
    uint32_t root = Find(it->second);
    m_parent[c] = root;
    return root;
  }
  // The smaller character becomes the root, so clusters do not depend on
  // the order of the pairs.
  void Join(uint32_t a, uint32_t b) {
    uint32_t ra = Find(a), rb = Find(b);
    if (ra != rb) m_parent[std::max(ra, rb)] = std::min(ra, rb);
  }

 private:
  std::unordered_map<uint32_t, uint32_t> m_parent;
};

// Joins one-to-one pairs into clusters; a form reached from several sources
// is attached to each of them instead (rule 1).
void JoinClusters(Relations& relations, DisjointSets& clusters) {
  std::map<uint32_t, CharSet> sourcesOf;
  for (auto [from, to] : relations.oneToOne) sourcesOf[to].insert(from);
  for (auto [from, to] : relations.oneToOne) {
    if (sourcesOf[to].size() > 1) relations.shared[from].insert(to);
    else clusters.Join(from, to);
  }
  for (auto [a, b] : relations.sameCharacter) clusters.Join(a, b);
}

// Characters with a relation other than a semantic one.
CharSet RelatedCharacters(const Relations& relations) {
  CharSet related;
  for (const auto* pairs : {&relations.oneToOne, &relations.sameCharacter}) {
    for (auto [a, b] : *pairs) related.insert({a, b});
  }
  for (const Attachments* attachments : {&relations.simplified, &relations.shared}) {
    for (const auto& [source, forms] : *attachments) {
      related.insert(source);
      related.insert(forms.begin(), forms.end());
    }
  }
  return related;
}

struct Group {
  uint32_t key = 0;                // smallest cluster member
  std::vector<uint32_t> members;   // in file order
  std::map<uint32_t, Rank> rank;   // member -> how it belongs
};

// One group per cluster, its members in rank order (rules 2 and 3).
std::vector<Group> FormGroups(const Relations& relations, const CharSet& related, DisjointSets& clusters,
                              VariantGroupReport& report) {
  Attachments semanticLeaves;
  for (auto [a, b] : relations.semantic) {
    if (related.count(a) && !related.count(b) && !relations.common.count(b)) semanticLeaves[a].insert(b);
  }
  std::map<uint32_t, CharSet> clusterMembers;  // cluster root -> members
  for (uint32_t c : related) clusterMembers[clusters.Find(c)].insert(c);

  const Attachments* attached[kRankCount] = {nullptr, &relations.simplified, &relations.shared, &semanticLeaves};
  std::vector<Group> groups;
  for (const auto& [root, members] : clusterMembers) {
    Group group;
    group.key = root;
    auto add = [&](uint32_t c, Rank rank) {
      if (group.rank.count(c)) return;
      if (group.members.size() == kMaxVariantGroupSize) {
        ++report.trimmedMembers;
        return;
      }
      group.members.push_back(c);
      group.rank[c] = rank;
    };
    for (uint32_t c : members) add(c, kClusterMember);
    for (int rank = kSimplifiedForm; rank < kRankCount; ++rank) {
      CharSet forms;
      for (uint32_t c : members) {
        auto it = attached[rank]->find(c);
        if (it != attached[rank]->end()) forms.insert(it->second.begin(), it->second.end());
      }
      for (uint32_t c : forms) add(c, static_cast<Rank>(rank));
    }
    if (group.members.size() > 1) groups.push_back(std::move(group));
  }
  return groups;
}

// The group each character should fold with (rule 4), as indexes into
// `groups`.
std::map<uint32_t, size_t> ChooseHomes(const std::vector<Group>& groups, const Relations& relations,
                                       DisjointSets& clusters) {
  std::map<uint32_t, size_t> groupOfCluster;  // cluster root -> group
  for (size_t g = 0; g < groups.size(); ++g) groupOfCluster[groups[g].key] = g;
  auto clusterGroupHolding = [&](uint32_t clusterOf, uint32_t c) -> std::optional<size_t> {
    auto it = groupOfCluster.find(clusters.Find(clusterOf));
    if (it == groupOfCluster.end() || !groups[it->second].rank.count(c)) return std::nullopt;
    return it->second;
  };

  std::map<uint32_t, size_t> home;
  for (size_t g = 0; g < groups.size(); ++g) {
    for (uint32_t c : groups[g].members) {
      if (home.count(c)) continue;
      auto preferred = relations.firstTraditional.find(c);
      std::optional<size_t> chosen;
      if (preferred != relations.firstTraditional.end() && preferred->second != c)
        chosen = clusterGroupHolding(preferred->second, c);
      if (!chosen) chosen = clusterGroupHolding(c, c);
      if (!chosen) {
        // Groups are in key order, so the first of the closest rank wins.
        for (size_t other = 0; other < groups.size(); ++other) {
          auto it = groups[other].rank.find(c);
          if (it != groups[other].rank.end() && (!chosen || it->second < groups[*chosen].rank.at(c)))
            chosen = other;
        }
      }
      home[c] = *chosen;
    }
  }
  return home;
}

// Puts every guest's home group before the groups where it is a guest, by
// key otherwise (rule 5). Groups left with one member are dropped.
VariantGroups OrderGroups(std::vector<Group>& groups, const std::map<uint32_t, size_t>& home,
                          VariantGroupReport& report) {
  std::vector<std::set<size_t>> waitsFor(groups.size());
  std::vector<std::vector<size_t>> unblocks(groups.size());
  for (size_t g = 0; g < groups.size(); ++g) {
    for (uint32_t c : groups[g].members) {
      size_t h = home.at(c);
      if (h != g && waitsFor[g].insert(h).second) unblocks[h].push_back(g);
    }
  }
  using Entry = std::pair<uint32_t, size_t>;  // (key, group)
  std::priority_queue<Entry, std::vector<Entry>, std::greater<>> ready;
  std::set<Entry> waiting;
  for (size_t g = 0; g < groups.size(); ++g) {
    if (waitsFor[g].empty()) ready.emplace(groups[g].key, g);
    else waiting.emplace(groups[g].key, g);
  }

  VariantGroups ordered;
  std::vector<bool> placed(groups.size(), false);
  while (!ready.empty() || !waiting.empty()) {
    if (ready.empty()) {
      // A cycle: the earliest waiting group gives up the guests it waits on.
      size_t g = waiting.begin()->second;
      waiting.erase(waiting.begin());
      auto& members = groups[g].members;
      size_t before = members.size();
      std::erase_if(members, [&](uint32_t c) { return waitsFor[g].count(home.at(c)) > 0; });
      report.droppedGuests += before - members.size();
      waitsFor[g].clear();
      ready.emplace(groups[g].key, g);
    }
    size_t g = ready.top().second;
    ready.pop();
    placed[g] = true;
    if (groups[g].members.size() > 1) ordered.push_back(groups[g].members);
    for (size_t next : unblocks[g]) {
      if (placed[next] || !waitsFor[next].erase(g) || !waitsFor[next].empty()) continue;
      waiting.erase({groups[next].key, next});
      ready.emplace(groups[next].key, next);
    }
  }
  return ordered;
}

bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  if (in.bad()) return false;
  bytes = std::move(buffer).str();
  return true;
}

}  // namespace

bool ReadVariantSources(const std::filesystem::path& directory, VariantSources& sources, std::string& error) {
  auto read = [&](const std::string& file, std::string& bytes) {
    if (ReadWholeFile(directory / file, bytes)) return true;
    error = "cannot read variant source " + (directory / file).string();
    return false;
  };
  if (!read(kUnihanVariantsFile, sources.unihan)) return false;
  if (!read(kUnihanFrequencyFile, sources.unihanFrequency)) return false;
  for (const char* table : kOpenccTables) {
    if (!read(std::string(table) + ".txt", sources.opencc[table])) return false;
  }
  return true;
}

VariantGroups BuildVariantGroups(const VariantSources& sources, VariantGroupReport* report) {
  VariantGroupReport local;
  VariantGroupReport& out = report ? *report : local;
  out = VariantGroupReport{};
  Relations relations;
  AddUnihan(sources.unihan, relations, out.skippedLines);
  AddFrequencies(sources.unihanFrequency, relations, out.skippedLines);
  for (const auto& [name, text] : sources.opencc) AddOpenccTable(name, text, relations, out.skippedLines);

  relations.firstTraditional.merge(relations.firstTraditionalJapanese);  // keeps existing entries
  DisjointSets clusters;
  JoinClusters(relations, clusters);
  std::vector<Group> groups = FormGroups(relations, RelatedCharacters(relations), clusters, out);
  std::map<uint32_t, size_t> home = ChooseHomes(groups, relations, clusters);
  return OrderGroups(groups, home, out);
}

bool LoadVariantGroups(const std::filesystem::path& directory, VariantGroups& groups, std::string& error,
                       VariantGroupReport* report) {
  VariantSources sources;
  if (!ReadVariantSources(directory, sources, error)) return false;
  groups = BuildVariantGroups(sources, report);
  if (groups.size() > kGroupCodeCapacity) {
    error = "variant groups: " + std::to_string(groups.size()) + " groups, but the index keys at most " +
            std::to_string(kGroupCodeCapacity);
    return false;
  }
  return true;
}

}  // namespace codexa::build
