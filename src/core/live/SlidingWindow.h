#pragma once
// A fixed-length window of the latest samples, oldest first, that starts as
// all zeros. Appending drops as many of the oldest values as it adds. The
// values are always one contiguous run (ready to hand to a chart), and an
// append costs O(values added) amortised: the storage is four windows long
// and the live run is moved back to the start only when it reaches the end.

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>

namespace drq {

template <std::size_t N>
class SlidingWindow {
  static_assert(N > 0);

 public:
  static constexpr std::size_t kSize = N;

  // Appends `values` (at most N of them; extra leading ones are skipped) at the
  // newest end.
  void append(std::span<const double> values) {
    if (values.size() > N) values = values.last(N);
    const std::size_t m = values.size();
    if (head_ + N + m > kStorage) {
      std::copy(buf_.begin() + head_ + m, buf_.begin() + head_ + N, buf_.begin());
      head_ = 0;
      std::copy(values.begin(), values.end(), buf_.begin() + (N - m));
      return;
    }
    std::copy(values.begin(), values.end(), buf_.begin() + head_ + N);
    head_ += m;
  }
  void push(double value) { append(std::span<const double>(&value, 1)); }

  // The N values, oldest first.
  std::span<const double, N> values() const {
    return std::span<const double, N>(buf_.data() + head_, N);
  }
  double operator[](std::size_t i) const { return buf_[head_ + i]; }
  double newest() const { return buf_[head_ + N - 1]; }

  bool operator==(const SlidingWindow& other) const {
    return std::ranges::equal(values(), other.values());
  }

 private:
  static constexpr std::size_t kStorage = 4 * N;
  std::array<double, kStorage> buf_{};
  std::size_t head_ = 0;
};

}  // namespace drq
