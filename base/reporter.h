// How the core library tells the user about a failure. The core has no user
// interface of its own: the reader installs a reporter that shows a message
// box, the command-line tools one that writes to standard error.
#ifndef CODEXA_BASE_REPORTER_H_
#define CODEXA_BASE_REPORTER_H_

#include <string>

class CReporter {
 public:
  virtual ~CReporter() = default;
  // `message` is UTF-8 text meant for the user, such as
  // "データを開けませんでした。".
  virtual void Warn(const std::string& message) = 0;
};

// The reporter that receives the core's messages. Until one is installed,
// messages go to standard error.
CReporter& CurrentReporter();

// Installs `reporter` (not owned; it must outlive its use) and returns the
// previous one. nullptr restores the standard-error reporter.
CReporter* SetReporter(CReporter* reporter);

#endif  // CODEXA_BASE_REPORTER_H_
