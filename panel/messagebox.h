// The reader's way of telling the user about a failure: one modal warning
// box with an OK button, captioned with the application title. The core
// only answers false and names its messages (kOpenFailedMessage, ...); the
// form, the frame and the start-up show them here.
//
// A test or a benchmark cannot click boxes away: while a CWarningRecorder
// lives, warnings are recorded in it instead of shown.
#ifndef CODEXA_PANEL_MESSAGEBOX_H_
#define CODEXA_PANEL_MESSAGEBOX_H_

#include <string>
#include <vector>

// Shows `message` (UTF-8), or records it in the innermost live recorder.
void ShowWarning(const std::string& message);

class CWarningRecorder {
 public:
  CWarningRecorder();
  ~CWarningRecorder();
  CWarningRecorder(const CWarningRecorder&) = delete;
  CWarningRecorder& operator=(const CWarningRecorder&) = delete;

  std::vector<std::string> messages;  // in the order they were shown

 private:
  CWarningRecorder* m_pOuter;  // the recorder this one stands in for, restored on destruction
};

#endif  // CODEXA_PANEL_MESSAGEBOX_H_
