#include "view/textsize.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <iterator>

namespace {

// Each step about a tenth to a fifth apart, as reading glasses go.
constexpr std::array<int, 13> kSteps = {50, 67, 75, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300};

int IndexOfNearest(int percent) {
  const auto nearest = std::min_element(kSteps.begin(), kSteps.end(), [percent](int a, int b) {
    return std::abs(int64_t{a} - percent) < std::abs(int64_t{b} - percent);
  });
  return static_cast<int>(std::distance(kSteps.begin(), nearest));
}

}  // namespace

int StepTextSize(int percent, int steps) {
  const int last = static_cast<int>(kSteps.size()) - 1;
  return kSteps[std::clamp(IndexOfNearest(percent) + std::clamp(steps, -last, last), 0, last)];
}

int TextSizeOfSetting(const QVariant& value) {
  bool ok = false;
  const int percent = value.toInt(&ok);
  return ok ? kSteps[IndexOfNearest(percent)] : kStandardTextSize;
}
