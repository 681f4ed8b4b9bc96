// A one-line progress bar on standard error, drawn only when standard error
// is a terminal, so logs and pipes get the summary alone.
#ifndef CODEXA_TOOLS_BUILD_PROGRESS_H_
#define CODEXA_TOOLS_BUILD_PROGRESS_H_

#include <chrono>
#include <cstdint>
#include <string>

namespace codexa::build {

// 1234567 -> "1,234,567", for figures printed on the terminal.
std::string Grouped(uint64_t n);

class Progress {
 public:
  Progress();
  ~Progress();
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  // Starts a phase of `total` units.
  void Start(std::string label, uint64_t total);
  // `done` units of the phase are done; redraws at most ten times a second.
  void Update(uint64_t done);
  // Ends the line of the bar.
  void Finish();

 private:
  void Draw(uint64_t done);
  bool m_bEnabled;
  bool m_bDrawn = false;
  std::string m_strLabel;
  uint64_t m_nTotal = 0;
  std::chrono::steady_clock::time_point m_lastDraw;
};

}  // namespace codexa::build

#endif  // CODEXA_TOOLS_BUILD_PROGRESS_H_
