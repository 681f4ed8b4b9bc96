#include "engine/searchtarget.h"

const TargetInfo& TargetInfoOf(SearchTarget target) {
  for (const TargetInfo& info : kTargets) {
    if (info.target == target) return info;
  }
  return kTargets[0];
}

const TargetInfo* TargetInfoOf(DisplayCode display) {
  for (const TargetInfo& info : kTargets) {
    if (info.display == display) return &info;
  }
  return nullptr;
}

const TargetInfo* FindTargetByName(std::string_view name) {
  for (const TargetInfo& info : kTargets) {
    if (info.commandName == name) return &info;
  }
  return nullptr;
}
