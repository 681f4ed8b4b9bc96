// The hit entries of a search result inside a scope, in list order. The
// scope cuts the engine's pages by their range and orders them by file
// number, the one label the order needs, worked out once per run of pages
// under one volume; the names of category, work and volume are looked up
// only for the entries asked for (the hundred rows a list page shows), so
// no string is built per entry. The labels are exactly ApplyScope's.
//
// A list keeps pointers into the tree of its scope node: the tree must
// outlive the list and its copies.
#ifndef CODEXA_CORPUS_HITLIST_H_
#define CODEXA_CORPUS_HITLIST_H_

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <span>
#include <vector>

#include "corpus/catalogue.h"

class CScopeLabels;

class CHitList {
 public:
  static constexpr std::size_t npos = static_cast<std::size_t>(-1);

  // No entries.
  CHitList();
  // The pages of `pages` in `scope` (InScope) with their counts from
  // `counts` (the engine's parallel arrays; entries beyond the shorter of
  // the two are ignored), sorted by file number as an unsigned number; the
  // sort is stable, so entries with equal numbers keep the engine's order.
  CHitList(const ContentsNodeTag& scope, std::span<const uint32_t> pages, std::span<const uint32_t> counts);
  ~CHitList();
  CHitList(const CHitList&);
  CHitList(CHitList&&) noexcept;
  CHitList& operator=(const CHitList&);
  CHitList& operator=(CHitList&&) noexcept;

  std::size_t size() const { return m_pages.size(); }
  bool empty() const { return m_pages.empty(); }
  // Entry `i` (below size()), labelled now.
  SearchNodeTag operator[](std::size_t i) const;
  SearchNodeTag front() const { return (*this)[0]; }
  // Every entry labelled, in list order.
  std::vector<SearchNodeTag> Labelled() const;

  // The entries' pages and counts in list order.
  std::span<const uint32_t> Pages() const { return m_pages; }
  std::span<const uint32_t> Counts() const { return m_counts; }
  // The same pages in the engine's order, which is ascending for the
  // engine's results: the order that sweeps the catalogue's page ranges once.
  std::span<const uint32_t> PagesInEngineOrder() const { return m_enginePages; }
  // The position of the first entry of `page`; npos when none has it.
  std::size_t Find(uint32_t page) const;
  // The total of the entries' hit counts.
  uint64_t TotalHits() const { return m_nTotalHits; }

  // Entries labelled one at a time, for range-for.
  class Iterator {
   public:
    using iterator_category = std::input_iterator_tag;
    using value_type = SearchNodeTag;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = SearchNodeTag;
    Iterator(const CHitList& list, std::size_t i) : m_pList(&list), m_nIndex(i) {}
    SearchNodeTag operator*() const { return (*m_pList)[m_nIndex]; }
    Iterator& operator++() {
      ++m_nIndex;
      return *this;
    }
    bool operator==(const Iterator& other) const { return m_nIndex == other.m_nIndex; }

   private:
    const CHitList* m_pList;
    std::size_t m_nIndex;
  };
  Iterator begin() const { return Iterator(*this, 0); }
  Iterator end() const { return Iterator(*this, size()); }

 private:
  // Shared by copies: the labels never change once made.
  std::shared_ptr<const CScopeLabels> m_labels;
  std::vector<uint32_t> m_pages;
  std::vector<uint32_t> m_counts;
  std::vector<uint32_t> m_enginePages;
  uint64_t m_nTotalHits = 0;
};

// The hit entries of CHitList, all labelled, in `entries`; returns the
// total of their hit counts.
uint64_t ApplyScope(const ContentsNodeTag& scope, std::span<const uint32_t> pages,
                    std::span<const uint32_t> counts, std::vector<SearchNodeTag>& entries);

#endif  // CODEXA_CORPUS_HITLIST_H_
