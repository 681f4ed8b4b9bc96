// The reader's way of telling the user about a failure: one modal warning
// box with an OK button, captioned with the application title. The core
// only answers false and names its messages (kOpenFailedMessage, ...); the
// form, the frame and the start-up show them here.
//
// A test or a benchmark cannot click boxes away: while a CWarningRecorder
// lives, warnings are recorded in it instead of shown.
#ifndef CODEXA_PANEL_MESSAGEBOX_H_
#define CODEXA_PANEL_MESSAGEBOX_H_

#include <functional>
#include <string>
#include <vector>

// Shows `message` (UTF-8), or records it in the innermost live recorder.
// The box is captioned with the application's name.
void ShowWarning(const std::string& message);

// Sets what runs just before each box appears (not when a recorder takes
// the message): the shell closes its splash there, which would otherwise
// cover the box and take the clicks meant for it. An empty function runs
// nothing; the hook replaces any earlier one.
void SetBeforeWarningBox(std::function<void()> hook);

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
