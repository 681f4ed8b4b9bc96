// A plain window that holds the left form beside the text view, the form
// 260 pixels wide. The reader's main frame takes the two panes over; tests
// and the panel demo use this window as it is.
#ifndef CODEXA_PANEL_PANELWINDOW_H_
#define CODEXA_PANEL_PANELWINDOW_H_

#include <QSplitter>

#include "view/codexaview.h"
#include "panel/leftform.h"

class CPanelWindow : public QSplitter {
  Q_OBJECT
 public:
  explicit CPanelWindow(const CLeftForm::Places& places = CLeftForm::Places::Default(), QWidget* parent = nullptr);

  CLeftForm* form() const { return m_pForm; }
  CCodexaView* view() const { return m_pView; }

 private:
  CLeftForm* m_pForm;
  CCodexaView* m_pView;
};

#endif  // CODEXA_PANEL_PANELWINDOW_H_
