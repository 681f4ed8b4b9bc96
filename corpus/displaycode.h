// Which runs of a page's highlighted cell the renderer marks hits in. The
// reader keeps one per search target (engine/searchtarget.h pairs them);
// the numbers are those the reader's settings and tests have always used.
#ifndef CODEXA_CORPUS_DISPLAYCODE_H_
#define CODEXA_CORPUS_DISPLAYCODE_H_

enum class DisplayCode : int {
  kFullText = 0,     // every run
  kMainText = 1,     // main-text runs only
  kAnnotations = 2,  // annotation runs only
};
// Any other value marks nothing: the renderer is handed numbers from
// outside (fuzzers, old callers) and answers them with zero anchors.

#endif  // CODEXA_CORPUS_DISPLAYCODE_H_
