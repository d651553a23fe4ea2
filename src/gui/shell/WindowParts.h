#pragma once
// Reaching a page or panel of a built main window from outside it: the
// screenshots, the benchmarks and the tests. The window itself and its parts
// never use this (they talk through their host interfaces).

#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace drq::gui {

// The child of `window` of type T; with `name`, the one of that object name.
// A missing part is a programming error: the program stops with a message.
template <typename T>
T& part(const QWidget& window, const char* name = nullptr) {
  T* found = name ? window.findChild<T*>(QString::fromLatin1(name)) : window.findChild<T*>();
  if (found == nullptr) {
    std::fprintf(stderr, "drq: the window has no part %s\n", name ? name : "of that type");
    std::abort();
  }
  return *found;
}

}  // namespace drq::gui
