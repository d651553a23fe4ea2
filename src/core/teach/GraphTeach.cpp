#include "core/teach/GraphTeach.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "core/protocol/Frame.h"

namespace drq {

namespace {

int boundValue(double value) {
  return static_cast<int>(std::lround(value));
}

void widen(BoundPair& bounds, double value, bool first) {
  const int v = boundValue(value);
  if (first) {
    bounds = {v, v};
    return;
  }
  bounds.low = std::min(bounds.low, v);
  bounds.high = std::max(bounds.high, v);
}

}  // namespace

ViewPoint projectSample(const GraphSample& sample, GraphTeachView view) {
  switch (view) {
    case GraphTeachView::XY:
      return {sample.x, sample.y};
    case GraphTeachView::XInt:
      return {sample.x, sample.intensity};
    case GraphTeachView::YInt:
      return {sample.y, sample.intensity};
  }
  return {sample.x, sample.y};
}

GraphSample sampleOf(const LiveFrame& frame) {
  return {static_cast<double>(frame[FrameWord::X]), static_cast<double>(frame[FrameWord::Y]),
          static_cast<double>(frame[FrameWord::Int])};
}

GraphTeachSamples::GraphTeachSamples() : entries_(kGraphTeachSamples) {}

bool GraphTeachSamples::store(const GraphSample& sample) {
  if (full()) return false;
  const bool first = count_ == 0;
  entries_[count_++] = sample;
  widen(bounds_[0], sample.x, first);
  widen(bounds_[1], sample.y, first);
  widen(bounds_[2], sample.intensity, first);
  return true;
}

void GraphTeachSamples::reset() {
  count_ = 0;
}

std::size_t GraphTeachSamples::findSample(GraphTeachView view, ViewPoint point) const {
  for (std::size_t k = 0; k < count_; ++k) {
    if (projectSample(entries_[k], view) == point) return k;
  }
  return 0;
}

std::optional<std::size_t> GraphTeachSamples::nearestSample(GraphTeachView view, ViewPoint point,
                                                            double unitA, double unitB) const {
  if (count_ == 0) return std::nullopt;
  const double ua = unitA > 0 ? unitA : 1.0;
  const double ub = unitB > 0 ? unitB : 1.0;
  std::size_t best = 0;
  double bestDistance = INFINITY;
  for (std::size_t k = 0; k < count_; ++k) {
    const ViewPoint p = projectSample(entries_[k], view);
    const double da = (p.a - point.a) / ua;
    const double db = (p.b - point.b) / ub;
    const double d = da * da + db * db;
    if (d < bestDistance) {  // strictly nearer: the earlier one keeps a tie
      bestDistance = d;
      best = k;
    }
  }
  return best;
}

std::optional<std::size_t> GraphTeachSamples::stepSample(GraphTeachView view, std::size_t from,
                                                         bool forward) const {
  using Key = std::pair<double, double>;
  const auto keyOf = [&](std::size_t k) {
    const ViewPoint p = projectSample(entries_[k], view);
    return Key{p.a, p.b};
  };
  if (forward) {
    std::set<Key> seen;
    for (std::size_t k = 0; k <= from && k < count_; ++k) seen.insert(keyOf(k));
    for (std::size_t m = from + 1; m < count_; ++m) {
      if (!seen.contains(keyOf(m))) return m;
    }
    return std::nullopt;
  }
  const std::size_t end = std::min(from, count_);
  std::map<Key, std::size_t> first;
  for (std::size_t k = 0; k < end; ++k) first.try_emplace(keyOf(k), k);
  for (std::size_t m = end; m-- > 0;) {
    if (first.at(keyOf(m)) == m) return m;
  }
  return std::nullopt;
}

std::optional<std::array<BoundPair, 3>> GraphTeachSamples::bounds() const {
  if (count_ == 0) return std::nullopt;
  return bounds_;
}

ViewRanges frameGraphTeachView(const GraphTeachSamples& samples, GraphTeachView view,
                               ViewPoint cursor) {
  const int a = boundValue(cursor.a);
  const int b = boundValue(cursor.b);
  BoundPair boundsA{a, a};
  BoundPair boundsB{b, b};
  if (const auto all = samples.bounds()) {
    switch (view) {
      case GraphTeachView::XY:
        boundsA = (*all)[0];
        boundsB = (*all)[1];
        break;
      case GraphTeachView::XInt:
        boundsA = (*all)[0];
        boundsB = (*all)[2];
        break;
      case GraphTeachView::YInt:
        boundsA = (*all)[1];
        boundsB = (*all)[2];
        break;
    }
  }
  return frameView(boundsA, a, boundsB, b);
}

ViewRanges followGraphTeachView(const ViewRanges& current, const ViewRanges& needed) {
  const auto holds = [](const AxisRange& outer, const AxisRange& inner) {
    return outer.min <= inner.min && inner.max <= outer.max;
  };
  if (holds(current.horizontal, needed.horizontal) && holds(current.vertical, needed.vertical)) {
    return current;
  }
  const auto widen = [](const AxisRange& r) {
    const int room = (r.max - r.min) / 5;
    return AxisRange{r.min - room, r.max + room};
  };
  return {widen(needed.horizontal), widen(needed.vertical)};
}

std::size_t GetDataTP2(Session& session, GraphTeachSamples& samples, GraphTeachHooks& hooks) {
  ObservableFlag& run = session.RunFlag;
  std::size_t stored = 0;
  run.set(1);
  while (run.isSet() && !samples.full()) {
    if (session.link.exchange(ORDER_GET_DATA, 0) != 1) break;
    session.CurrentFrame = decodeLiveFrame(session.link.responsePayload());
    samples.store(sampleOf(session.CurrentFrame));
    ++stored;
    if (samples.full()) run.clear();
    hooks.sampleRecorded(samples.count() - 1);
  }
  run.clear();
  return stored;
}

}  // namespace drq
