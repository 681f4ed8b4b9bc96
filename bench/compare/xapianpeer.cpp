#include "bench/compare/xapianpeer.h"

#include <chrono>
#include <fstream>
#include <map>

#include "bench/compare/pagetexts.h"
#include "base/unicode.h"
#include "engine/codeconverter.h"

namespace compare {

namespace {

constexpr size_t kMaxSpellings = 64;
// Beside the database: the page count and the seconds its build took.
constexpr const char* kStampName = "codexa-compare.stamp";

// The terms of one page: indexed characters and neighbouring pairs of
// them, at the character's position in the page text.
void IndexPage(std::string_view text, Xapian::Document& document) {
  std::vector<uint32_t> characters = DecodeUtf8(text);
  for (size_t i = 0; i < characters.size(); ++i) {
    if (CharToIndexCode(characters[i]) < 0) continue;
    std::string unigram;
    AppendUtf8(characters[i], unigram);
    const auto position = static_cast<Xapian::termpos>(i + 1);
    document.add_posting(unigram, position);
    if (i + 1 < characters.size() && CharToIndexCode(characters[i + 1]) >= 0) {
      std::string bigram = unigram;
      AppendUtf8(characters[i + 1], bigram);
      document.add_posting(bigram, position);
    }
  }
}

std::vector<std::string> Bigrams(const std::string& spelling) {
  const std::vector<uint32_t> characters = DecodeUtf8(spelling);
  std::vector<std::string> bigrams;
  for (size_t i = 0; i + 1 < characters.size(); ++i) {
    std::string bigram;
    AppendUtf8(characters[i], bigram);
    AppendUtf8(characters[i + 1], bigram);
    bigrams.push_back(bigram);
  }
  return bigrams;
}

Xapian::Query KeywordQuery(const Keyword& keyword) {
  std::vector<Xapian::Query> spellings;
  for (const std::string& spelling : keyword.Spellings(kMaxSpellings)) {
    if (keyword.terms.size() <= 2) {
      spellings.emplace_back(spelling);
    } else {
      const std::vector<std::string> bigrams = Bigrams(spelling);
      spellings.emplace_back(Xapian::Query::OP_PHRASE, bigrams.begin(), bigrams.end(), bigrams.size());
    }
  }
  return Xapian::Query(Xapian::Query::OP_OR, spellings.begin(), spellings.end());
}

Xapian::Query QueryOf(const Query& query) {
  std::vector<Xapian::Query> keywords;
  for (const Keyword& keyword : query.keywords) keywords.push_back(KeywordQuery(keyword));
  return Xapian::Query(query.isAnd ? Xapian::Query::OP_AND : Xapian::Query::OP_OR, keywords.begin(), keywords.end());
}

}  // namespace

bool XapianPeer::Reuse(size_t pageCount) {
  std::ifstream stamp(m_strDirectory / kStampName);
  size_t pages = 0;
  double seconds = -1;
  if (!m_bReuse || !(stamp >> pages >> seconds) || pages != pageCount) return false;
  m_db = std::make_unique<Xapian::Database>(m_strDirectory.string());
  m_nRecordedSeconds = seconds;
  return true;
}

bool XapianPeer::Build(const std::vector<std::string>& pages, std::string& error) {
  try {
    if (Reuse(pages.size())) return true;
    const auto start = std::chrono::steady_clock::now();
    std::filesystem::remove_all(m_strDirectory);
    {
      Xapian::WritableDatabase writable(m_strDirectory.string(), Xapian::DB_CREATE_OR_OVERWRITE);
      for (const std::string& page : pages) {
        Xapian::Document document;
        IndexPage(page, document);
        writable.add_document(document);  // document n + 1 is page n
      }
      writable.commit();
      writable.close();
    }
    m_db = std::make_unique<Xapian::Database>(m_strDirectory.string());
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    std::ofstream(m_strDirectory / kStampName) << pages.size() << ' ' << seconds.count() << '\n';
    return true;
  } catch (const Xapian::Error& e) {
    error = e.get_description();
    return false;
  }
}

uint64_t XapianPeer::IndexBytes() const {
  uint64_t bytes = 0;
  for (const auto& entry : std::filesystem::directory_iterator(m_strDirectory)) {
    if (entry.path().filename() != kStampName) bytes += entry.file_size();
  }
  return bytes;
}

std::string XapianPeer::Unsupported(const Query& query) const {
  for (const Keyword& keyword : query.keywords) {
    if (!keyword.Literal()) return "no exact form for \"?\" and \"*\"";
    if (keyword.Spellings(kMaxSpellings).empty()) return "too many variant spellings";
  }
  return {};
}

std::string XapianPeer::Expression(const Query& query) const { return QueryOf(query).get_description(); }

Xapian::MSet XapianPeer::Match(const Query& query) {
  Xapian::Enquire enquire(*m_db);
  enquire.set_query(QueryOf(query));
  enquire.set_weighting_scheme(Xapian::BoolWeight());
  enquire.set_docid_order(Xapian::Enquire::ASCENDING);
  return enquire.get_mset(0, m_db->get_doccount());
}

Summary XapianPeer::Search(const Query& query) { return {Match(query).size(), kUnknownHits}; }

std::vector<PageHits> XapianPeer::Check(const Query& query) {
  // Hits where every keyword is a single term: the terms' within-page
  // frequencies.
  bool counted = true;
  std::map<Xapian::docid, int64_t> hits;
  for (const Keyword& keyword : query.keywords) {
    counted = counted && keyword.terms.size() <= 2;
    if (!counted) break;
    for (const std::string& spelling : keyword.Spellings(kMaxSpellings)) {
      for (auto posting = m_db->postlist_begin(spelling); posting != m_db->postlist_end(spelling); ++posting) {
        hits[*posting] += posting.get_wdf();
      }
    }
  }
  std::vector<PageHits> result;
  const Xapian::MSet matches = Match(query);
  for (auto match = matches.begin(); match != matches.end(); ++match) {
    result.push_back({*match - 1, counted ? hits[*match] : kUnknownHits});
  }
  return result;
}

}  // namespace compare
