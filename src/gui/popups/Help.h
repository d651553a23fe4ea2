#pragma once
// Right-click help: a right click on a control (or on any widget inside it,
// such as the edit field of a spin box) shows the control's help text in a
// popup and does nothing else; the text is also the control's tooltip.

#include <QString>
#include <QWidget>

#include <functional>

#include "gui/common/Texts.h"
#include "gui/popups/Popups.h"

namespace drq::gui {

// Installs the help on `control` and the widgets inside it at this moment.
// The right button never reaches the control: no press, no release, no
// context menu. The context-menu key and Shift+F10 show the help too.
void installHelp(QWidget* control, Popups& popups, const QString& text,
                 const QString& title = QString::fromLatin1(kTitleInfo));

// The same for a control that also acts on a right double-click: the help
// waits for the double-click interval and is dropped when the second click
// comes; `onRightDoubleClick` runs instead. While the help waits, a QTimer
// named kDeferredHelpTimerName below `control` is active.
inline constexpr const char* kDeferredHelpTimerName = "DeferredHelp";
void installHelpWithRightDoubleClick(QWidget* control, Popups& popups, const QString& text,
                                     std::function<void()> onRightDoubleClick,
                                     const QString& title = QString::fromLatin1(kTitleInfo));

// A right double-click action for a control without help (the right button's
// single clicks are swallowed).
void installRightDoubleClick(QWidget* control, std::function<void()> onRightDoubleClick);

// A right double-click action for a text box without help that keeps its own
// context menu (copy, paste, ...): a right click opens the menu once the
// double-click interval has passed without a second click; a right
// double-click runs `onRightDoubleClick` and opens no menu. A context menu
// asked for from the keyboard opens at once. While a menu waits, a QTimer
// named kDeferredMenuTimerName below `control` is active.
inline constexpr const char* kDeferredMenuTimerName = "DeferredContextMenu";
void installRightDoubleClickKeepingMenu(QWidget* control, std::function<void()> onRightDoubleClick);

}  // namespace drq::gui
