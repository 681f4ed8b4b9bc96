// The reader's way of telling the user about a failure: one modal warning
// box with an OK button, captioned with the application title. Installed as
// the current reporter (base/reporter.h), so the engine's messages and the
// form's own take the same road, and tests can put a recorder in its place.
#ifndef CODEXA_PANEL_MESSAGEBOX_H_
#define CODEXA_PANEL_MESSAGEBOX_H_

#include <string>

#include "base/reporter.h"

class CMessageBoxReporter : public CReporter {
 public:
  void Warn(const std::string& message) override;
};

// Shows `message` (UTF-8) through the current reporter.
void ShowWarning(const char* message);

#endif  // CODEXA_PANEL_MESSAGEBOX_H_
