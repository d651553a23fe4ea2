#pragma once
// The graph teach: a stream of measurements recorded as points of the colour/
// intensity space, shown in three side views (X/Y, X/INT, Y/INT), from which
// the operator picks one sample with a view's cursor and teaches it.
//
// GraphTeachSamples is the sample table: 60000 entries of X/s, Y/i and INT/M
// and the counter of valid ones. Reset only sets the counter to 0; the entries
// stay (and are overwritten by the next recording). GetDataTP2 is the
// recording loop.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/Session.h"
#include "core/graph/Framing.h"

namespace drq {

inline constexpr std::size_t kGraphTeachSamples = 60000;

struct GraphSample {
  double x = 0;          // X/s
  double y = 0;          // Y/i
  double intensity = 0;  // INT/M
  bool operator==(const GraphSample&) const = default;
};

// The three views and the two co-ordinates each shows (horizontal, vertical).
enum class GraphTeachView : int { XY = 0, XInt = 1, YInt = 2 };
inline constexpr int kGraphTeachViews = 3;

struct ViewPoint {
  double a = 0;  // horizontal
  double b = 0;  // vertical
  bool operator==(const ViewPoint&) const = default;
};
ViewPoint projectSample(const GraphSample& sample, GraphTeachView view);

// The sample of a live frame: words 3, 4 and 5.
GraphSample sampleOf(const LiveFrame& frame);

// The first sample of every distinct point of one view, in recording order:
// what keyboard stepping walks and what a cursor position selects. Kept as
// samples come in (amortised O(1) a sample: an open-addressing hash table
// of sample indices keyed by their point, 4 bytes a slot at most half
// full), so a step is a binary search instead of a pass over every sample.
// Points compare with ==, as the search of a cursor position does (0 and
// -0 are one point; a NaN co-ordinate is never equal, so each is new).
class FirstPointIndex {
 public:
  // Forgets every point.
  void clear();
  // Sample `index`, whose point in this view is `point`, was stored; every
  // sample below `index` was added before. `entries` holds them; `view`
  // projects them.
  void add(std::span<const GraphSample> entries, GraphTeachView view, std::size_t index,
           ViewPoint point);
  // The first sample added with `point`; none when no sample has it.
  std::optional<std::size_t> firstWith(std::span<const GraphSample> entries, GraphTeachView view,
                                       ViewPoint point) const;
  // The first sample of each point, ascending.
  const std::vector<std::uint32_t>& firsts() const { return firsts_; }

 private:
  // Slot of `point`: the one holding a sample with it, else the empty one
  // where it goes. The table is never full.
  std::size_t slotOf(std::span<const GraphSample> entries, GraphTeachView view,
                     ViewPoint point) const;
  void grow(std::span<const GraphSample> entries, GraphTeachView view);

  std::vector<std::uint32_t> slots_;  // sample index + 1; 0 is an empty slot
  std::vector<std::uint32_t> firsts_;
};

class GraphTeachSamples {
 public:
  GraphTeachSamples();

  // Valid entries, 0..60000.
  std::size_t count() const { return count_; }
  bool full() const { return count_ >= kGraphTeachSamples; }
  // Entries 0..count - 1.
  std::span<const GraphSample> recorded() const { return {entries_.data(), count_}; }
  const GraphSample& operator[](std::size_t index) const { return entries_[index]; }

  // SetTP2Data's part: stores `sample` in entry `count` and counts it.
  // Returns false (storing nothing) when the table is full already.
  bool store(const GraphSample& sample);
  // The counter back to 0; the entries stay.
  void reset();

  // SetCursorTP2's search: the first of entries 0..count - 1 whose two
  // co-ordinates of `view` equal (a, b) exactly; entry 0 when none does.
  // A look-up in the view's FirstPointIndex.
  std::size_t findSample(GraphTeachView view, ViewPoint point) const;

  // The recorded sample nearest to `point` in `view`, distances measured in
  // units of `unitA` horizontally and `unitB` vertically (a pixel's size on
  // each axis); of several at the same distance the earliest. None while
  // nothing is recorded.
  std::optional<std::size_t> nearestSample(GraphTeachView view, ViewPoint point, double unitA,
                                           double unitB) const;

  // Keyboard stepping from sample `from`: the next (forward) or previous
  // sample whose point in `view` is recorded there for the first time. Later
  // repeats of a point are skipped, since selecting them would select the
  // first one anyway. None at either end. O(log count).
  std::optional<std::size_t> stepSample(GraphTeachView view, std::size_t from, bool forward) const;

  // Lowest and highest value of each co-ordinate over the recorded samples
  // (X, Y, INT), kept as samples come in; none while nothing is recorded.
  std::optional<std::array<BoundPair, 3>> bounds() const;

 private:
  std::span<const GraphSample> storedEntries() const { return {entries_.data(), count_}; }

  std::vector<GraphSample> entries_;
  std::size_t count_ = 0;
  std::array<BoundPair, 3> bounds_{};
  std::array<FirstPointIndex, kGraphTeachViews> firstPoints_;
};

// The axes of a view: the recorded samples and `cursor` framed like the colour
// graphs (same length on both axes, 25 around them).
ViewRanges frameGraphTeachView(const GraphTeachSamples& samples, GraphTeachView view,
                               ViewPoint cursor);

// The axes a view moves to while samples come in: `current` while it still
// holds `needed` (a frame of frameGraphTeachView), else `needed` widened by a
// fifth of its length on each side, so that a growing cloud of points moves
// the axes only now and then.
ViewRanges followGraphTeachView(const ViewRanges& current, const ViewRanges& needed);

// What the recording loop shows.
class GraphTeachHooks {
 public:
  virtual ~GraphTeachHooks() = default;
  // Sample `index` was stored (CurrentFrame holds its frame): show it. May
  // clear RunFlag to end the recording.
  virtual void sampleRecorded(std::size_t index) = 0;
};

// GetDataTP2: sets RunFlag to 1 and, while it stays 1, exchanges
// ORDER_GET_DATA (argument 0, no payload); each good answer's first 40 bytes
// become CurrentFrame, words 3, 4 and 5 the next sample, and the hooks show
// it. The 60000th sample clears RunFlag. Pending Send and Get are not served,
// and nothing else of the live state changes (ColorPatch stays the colour of
// the last live frame). A failed exchange (reported by the link) ends the
// loop; what was recorded stays. With the table full, nothing is exchanged.
// Returns the number of samples stored; RunFlag is 0 afterwards.
std::size_t GetDataTP2(Session& session, GraphTeachSamples& samples, GraphTeachHooks& hooks);

}  // namespace drq
