// Puts the sheets the web engine laid out for a printer onto that printer.
//
// The engine lays a page out as a PDF whose every page is a whole sheet of
// the printer's paper, with the printer's margins already left free around
// the text. Its own printing then draws each such sheet into the printer's
// printable area as though the sheet were only that area, which enlarges
// it from the margin on: with margins wider than a few points the foot of
// every sheet runs off the paper, and the lines just before each sheet
// break are not printed at all. Here each sheet covers the whole paper,
// where it was laid out, so the margins are exactly those the user set.
//
// Like the engine's own printing, each sheet goes to the printer as an
// image, rendered at the printer's resolution up to kMaxSheetDpi.
#ifndef CODEXA_VIEW_SHEETPRINTER_H_
#define CODEXA_VIEW_SHEETPRINTER_H_

#include <QByteArray>

class QPrinter;

// Finer than any printer resolves text at reading size; a sheet of A4 at
// this resolution is an image of about 140 MB.
inline constexpr int kMaxSheetDpi = 600;

// Prints every page of `pdf` on `printer` as a sheet: in the printer's
// page order, each copy the device does not make itself, collated as the
// printer says. False when `pdf` holds no page or the printer cannot be
// painted on; then nothing, or only part of the job, was printed.
bool PrintSheets(const QByteArray& pdf, QPrinter& printer);

#endif  // CODEXA_VIEW_SHEETPRINTER_H_
