#include "panel/messagebox.h"

#include <QApplication>
#include <QMessageBox>

void CMessageBoxReporter::Warn(const std::string& message) {
  QMessageBox::warning(QApplication::activeWindow(), QGuiApplication::applicationDisplayName(),
                       QString::fromStdString(message), QMessageBox::Ok);
}

void ShowWarning(const char* message) { CurrentReporter().Warn(message); }
