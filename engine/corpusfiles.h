// The files of a corpus folder as the operating system knows them, by
// device and inode.
//
// A corpus rebuilt where a reader runs gets new files under the old names:
// the builder writes them into a temporary folder and renames each into
// place. What the reader holds open stays the old corpus (a mapping or an
// open descriptor keeps its file alive), but what it opens later by name is
// the new one: the reader reads the catalogue once at start, yet opens a
// search target's index and the page store again at each change of target.
// A page store of one corpus under the catalogue of another would show the
// wrong pages under a volume's name, so before opening anything by name the
// reader compares the folder's files with those it started on.
#ifndef CODEXA_ENGINE_CORPUSFILES_H_
#define CODEXA_ENGINE_CORPUSFILES_H_

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

// Device and inode of every file a reader opens, in a fixed order; a file
// that is not there counts as (0, 0).
struct CorpusFiles {
  struct Identity {
    uint64_t device = 0;
    uint64_t inode = 0;
    bool operator==(const Identity&) const = default;
  };
  std::vector<Identity> files;
  bool operator==(const CorpusFiles&) const = default;
};

// What the reader says when it will not open the files of a corpus rebuilt
// since it started: "コーパスが起動後に作り直されました。…".
extern const char* const kCorpusReplacedMessage;

// The files of corpus `corpusName` in `directory` as they are now: the
// page store, every search target's index, the catalogue and the variant
// table.
CorpusFiles IdentifyCorpusFiles(const std::filesystem::path& directory, std::u16string_view corpusName);

#endif  // CODEXA_ENGINE_CORPUSFILES_H_
