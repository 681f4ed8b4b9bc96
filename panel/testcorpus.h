// A small corpus for the panel's tests and benchmark: three categories'
// worth of pages in the stored page shape (a title and two cells), the
// three search targets, a variant group and a catalogue.
#ifndef CODEXA_PANEL_TESTCORPUS_H_
#define CODEXA_PANEL_TESTCORPUS_H_

#include <filesystem>
#include <string>
#include <vector>

#include "writer/corpuswriter.h"

namespace codexa::paneltest {

// One page: where it is filed and its cell text (HTML allowed).
struct Page {
  std::string name;  // stored name, "類\\書\\巻\\0001.htm"
  std::u32string cell;
};

struct Corpus {
  std::vector<Page> pages;
  std::vector<writer::CatalogueRecord> catalogue;
  std::vector<std::vector<uint32_t>> groups;
  // Cell texts of the annotation target's index, one per page; empty
  // means the same as the pages.
  std::vector<std::u32string> annotationCells;
};

// The stored HTML of a page with `cell` in both cells.
std::string PageHtml(const std::string& title, const std::u32string& cell);

// Writes every file of `corpus` into `directory`; false with `error` set.
bool WriteCorpus(const std::filesystem::path& directory, const Corpus& corpus, std::string& error);

// The fixture of the form tests:
//   經部 (1) > 詩經 (2) > 卷一 (3: files 1-3), 卷二 (4: files 4-5)
//            > 雜篇 (5) > 卷一 (6: files 6-106, 101 pages with 雲, the
//                          first 100 also with 雨)
//   集部 (7) > 唐詩 (8) > 卷一 (9: files 107-108, 107 a long page with 鶴
//                          far down)
// Variant group 學/学. The annotation index knows only 松, on every page.
Corpus FormFixture();

}  // namespace codexa::paneltest

#endif  // CODEXA_PANEL_TESTCORPUS_H_
