// The script the text view puts into every page it loads. The page files
// stay byte for byte as the renderer wrote them; whatever the reader adds
// to their look and placement comes from here, into the loaded document
// only:
//
// - Every page starts at its top, or at the anchor its fragment names,
//   however it was reached. The engine otherwise keeps the scroll offset
//   when a page file is loaded again under the same name (every contents
//   page is the same file), and restores it after the load.
// - An anchor is scrolled to with a few lines before it still in view
//   (`scroll-margin-block-start`), so the title and author above a hit show.
// - Vertical writing: the whole document is laid out `vertical-rl`,
//   columns from right to left; the page then scrolls sideways and its
//   start is at the right. Placing at an anchor works by logical sides, so
//   the same code serves both writings.
// - Private-use characters, which no font has a glyph for, are framed and
//   named by their code point in a tool tip (see MarkPrivateUse below).
#ifndef CODEXA_VIEW_PAGESCRIPT_H_
#define CODEXA_VIEW_PAGESCRIPT_H_

#include <QString>

// How far before an anchor the view stops, in lines of the page's text.
inline constexpr double kLinesBeforeAnchor = 3;

// The source of the script, for pages laid out vertically or not. It
// defines, in the page, codexaPlace() (to the top or to the fragment's
// anchor) and codexaSetVertical(on).
QString PageScriptSource(bool vertical);

// A call that switches the loaded page's writing and places it again.
QString SetVerticalCall(bool vertical);

#endif  // CODEXA_VIEW_PAGESCRIPT_H_
