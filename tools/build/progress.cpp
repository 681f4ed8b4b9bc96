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

Progress::Progress() : enabled_(::isatty(STDERR_FILENO) == 1) {}

Progress::~Progress() { Finish(); }

void Progress::Start(std::string label, uint64_t total) {
  Finish();
  label_ = std::move(label);
  total_ = total;
  lastDraw_ = {};
  Update(0);
}

void Progress::Update(uint64_t done) {
  if (!enabled_) return;
  const auto now = std::chrono::steady_clock::now();
  if (drawn_ && done < total_ && now - lastDraw_ < kRedrawInterval) return;
  lastDraw_ = now;
  Draw(done);
}

void Progress::Draw(uint64_t done) {
  const double fraction = total_ == 0 ? 1.0 : std::min(1.0, static_cast<double>(done) / static_cast<double>(total_));
  const int filled = static_cast<int>(fraction * kBarWidth);
  std::string bar(static_cast<size_t>(filled), '#');
  bar.append(static_cast<size_t>(kBarWidth - filled), '.');
  std::fprintf(stderr, "\r%-10s [%s] %3d%%", label_.c_str(), bar.c_str(), static_cast<int>(fraction * 100));
  std::fflush(stderr);
  drawn_ = true;
}

void Progress::Finish() {
  if (!drawn_) return;
  Draw(total_);
  std::fputc('\n', stderr);
  drawn_ = false;
}

}  // namespace codexa::build
