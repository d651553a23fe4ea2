#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <optional>
#include <vector>

#include "core/Session.h"
#include "core/protocol/Frame.h"
#include "core/teach/GraphTeach.h"
#include "support/FakeTransport.h"
#include "support/RecordingReport.h"

namespace drq {
namespace {

using test::FakeClock;
using test::FakeTransport;
using test::RecordingReport;
using Bytes = std::vector<std::uint8_t>;
using V = GraphTeachView;

TEST(GraphTeachSamples, FirstExactMatchOfTheViewElseSampleZero) {
  GraphTeachSamples s;
  s.store({100, 200, 900});
  s.store({300, 400, 500});
  s.store({300, 400, 700});  // same X and Y as sample 1
  s.store({100, 250, 500});
  EXPECT_EQ(s.findSample(V::XY, {300, 400}), 1u);  // the earlier one
  EXPECT_EQ(s[s.findSample(V::XY, {300, 400})].intensity, 500);
  EXPECT_EQ(s.findSample(V::XInt, {300, 700}), 2u);
  EXPECT_EQ(s.findSample(V::YInt, {250, 500}), 3u);
  EXPECT_EQ(s.findSample(V::XY, {300, 401}), 0u);  // no match
  EXPECT_EQ(s.findSample(V::XInt, {100, 200}), 0u);

  // After Reset nothing is recorded: every search answers sample 0.
  s.reset();
  EXPECT_EQ(s.count(), 0u);
  EXPECT_EQ(s.findSample(V::XY, {300, 400}), 0u);
  EXPECT_EQ(s[1], (GraphSample{300, 400, 500}));  // the entries stay
}

TEST(GraphTeachSamples, NearestSampleInPixelUnitsWithTheEarlierWinningTies) {
  GraphTeachSamples s;
  EXPECT_FALSE(s.nearestSample(V::XY, {0, 0}, 1, 1).has_value());
  s.store({100, 100, 0});
  s.store({110, 100, 0});
  s.store({110, 100, 50});  // same X/Y as sample 1
  s.store({100, 130, 0});
  EXPECT_EQ(s.nearestSample(V::XY, {108, 101}, 1, 1), 1u);
  EXPECT_EQ(s.nearestSample(V::XY, {105, 100}, 1, 1), 0u);  // equally near 0 and 1
  // The units are a pixel's size on each axis: 10 units a pixel vertically
  // bring sample 1 nearer than sample 3.
  EXPECT_EQ(s.nearestSample(V::XY, {110, 125}, 1, 1), 3u);
  EXPECT_EQ(s.nearestSample(V::XY, {110, 125}, 1, 10), 1u);
  EXPECT_EQ(s.nearestSample(V::XInt, {111, 45}, 1, 1), 2u);
}

TEST(GraphTeachSamples, KeyStepsSkipRepeatsOfAPoint) {
  GraphTeachSamples s;
  s.store({1, 1, 0});
  s.store({2, 2, 0});
  s.store({1, 1, 5});  // repeats sample 0 in X/Y, not in X/INT
  s.store({3, 3, 0});
  EXPECT_EQ(s.stepSample(V::XY, 1, true), 3u);
  EXPECT_EQ(s.stepSample(V::XInt, 1, true), 2u);
  EXPECT_EQ(s.stepSample(V::XY, 3, false), 1u);
  EXPECT_EQ(s.stepSample(V::XY, 1, false), 0u);
  EXPECT_FALSE(s.stepSample(V::XY, 0, false).has_value());
  EXPECT_FALSE(s.stepSample(V::XY, 3, true).has_value());
}

// The definitions the index answers by, by passes over the samples: the
// first sample with the point of each sample, and the steps.
std::vector<std::size_t> firstOfEachPoint(const GraphTeachSamples& s, V view) {
  std::vector<std::size_t> first(s.count());
  for (std::size_t m = 0; m < s.count(); ++m) {
    first[m] = m;
    for (std::size_t k = 0; k < m; ++k) {
      if (projectSample(s[k], view) == projectSample(s[m], view)) {
        first[m] = k;
        break;
      }
    }
  }
  return first;
}

std::optional<std::size_t> stepByPass(const std::vector<std::size_t>& first, std::size_t from,
                                      bool forward) {
  if (forward) {
    for (std::size_t m = from + 1; m < first.size(); ++m) {
      if (first[m] == m) return m;
    }
    return std::nullopt;
  }
  for (std::size_t m = std::min(from, first.size()); m-- > 0;) {
    if (first[m] == m) return m;
  }
  return std::nullopt;
}

TEST(GraphTeachSamples, StepsAndSearchesMatchAPassOverTheSamples) {
  // Many repeats, more distinct points than the index's first table holds,
  // and a second recording after Reset over entries that stay.
  GraphTeachSamples s;
  std::uint32_t seed = 12345;
  const auto next = [&seed](std::uint32_t range) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<double>((seed >> 8) % range);
  };
  for (const std::uint32_t range : {7u, 60u}) {
    s.reset();
    for (int k = 0; k < 3000; ++k) s.store({next(range), next(range), next(5)});
    for (int v = 0; v < kGraphTeachViews; ++v) {
      const auto view = static_cast<V>(v);
      const std::vector<std::size_t> first = firstOfEachPoint(s, view);
      for (std::size_t from = 0; from <= s.count(); ++from) {
        ASSERT_EQ(s.stepSample(view, from, true), stepByPass(first, from, true)) << from;
        ASSERT_EQ(s.stepSample(view, from, false), stepByPass(first, from, false)) << from;
        if (from < s.count()) {
          ASSERT_EQ(s.findSample(view, projectSample(s[from], view)), first[from]) << from;
        }
      }
    }
  }
  EXPECT_FALSE(s.stepSample(V::XY, kGraphTeachSamples, true).has_value());
}

TEST(GraphTeachSamples, ZeroAndMinusZeroAreOnePointAndNaNMatchesNothing) {
  GraphTeachSamples s;
  s.store({0.0, 5, 1});
  s.store({-0.0, 5, 2});
  s.store({std::nan(""), 5, 3});
  s.store({std::nan(""), 5, 4});
  EXPECT_EQ(s.findSample(V::XY, {-0.0, 5}), 0u);
  EXPECT_EQ(s.stepSample(V::XY, 0, true), 2u);  // sample 1 repeats sample 0
  EXPECT_EQ(s.stepSample(V::XY, 2, true), 3u);  // NaN equals nothing
  EXPECT_EQ(s.findSample(V::XY, {std::nan(""), 5}), 0u);
}

TEST(GraphTeachSamples, TheTableHoldsExactly60000) {
  GraphTeachSamples s;
  for (std::size_t k = 0; k < kGraphTeachSamples; ++k) {
    ASSERT_TRUE(s.store({static_cast<double>(k % 1000), 1, 2}));
  }
  EXPECT_TRUE(s.full());
  EXPECT_FALSE(s.store({5, 5, 5}));
  EXPECT_EQ(s.count(), kGraphTeachSamples);
  EXPECT_EQ(s[kGraphTeachSamples - 1].x, 999);
}

TEST(GraphTeachSamples, ViewsFrameTheRecordedSamplesAndTheCursor) {
  GraphTeachSamples s;
  // Nothing recorded: the cursor alone, with the margin.
  EXPECT_EQ(frameGraphTeachView(s, V::XY, {500, 600}), (ViewRanges{{475, 525}, {575, 625}}));
  s.store({300, 500, 1000});
  s.store({600, 560, 1200});
  // X 300..600 (centre 450), Y 500..560 (centre 530), half 150.
  EXPECT_EQ(frameGraphTeachView(s, V::XY, {300, 500}), (ViewRanges{{275, 625}, {355, 705}}));
  // Y/INT: Y 500..560, INT 1000..1200 (span 200, centre 1100), half 100.
  EXPECT_EQ(frameGraphTeachView(s, V::YInt, {500, 1000}), (ViewRanges{{405, 655}, {975, 1225}}));
  s.reset();
  EXPECT_FALSE(s.bounds().has_value());
  s.store({10, 20, 30});
  EXPECT_EQ(s.bounds()->at(0), (BoundPair{10, 10}));  // earlier samples no longer count
}

TEST(GraphTeachSamples, ViewsMoveOnlyWhenTheSamplesLeaveThem) {
  const ViewRanges current{{0, 100}, {50, 150}};
  EXPECT_EQ(followGraphTeachView(current, {{10, 90}, {50, 150}}), current);
  // X leaves the view: both axes follow, a fifth of the length wider.
  EXPECT_EQ(followGraphTeachView(current, {{10, 110}, {60, 160}}),
            (ViewRanges{{-10, 130}, {40, 180}}));
}

// --- The recording loop --------------------------------------------------------------

LiveFrame sampleFrame(std::int16_t x, std::int16_t y, std::int16_t intensity) {
  LiveFrame f;
  f[FrameWord::Red] = 1600;
  f[FrameWord::X] = x;
  f[FrameWord::Y] = y;
  f[FrameWord::Int] = intensity;
  return f;
}

Bytes dataAnswer(const LiveFrame& f) {
  const auto image = encodeLiveFrame(f);
  return buildFrame(ORDER_GET_DATA, 0, image);
}

class RecordingHooks final : public GraphTeachHooks {
 public:
  explicit RecordingHooks(Session& s) : session(s) {}
  void sampleRecorded(std::size_t index) override {
    indices.push_back(index);
    shownX.push_back(session.CurrentFrame[FrameWord::X]);
    if (indices.size() == stopAfter) session.RunFlag.clear();
  }
  Session& session;
  std::vector<std::size_t> indices;
  std::vector<int> shownX;
  std::size_t stopAfter = 0;
};

class GraphTeachLoop : public ::testing::Test {
 protected:
  GraphTeachLoop() : hooks(session) {
    auto t = std::make_unique<FakeTransport>(clock, TransportKind::Tcp);
    fake = t.get();
    session.link.setTransport(std::move(t));
    session.link.setFailureReport(&report);
    session.link.state().linkUp = true;
  }
  FakeClock clock;
  Session session;
  RecordingReport report;
  FakeTransport* fake = nullptr;
  RecordingHooks hooks;
  GraphTeachSamples samples;
};

TEST_F(GraphTeachLoop, RecordsSamplesWithoutTouchingTheLiveStateOrThePendingRequests) {
  session.live.ColorPatch = 0x123456;
  session.pendingSend = true;
  hooks.stopAfter = 2;
  fake->answerNext().send(dataAnswer(sampleFrame(300, 400, 500)));
  fake->answerNext().send(dataAnswer(sampleFrame(310, 410, 510)));
  EXPECT_EQ(GetDataTP2(session, samples, hooks), 2u);
  EXPECT_EQ(hooks.indices, (std::vector<std::size_t>{0, 1}));
  EXPECT_EQ(hooks.shownX, (std::vector<int>{300, 310}));
  EXPECT_EQ(samples[1], (GraphSample{310, 410, 510}));
  EXPECT_EQ(session.CurrentFrame, sampleFrame(310, 410, 510));
  EXPECT_EQ(session.live.ColorPatch, 0x123456u);  // the colour of the last live frame
  EXPECT_EQ(session.live.XWindow.newest(), 0.0);
  EXPECT_TRUE(session.pendingSend);
  EXPECT_EQ(fake->written().size(), 2u);
  EXPECT_FALSE(session.RunFlag.isSet());

  // A new Start continues counting.
  hooks.stopAfter = 3;
  fake->answerNext().send(dataAnswer(sampleFrame(320, 0, 0)));
  GetDataTP2(session, samples, hooks);
  EXPECT_EQ(hooks.indices.back(), 2u);
}

TEST_F(GraphTeachLoop, StopsByItselfAt60000AndNeverExchangesWhenFull) {
  for (std::size_t k = 0; k + 2 < kGraphTeachSamples; ++k) samples.store({1, 1, 1});
  for (int k = 0; k < 3; ++k) fake->answerNext().send(dataAnswer(sampleFrame(7, 7, 7)));
  EXPECT_EQ(GetDataTP2(session, samples, hooks), 2u);
  EXPECT_EQ(samples.count(), kGraphTeachSamples);
  EXPECT_EQ(hooks.indices, (std::vector<std::size_t>{59998, 59999}));
  EXPECT_EQ(fake->written().size(), 2u);
  EXPECT_FALSE(session.RunFlag.isSet());

  EXPECT_EQ(GetDataTP2(session, samples, hooks), 0u);
  EXPECT_EQ(fake->written().size(), 2u);
  EXPECT_EQ(samples.count(), kGraphTeachSamples);
}

TEST_F(GraphTeachLoop, AFailedExchangeEndsTheRecordingAndKeepsTheSamples) {
  fake->answerNext().send(dataAnswer(sampleFrame(300, 400, 500)));
  Bytes corrupt = dataAnswer(sampleFrame(1, 1, 1));
  corrupt[7] ^= 0x01;
  fake->answerNext().send(corrupt);
  EXPECT_EQ(GetDataTP2(session, samples, hooks), 1u);
  EXPECT_EQ(samples.count(), 1u);
  EXPECT_EQ(report.messages.size(), 1u);
  EXPECT_FALSE(session.RunFlag.isSet());
  EXPECT_EQ(session.CurrentFrame, sampleFrame(300, 400, 500));
}

}  // namespace
}  // namespace drq
