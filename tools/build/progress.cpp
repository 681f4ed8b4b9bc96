#include "tools/build/progress.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace codexa::build {

namespace {
constexpr int kBarWidth = 40;
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
}  // namespace

std::string Grouped(uint64_t n) {
  const std::string digits = std::to_string(n);
  std::string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

Progress::Progress() : m_bEnabled(::isatty(STDERR_FILENO) == 1) {}

Progress::~Progress() { Finish(); }

void Progress::Start(std::string label, uint64_t total) {
  Finish();
  m_strLabel = std::move(label);
  m_nTotal = total;
  m_lastDraw = {};
  Update(0);
}

void Progress::Update(uint64_t done) {
  if (!m_bEnabled) return;
  const auto now = std::chrono::steady_clock::now();
  if (m_bDrawn && done < m_nTotal && now - m_lastDraw < kRedrawInterval) return;
  m_lastDraw = now;
  Draw(done);
}

void Progress::Draw(uint64_t done) {
  const double fraction = m_nTotal == 0 ? 1.0 : std::min(1.0, static_cast<double>(done) / static_cast<double>(m_nTotal));
  const int filled = static_cast<int>(fraction * kBarWidth);
  std::string bar(static_cast<size_t>(filled), '#');
  bar.append(static_cast<size_t>(kBarWidth - filled), '.');
  std::fprintf(stderr, "\r%-10s [%s] %3d%%", m_strLabel.c_str(), bar.c_str(), static_cast<int>(fraction * 100));
  std::fflush(stderr);
  m_bDrawn = true;
}

void Progress::Finish() {
  if (!m_bDrawn) return;
  Draw(m_nTotal);
  std::fputc('\n', stderr);
  m_bDrawn = false;
}

}  // namespace codexa::build
