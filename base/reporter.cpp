#include "base/reporter.h"

#include <cstdio>

namespace {

class CStderrReporter : public CReporter {
 public:
  void Warn(const std::string& message) override {
    std::fprintf(stderr, "%s\n", message.c_str());
    std::fflush(stderr);
  }
};

CStderrReporter g_stderrReporter;
CReporter* g_reporter = &g_stderrReporter;

}  // namespace

CReporter& CurrentReporter() { return *g_reporter; }

CReporter* SetReporter(CReporter* reporter) {
  CReporter* previous = g_reporter;
  g_reporter = reporter != nullptr ? reporter : &g_stderrReporter;
  return previous;
}
