#include <string>

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

}  // namespace

int CIndex::RenderHit(uint32_t page, std::string& output, std::u16string_view keywords, DisplayCode displayCode,
                      bool variants) {
  CFileList& fileList = m_pState->m_fileList;
  const CVariantTable& variantGroups = m_pState->m_variantGroups;
  if (!variants) return fileList.RenderPage(page, output, keywords, displayCode);

  VariantExpansion expansion = ExpandVariants(variantGroups, keywords, kMaxSeparateForms);
  if (expansion.complete) {
    std::u16string joined;
    for (const std::u16string& keyword : expansion.keywords) {
      if (!joined.empty()) joined += u' ';
      joined += keyword;
    }
    return fileList.RenderPage(page, output, joined, displayCode);
  }

  std::string pageText;
  std::string storedName;
  if (!fileList.ReadPageAndName(page, pageText, storedName)) return 0;
  std::vector<Pattern> patterns;
  for (const std::vector<KeywordAtom>& atoms : FoldedKeywords(variantGroups, keywords)) {
    patterns.push_back(CompileAtoms(atoms));
  }
  return RenderPatterns(pageText, storedName, patterns, displayCode, output);
}
