// A small corpus with every kind of data file, and the ways of damaging
// one of them that the corrupt-corpus tests go through.
#ifndef CODEXA_TESTS_CORRUPT_DAMAGEDCORPUS_H_
#define CODEXA_TESTS_CORRUPT_DAMAGEDCORPUS_H_

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace codexa::corrupt {

// The data files of a corpus named "Index".
extern const std::vector<std::string> kDataFiles;

// Writes the corpus: pages of main text and notes in one volume each of
// two works, the three search targets, a variant group and the catalogue.
// False with `error` set.
bool WriteSmallCorpus(const std::filesystem::path& directory, std::string& error);

// One way of damaging a file: its new content, or none for a removed file.
struct Damage {
  std::string name;  // "truncated at 268", "bits flipped in the lists", ...
  std::optional<std::string> bytes;
};

// Every damage the tests apply to `file`, whose intact content is `bytes`:
// missing, empty, cut at several offsets (the format's own boundaries
// among them), bits flipped at random and where the searched lists are
// kept, and garbage of the same size.
std::vector<Damage> DamagesOf(const std::string& file, const std::string& bytes);

// What a folder holds: per entry its size, rights and modification time.
using FolderState = std::map<std::string, std::string>;
FolderState StateOf(const std::filesystem::path& directory);

}  // namespace codexa::corrupt

#endif  // CODEXA_TESTS_CORRUPT_DAMAGEDCORPUS_H_
