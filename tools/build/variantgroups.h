// Variant groups for "yitizi.txt", made from Unicode's Unihan variant fields
// and OpenCC's character tables (the plain-text copies that
// prepare-variant-sources.sh writes).
//
// How a reader sees the groups: a character folds with the FIRST group that
// holds it. Searching it reads that group's merged list and the page view
// highlights that group's members. A character may stand in several groups;
// in every group but its first it is a "guest": the group's own members find
// it, it does not find them.
//
// The grouping rule. Joining every related pair (union-find) chains unrelated
// words through one-to-many mappings: 干 is the simplified form of 幹, 乾 and
// 干, 发 of 發 and 髮, 后 of 後 and 后; 弁 is the Japanese form of 辨, 辯, 瓣
// and 辦. So only pairs that name the same character are joined, and one-to-many
// forms are attached to each of their sources without joining those sources:
//
//  1. Clusters (joined): the one-to-one variant pairs of OpenCC's TWVariants,
//     HKVariants and JPVariants and Unihan's kZVariant. A form that several
//     different characters map to (弁 for 辨/辯/瓣) is not joined but
//     attached, as in 2.
//  2. One group per cluster: the cluster's members, then what is attached to
//     them: their simplified forms (OpenCC TSCharacters, STCharacters read
//     backwards; Unihan kSimplifiedVariant, kTraditionalVariant read
//     backwards), the shared forms of 1 and OpenCC JPShinjitaiCharacters
//     read backwards, then their rare semantic variants: a
//     kSemanticVariant that takes part in no other relation and is not a
//     common character (no Unihan kFrequency): 斈 of 學, 囯 of 國, 炁 of 氣.
//     Semantic variants between characters that have relations of their own
//     link different words (予/余/豫/餘), and common characters listed as
//     semantic variants are words of their own (寡 of 關, 二 of 貳): both
//     are left out.
//  3. A group has at most kMaxVariantGroupSize members (the cluster first,
//     then simplified forms, shared forms, semantic variants); a group of one
//     member is dropped.
//  4. Each character has a home group: for a simplified form with several
//     traditional forms, the group of the form OpenCC lists first (发 -> 發,
//     后 -> 後, 干 -> 幹); otherwise its own cluster's group; otherwise the
//     group where it is attached most closely (then the earliest).
//  5. Groups are ordered by their smallest cluster member, except that a
//     group holding a guest comes after the guest's home group, so that the
//     home group is the first that holds it. Where that is impossible (two
//     groups each holding the other's home member) the later group gives up
//     the guest.
//
// So 發 folds with 发 and 発 but not with 髮; 髮 folds with 发 and 髪; 发 folds
// with 發 and 発.
#ifndef CODEXA_TOOLS_BUILD_VARIANTGROUPS_H_
#define CODEXA_TOOLS_BUILD_VARIANTGROUPS_H_

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace codexa::build {

inline constexpr size_t kMaxVariantGroupSize = 8;

// The OpenCC tables read, by file name without ".txt".
inline constexpr const char* kOpenccTables[] = {"STCharacters", "TSCharacters",          "TWVariants",
                                                "HKVariants",   "JPVariants",            "JPShinjitaiCharacters"};
inline constexpr const char* kUnihanVariantsFile = "Unihan_Variants.txt";
inline constexpr const char* kUnihanFrequencyFile = "Unihan_DictionaryLikeData.txt";

// The raw text of every source file.
struct VariantSources {
  std::string unihan;                         // Unihan_Variants.txt
  std::string unihanFrequency;                // Unihan_DictionaryLikeData.txt (kFrequency)
  std::map<std::string, std::string> opencc;  // table name -> its text
};

using VariantGroups = std::vector<std::vector<uint32_t>>;

// What the rule made of the sources, for the builder's summary and tests.
struct VariantGroupReport {
  size_t skippedLines = 0;    // malformed source lines, left out
  size_t trimmedMembers = 0;  // members beyond kMaxVariantGroupSize
  size_t droppedGuests = 0;   // guests given up to keep the order sound
};

// Reads every source file from `directory`. False with `error` naming the
// file when one is missing or unreadable.
bool ReadVariantSources(const std::filesystem::path& directory, VariantSources& sources, std::string& error);

// Applies the rule above. Malformed lines (not "U+XXXX<TAB>field<TAB>U+YYYY
// ..." in Unihan, not "key<TAB>values" of single CJK characters in valid
// UTF-8 in OpenCC) are skipped and counted. The result is the same for the
// same sources, whatever the order of equal lines.
VariantGroups BuildVariantGroups(const VariantSources& sources, VariantGroupReport* report = nullptr);

// ReadVariantSources then BuildVariantGroups. False with `error` set when a
// file cannot be read or the groups exceed what the index can key.
bool LoadVariantGroups(const std::filesystem::path& directory, VariantGroups& groups, std::string& error,
                       VariantGroupReport* report = nullptr);

}  // namespace codexa::build

#endif  // CODEXA_TOOLS_BUILD_VARIANTGROUPS_H_
