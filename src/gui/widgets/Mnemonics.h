#pragma once
// Keyboard mnemonics for the push buttons: Alt and a letter of the button's
// text, underlined in it. A letter is unique among the buttons on screen
// together: a page (or a child panel) and the transfer bar, which is always
// shown. Digits are never used: Alt+1…9 open the pages. The keys of a button
// (its function key, if any, and its mnemonic) are added to its tooltip.

#include <QAbstractButton>
#include <QString>
#include <QWidget>

#include <initializer_list>
#include <span>
#include <vector>

namespace drq::gui {

// Gives every button of `shared`, of each page and of each panel a
// mnemonic. The buttons of `shared` are on screen with everything else; a
// panel is on screen beside any one page. A letter is unique within a page
// or a panel and the shared buttons; a page avoids the panels' letters where
// its texts allow (where they do not, the key moves the focus between the
// two buttons while both are shown). A button whose text has a mnemonic
// already ("&CAPTURE") keeps it. A button keeps its own shortcut (F9); its
// mnemonic is then a shortcut beside it that clicks it just the same (not
// while it is dimmed or hidden). A button for which no letter of its text is
// free gets none.
void assignMnemonics(std::span<QAbstractButton* const> shared,
                     std::span<const std::vector<QAbstractButton*>> pages,
                     std::span<const std::vector<QAbstractButton*>> panels);

// Changes a button's text and keeps its mnemonic's letter where the new text
// has it.
void setTextKeepingMnemonic(QAbstractButton& button, const QString& text);

// The letter of a button's mnemonic ('\0' for none).
QChar mnemonicLetter(const QAbstractButton& button);

// The window's keyboard and screen-reader set-up, once it is built: the
// mnemonics (`shared`: the transfer bar, whose toggles get none; `pages`: the
// pages and the panels that are windows of their own; `panels`: the child
// panels, shown beside a page); Tab enters each table (and list) once and leaves it with the next
// Tab, the arrow keys moving inside; the edit field of an editable combo box
// is named after it.
void setUpKeyboardAccess(QWidget& window, QWidget& shared, std::span<QWidget* const> pages,
                         std::span<QWidget* const> panels);
// The same with the pages and panels in lists of any pointer type.
template <typename Pages, typename Panels>
void setUpKeyboardAccess(QWidget& window, QWidget& shared, const Pages& pages, const Panels& panels,
                         std::initializer_list<QWidget*> windows) {
  std::vector<QWidget*> pageList(std::begin(pages), std::end(pages));
  pageList.insert(pageList.end(), windows);
  const std::vector<QWidget*> panelList(std::begin(panels), std::end(panels));
  setUpKeyboardAccess(window, shared, std::span<QWidget* const>(pageList),
                      std::span<QWidget* const>(panelList));
}

}  // namespace drq::gui
