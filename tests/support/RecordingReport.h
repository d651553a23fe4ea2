#pragma once
// A failure report that keeps every message it is given, in order.

#include <string>
#include <string_view>
#include <vector>

#include "core/protocol/SensorLink.h"

namespace drq::test {

class RecordingReport final : public FailureReport {
 public:
  void linkFailed(std::string_view message) override { messages.emplace_back(message); }
  std::vector<std::string> messages;
};

}  // namespace drq::test
