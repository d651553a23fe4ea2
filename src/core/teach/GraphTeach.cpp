#include "core/teach/GraphTeach.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <iterator>

#include "core/protocol/Frame.h"

namespace drq {

namespace {

// Slots of a FirstPointIndex when it first holds a point (a power of two).
constexpr std::size_t kFirstSlots = 1024;

std::uint64_t bitsOf(double value) {
  // 0 and -0 compare equal, so they hash alike.
  return std::bit_cast<std::uint64_t>(value == 0 ? 0.0 : value);
}

std::uint64_t hashOf(ViewPoint point) {
  // Two rounds of a 64-bit mixer over both co-ordinates' bits.
  std::uint64_t h = bitsOf(point.a) * 0x9E3779B97F4A7C15ULL ^ bitsOf(point.b);
  h ^= h >> 30;
  h *= 0xBF58476D1CE4E5B9ULL;
  h ^= h >> 27;
  h *= 0x94D049BB133111EBULL;
  return h ^ (h >> 31);
}

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

// --- FirstPointIndex -------------------------------------------------------------------

void FirstPointIndex::clear() {
  std::fill(slots_.begin(), slots_.end(), 0u);
  firsts_.clear();
}

std::size_t FirstPointIndex::slotOf(std::span<const GraphSample> entries, GraphTeachView view,
                                    ViewPoint point) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = hashOf(point) & mask;; slot = (slot + 1) & mask) {
    const std::uint32_t held = slots_[slot];
    if (held == 0 || projectSample(entries[held - 1u], view) == point) return slot;
  }
}

void FirstPointIndex::grow(std::span<const GraphSample> entries, GraphTeachView view) {
  slots_.assign(slots_.empty() ? kFirstSlots : slots_.size() * 2, 0u);
  for (const std::uint32_t first : firsts_) {
    // Distinct points: each lands in an empty slot.
    slots_[slotOf(entries, view, projectSample(entries[first], view))] = first + 1u;
  }
}

void FirstPointIndex::add(std::span<const GraphSample> entries, GraphTeachView view,
                          std::size_t index, ViewPoint point) {
  // At most half full, so a probe meets an empty slot soon.
  if (2 * (firsts_.size() + 1) > slots_.size()) grow(entries, view);
  const std::size_t slot = slotOf(entries, view, point);
  if (slots_[slot] != 0) return;  // a repeat of an earlier sample's point
  slots_[slot] = static_cast<std::uint32_t>(index + 1);
  firsts_.push_back(static_cast<std::uint32_t>(index));
}

std::optional<std::size_t> FirstPointIndex::firstWith(std::span<const GraphSample> entries,
                                                      GraphTeachView view, ViewPoint point) const {
  if (firsts_.empty()) return std::nullopt;
  const std::uint32_t held = slots_[slotOf(entries, view, point)];
  if (held == 0) return std::nullopt;
  return held - 1u;
}

// --- GraphTeachSamples -----------------------------------------------------------------

GraphTeachSamples::GraphTeachSamples() : entries_(kGraphTeachSamples) {}

bool GraphTeachSamples::store(const GraphSample& sample) {
  if (full()) return false;
  const bool first = count_ == 0;
  const std::size_t index = count_;
  entries_[count_++] = sample;
  widen(bounds_[0], sample.x, first);
  widen(bounds_[1], sample.y, first);
  widen(bounds_[2], sample.intensity, first);
  for (int v = 0; v < kGraphTeachViews; ++v) {
    const auto view = static_cast<GraphTeachView>(v);
    firstPoints_[static_cast<std::size_t>(v)].add(storedEntries(), view, index,
                                                  projectSample(sample, view));
  }
  return true;
}

void GraphTeachSamples::reset() {
  count_ = 0;
  for (FirstPointIndex& index : firstPoints_) index.clear();
}

std::size_t GraphTeachSamples::findSample(GraphTeachView view, ViewPoint point) const {
  const FirstPointIndex& index = firstPoints_[static_cast<std::size_t>(view)];
  return index.firstWith(storedEntries(), view, point).value_or(0);
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
  // A sample whose point is new at it is new among any samples before it, so
  // the step goes to the nearest first of a point on that side.
  const std::vector<std::uint32_t>& firsts = firstPoints_[static_cast<std::size_t>(view)].firsts();
  if (forward) {
    const auto next = std::upper_bound(firsts.begin(), firsts.end(), from,
                                       [](std::size_t k, std::uint32_t f) { return k < f; });
    if (next == firsts.end()) return std::nullopt;
    return *next;
  }
  const auto after = std::lower_bound(firsts.begin(), firsts.end(), std::min(from, count_),
                                      [](std::uint32_t f, std::size_t k) { return f < k; });
  if (after == firsts.begin()) return std::nullopt;
  return *std::prev(after);
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
