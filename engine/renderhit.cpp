#include <string>

#include "corpus/render.h"
#include "engine/index.h"
#include "engine/variantexpand.h"

namespace {

// Up to this many keyword forms, every form gets a pass of its own, as
// the joined variant text would give them. Beyond it, each keyword gets
// one pass that accepts every form of its characters at once, so that a
// long keyword or a pasted sentence renders in one pass per keyword.
constexpr size_t kMaxSeparateForms = 128;

}  // namespace

int CIndex::RenderHit(uint32_t page, std::string& output, std::u16string_view keywords, DisplayCode displayCode,
                      bool variants) {
  if (!variants) return m_fileList.RenderPage(page, output, keywords, displayCode);

  VariantExpansion expansion = ExpandVariants(m_variantGroups, keywords, kMaxSeparateForms);
  if (expansion.complete) {
    std::u16string joined;
    for (const std::u16string& keyword : expansion.keywords) {
      if (!joined.empty()) joined += u' ';
      joined += keyword;
    }
    return m_fileList.RenderPage(page, output, joined, displayCode);
  }

  std::string pageText;
  std::string storedName;
  if (!m_fileList.ReadPageAndName(page, pageText, storedName)) return 0;
  std::vector<Pattern> patterns;
  for (const std::vector<KeywordAtom>& atoms : FoldedKeywords(m_variantGroups, keywords)) {
    patterns.push_back(CompileAtoms(atoms));
  }
  return RenderPatterns(pageText, storedName, patterns, displayCode, output);
}
