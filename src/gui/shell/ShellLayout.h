#pragma once
// The main window's arrangement: the header on top; below it a splitter with
// the control column (the page tabs over the transfer bar) on the left and
// the display area (one child panel at a time) on the right.

#include <QMainWindow>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabWidget>

#include <functional>
#include <span>

namespace drq::gui {

struct ShellLayout {
  QStackedWidget* displayArea = nullptr;
  QSplitter* splitter = nullptr;
};

// Lays the parts out in `window` (which takes ownership), the child panels
// in the display area in their order. The control column is `columnWidth`
// of `totalWidth` at the start. The window gets its mark on the focused
// control (widgets/FocusMark.h), and its keys take a typed value before
// they act (widgets/PendingEdit.h).
ShellLayout layOutShell(QMainWindow& window, QWidget* header, QTabWidget* tabs,
                        QWidget* transferBar, std::span<QWidget* const> childPanels,
                        int columnWidth, int totalWidth);

// The window's own keys: Alt+1 .. Alt+9 open the pages of `tabs` (a hidden
// or disabled page stays as it is); kSizeResetKey does what a right
// double-click on the window's background does, `resetSize`.
inline constexpr QKeyCombination kSizeResetKey = Qt::CTRL | Qt::Key_0;
void addWindowShortcuts(QWidget& window, QTabWidget& tabs, std::function<void()> resetSize);

}  // namespace drq::gui
