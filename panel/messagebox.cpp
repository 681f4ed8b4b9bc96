#include "panel/messagebox.h"

#include <QApplication>
#include <QMessageBox>
#include <utility>

namespace {

// Everything runs on the user-interface thread, so one pointer suffices.
CWarningRecorder* g_pRecorder = nullptr;

std::function<void()>& BeforeWarningBox() {
  static std::function<void()> hook;
  return hook;
}

}  // namespace

CWarningRecorder::CWarningRecorder() : m_pOuter(g_pRecorder) { g_pRecorder = this; }

CWarningRecorder::~CWarningRecorder() { g_pRecorder = m_pOuter; }

void ShowWarning(const std::string& message) {
  if (g_pRecorder != nullptr) {
    g_pRecorder->messages.push_back(message);
    return;
  }
  if (const std::function<void()>& hook = BeforeWarningBox()) hook();
  // The window that was active may just have been closed by the hook (the
  // splash deletes itself once closed, and would take the box with it).
  QWidget* parent = QApplication::activeWindow();
  if (parent != nullptr && !parent->isVisible()) parent = nullptr;
  QMessageBox::warning(parent, QCoreApplication::applicationName(), QString::fromStdString(message),
                       QMessageBox::Ok);
}

void SetBeforeWarningBox(std::function<void()> hook) { BeforeWarningBox() = std::move(hook); }
