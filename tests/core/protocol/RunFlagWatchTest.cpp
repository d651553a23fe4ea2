#include <gtest/gtest.h>

#include <optional>

#include "core/util/ObservableFlag.h"

namespace drq {
namespace {

// Waits watch RunFlag; a listener that ends another wait (unsubscribing it)
// must not have that wait's listener called afterwards.
TEST(RunFlagWatch, ListenersUnsubscribedDuringANotificationAreNotCalled) {
  ObservableFlag flag(1);
  int firstCalls = 0;
  int secondCalls = 0;
  std::optional<ObservableFlag::Subscription> second;
  const ObservableFlag& watched = flag;  // watching needs no write access
  auto first = watched.subscribe([&](std::uint16_t) {
    ++firstCalls;
    second.reset();
  });
  second.emplace(watched.subscribe([&](std::uint16_t) { ++secondCalls; }));
  flag.clear();
  EXPECT_EQ(firstCalls, 1);
  EXPECT_EQ(secondCalls, 0);
  flag.clear();  // no change, no call
  EXPECT_EQ(firstCalls, 1);
}

}  // namespace
}  // namespace drq
