#include "panel/panelwindow.h"

CPanelWindow::CPanelWindow(const CLeftForm::Places& places, QWidget* parent)
    : QSplitter(Qt::Horizontal, parent), m_pForm(new CLeftForm(places)), m_pView(new CCodexaView) {
  addWidget(m_pForm);
  addWidget(m_pView);
  m_pForm->SetTextView(m_pView);
  setStretchFactor(1, 1);
  setSizes({260, 764});
  resize(1024, 700);
}
