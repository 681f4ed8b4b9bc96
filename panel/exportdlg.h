// Saving a result from the reader: asks for a file (CSV or TSV by the
// chosen filter or the name's ending; a name without an ending gets the
// chosen type's; the dialog asks before it overwrites), writes it whole
// or not at all (QSaveFile), and shows a progress dialog that can cancel
// a long concordance.
#ifndef CODEXA_PANEL_EXPORTDLG_H_
#define CODEXA_PANEL_EXPORTDLG_H_

#include <span>

#include "session/concordance.h"

class QWidget;

// The whole result list, every entry. Answers whether a file was written.
bool SaveResultList(QWidget* parent, std::span<const SearchNodeTag> entries);
// Every row of `concordance` in its present order.
bool SaveConcordance(QWidget* parent, CIndex& index, CConcordance& concordance);

#endif  // CODEXA_PANEL_EXPORTDLG_H_
