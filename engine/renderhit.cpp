#include <string>

#include "corpus/kwic.h"
#include "corpus/render.h"
#include "engine/index.h"
#include "engine/indexstate.h"
#include "engine/variantexpand.h"

namespace {

// Up to this many keyword forms, every form gets a pass of its own, as
// the joined variant text would give them. Beyond it, each keyword gets
// one pass that accepts every form of its characters at once, so that a
// long keyword or a pasted sentence renders in one pass per keyword.
constexpr size_t kMaxSeparateForms = 128;

// The patterns a hit page is marked with: the keywords as typed, or with
// their variant forms.
std::vector<Pattern> HitPatterns(const CVariantTable& variantGroups, std::u16string_view keywords, bool variants) {
  if (!variants) return KeywordPatterns(keywords);
  VariantExpansion expansion = ExpandVariants(variantGroups, keywords, kMaxSeparateForms);
  if (expansion.complete) {
    std::u16string joined;
    for (const std::u16string& keyword : expansion.keywords) {
      if (!joined.empty()) joined += u' ';
      joined += keyword;
    }
    return KeywordPatterns(joined);
  }
  std::vector<Pattern> patterns;
  for (const std::vector<KeywordAtom>& atoms : FoldedKeywords(variantGroups, keywords)) {
    patterns.push_back(CompileAtoms(atoms));
  }
  return patterns;
}

}  // namespace

int CIndex::RenderHit(uint32_t page, std::string& output, std::u16string_view keywords, DisplayCode displayCode,
                      bool variants) {
  std::string pageText;
  std::string storedName;
  // An unreadable page (closed, beyond the entries, outside the text file)
  // renders nothing rather than a frame around garbage.
  if (!m_pState->m_fileList.ReadPageAndName(page, pageText, storedName)) return 0;
  return RenderPatterns(pageText, storedName, HitPatterns(m_pState->m_variantGroups, keywords, variants),
                        displayCode, output);
}

bool CIndex::FindOccurrences(uint32_t page, std::u16string_view keywords, DisplayCode displayCode, bool variants,
                             std::size_t context, std::vector<KwicLine>& lines) {
  lines.clear();
  std::string pageText;
  std::string storedName;
  if (!m_pState->m_fileList.ReadPageAndName(page, pageText, storedName)) return false;
  lines = PageOccurrences(pageText, storedName, HitPatterns(m_pState->m_variantGroups, keywords, variants),
                          displayCode, context);
  return true;
}
