#include "panel/messagebox.h"

#include <QApplication>
#include <QMessageBox>

namespace {

// Everything runs on the user-interface thread, so one pointer suffices.
CWarningRecorder* g_pRecorder = nullptr;

}  // namespace

CWarningRecorder::CWarningRecorder() : m_pOuter(g_pRecorder) { g_pRecorder = this; }

CWarningRecorder::~CWarningRecorder() { g_pRecorder = m_pOuter; }

void ShowWarning(const std::string& message) {
  if (g_pRecorder != nullptr) {
    g_pRecorder->messages.push_back(message);
    return;
  }
  QMessageBox::warning(QApplication::activeWindow(), QGuiApplication::applicationDisplayName(),
                       QString::fromStdString(message), QMessageBox::Ok);
}
