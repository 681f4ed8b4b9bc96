// The default corpus: the "chinese-poetry" package mapped into the four
// traditional divisions, in catalogue order (there is no history in the
// package, so 史部 is left out):
//
//   經部  詩經 (a volume per 國風/雅/頌 section), 論語 and 孟子 (a volume per
//         chapter), 大學, 中庸
//   子部  the primers of mengxue (三字經 … 古文觀止, volumes after their own
//         divisions), 幽夢影 (an entry per page)
//   集部  楚辭, 曹操詩集, 御定全唐詩 (its 900 卷), 全唐詩 and 全宋詩 (a volume
//         per file of the package, 第一冊 …), 宋詞 (likewise), 五代詩詞
//         (花間集 and 南唐二主詞), 元曲 (a thousand pieces a volume), 納蘭性德,
//         水墨唐詩
//
// A poem or chapter is one piece: its title as heading, the author and any
// prologue as annotations, the text (its bracketed inline notes such as
// "（一作「東風細雨」）" become annotations), then its notes and comments as
// annotations. An author's biography is an annotation on the first piece
// of each run of that author's pieces in a volume. A page holds as many
// consecutive pieces of a volume as fit its budget (see pagelayout.h).
// Left out: rank and strains (figures, not text), quantangshi/error
// (records the package marks as faulty), the duplicate anthologies inside
// quantangshi and songci.
#ifndef CODEXA_TOOLS_BUILD_DEFAULTSOURCE_H_
#define CODEXA_TOOLS_BUILD_DEFAULTSOURCE_H_

#include <filesystem>

#include "tools/build/corpusbuilder.h"
#include "tools/build/progress.h"

namespace codexa::build {

// `package` is the unpacked package (holding "dist") or its "dist" folder.
// Throws BuildError for a missing or malformed file.
void ReadDefaultSource(const std::filesystem::path& package, CorpusBuilder& builder, Progress& progress);

}  // namespace codexa::build

#endif  // CODEXA_TOOLS_BUILD_DEFAULTSOURCE_H_
