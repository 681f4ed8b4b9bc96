// The text view's text size: a zoom of the whole page in fixed steps, as
// the 表示 menu's larger, smaller and standard commands and Ctrl+wheel move
// it. Kept in the settings as a percentage; a stored value that is no step
// (a damaged or hand-edited setting) is read as the nearest step, and one
// that is no number as the standard size.
#ifndef CODEXA_VIEW_TEXTSIZE_H_
#define CODEXA_VIEW_TEXTSIZE_H_

#include <QVariant>

inline constexpr int kStandardTextSize = 100;  // percent

// The size `steps` steps above `percent` (below for a negative count), held
// to the smallest and largest step.
int StepTextSize(int percent, int steps);

// The step nearest to the stored `value`; the standard size when it is
// not a number.
int TextSizeOfSetting(const QVariant& value);

#endif  // CODEXA_VIEW_TEXTSIZE_H_
