// The page texts the full-text index was built from, read back from a
// built corpus, one string per page, so that other search tools can be
// given exactly what the engine sees.
//
// Each page text is the indexed cell, character for character, in UTF-8.
// Where the index leaves a gap between two characters (a tag: no keyword
// may match across it) the text holds kRunSeparator instead; line breaks
// inside the cell become spaces, so that a page is one line of a file.
#ifndef CODEXA_BENCH_COMPARE_PAGETEXTS_H_
#define CODEXA_BENCH_COMPARE_PAGETEXTS_H_

#include <filesystem>
#include <string>
#include <vector>

namespace compare {

constexpr char kRunSeparator = '\x1f';

// Reads every page of the corpus "Index" in `directory`. False with
// `error` set when the file list does not open or a page cannot be read.
bool ReadPageTexts(const std::filesystem::path& directory, std::vector<std::string>& pages, std::string& error);

}  // namespace compare

#endif  // CODEXA_BENCH_COMPARE_PAGETEXTS_H_
