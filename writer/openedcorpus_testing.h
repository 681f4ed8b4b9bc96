// Test support for the engine's tests: a corpus written from page texts
// into a scratch directory and opened, and the result as (page, count)
// pairs.
#ifndef CODEXA_WRITER_OPENEDCORPUS_TESTING_H_
#define CODEXA_WRITER_OPENEDCORPUS_TESTING_H_

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "corpus/filelistformat.h"
#include "engine/index.h"
#include "writer/scratchdir.h"
#include "writer/textcorpus.h"

namespace codexa::testing {

using Hits = std::vector<std::pair<uint32_t, uint32_t>>;

class OpenedCorpus {
 public:
  // Writes the pages with interleaved, shuffled blocks (and the page-count
  // table, unless told not to) and opens the index.
  OpenedCorpus(const std::vector<std::u32string>& pages, const std::vector<std::vector<uint32_t>>& groups = {},
               uint32_t layoutSeed = 1, bool pageCountTable = true) {
    writer::TextCorpusWriter corpus(groups);
    for (const std::u32string& page : pages) corpus.AddPage(page);
    std::string error;
    EXPECT_TRUE(corpus.Write(m_dir.path(), {.interleave = true, .seed = layoutSeed, .pageCountTable = pageCountTable}, error)) << error;
    EXPECT_TRUE(m_index.Open(m_dir.path(), kCorpusNameUtf16, SearchTarget::kFullText));
  }

  CIndex& index() { return m_index; }
  const writer::ScratchDir& dir() const { return m_dir; }

  // The result arrays as pairs, after checking that they agree in length.
  Hits Result() const {
    const std::vector<uint32_t>& pages = m_index.GetPageArray();
    const std::vector<uint32_t>& counts = m_index.GetCountArray();
    EXPECT_EQ(pages.size(), counts.size());
    EXPECT_EQ(pages.size(), m_index.GetResultCount());
    Hits hits;
    for (size_t i = 0; i < pages.size() && i < counts.size(); ++i) hits.emplace_back(pages[i], counts[i]);
    return hits;
  }

  Hits And(std::u16string query, bool variants = false) {
    m_index.SearchAnd(query, variants);
    return Result();
  }
  Hits Or(std::u16string query, bool variants = false) {
    m_index.SearchOr(query, variants);
    return Result();
  }

 private:
  writer::ScratchDir m_dir;
  CIndex m_index;
};

}  // namespace codexa::testing

#endif  // CODEXA_WRITER_OPENEDCORPUS_TESTING_H_
