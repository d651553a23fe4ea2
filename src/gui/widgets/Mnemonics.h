#pragma once
// Keyboard mnemonics for the push buttons: Alt and a letter of the button's
// text, underlined in it. A letter is unique among the buttons on screen
// together: a page (or a child panel) and the transfer bar, which is always
// shown, with its toggles. Digits other than 0 are never used: Alt+1…9 open
// the pages. The keys of a button (its function key, if any, and its
// mnemonic) are added to its tooltip.

#include <QAbstractButton>
#include <QString>
#include <QWidget>

#include <cstddef>
#include <initializer_list>
#include <span>
#include <utility>
#include <vector>

#include "core/params/PanelIds.h"

namespace drq::gui {

// Gives every button of `shared`, of each page and of each panel a
// mnemonic. The buttons of `shared` are on screen with everything else; a
// panel is on screen beside any one page. A letter is unique within a page
// or a panel and the shared buttons, and within a page, a panel it opens
// beside itself (`beside`: indices into `pages` and `panels`) and the
// shared buttons. A page prefers the letters the fewest other panels use
// (where a page and a panel shown beside it share one, the key moves the
// focus between the two buttons). A button whose text has a mnemonic already
// ("&CAPTURE") keeps it. A button keeps its own shortcut (F9); its mnemonic
// is then a shortcut beside it that clicks it just the same (not while it
// is dimmed or hidden). Where the texts leave no letter for every button,
// as many as possible get one (the shared ones first, then the panels').
void assignMnemonics(std::span<QAbstractButton* const> shared,
                     std::span<const std::vector<QAbstractButton*>> pages,
                     std::span<const std::vector<QAbstractButton*>> panels,
                     std::span<const std::pair<std::size_t, std::size_t>> beside = {});

// Changes a button's text and keeps its mnemonic's letter where the new text
// has it.
void setTextKeepingMnemonic(QAbstractButton& button, const QString& text);

// The letter of a button's mnemonic ('\0' for none).
QChar mnemonicLetter(const QAbstractButton& button);

// The window's keyboard and screen-reader set-up, once it is built: the
// mnemonics (`shared`: the transfer bar; `pages`: the pages and the panels
// that are windows of their own; `panels`: the child panels, shown beside a
// page; `beside`: the panels a page opens beside itself); Tab enters each
// table (and list) once and leaves it with the next Tab, the arrow keys
// moving inside; the edit field of an editable combo box is named after it.
void setUpKeyboardAccess(QWidget& window, QWidget& shared, std::span<QWidget* const> pages,
                         std::span<QWidget* const> panels,
                         std::span<const std::pair<std::size_t, std::size_t>> beside);
// The same with the pages and panels in lists of any pointer type, the
// pages in kPage order and the panels in ChildPanel order.
template <typename Pages, typename Panels>
void setUpKeyboardAccess(QWidget& window, QWidget& shared, const Pages& pages, const Panels& panels,
                         std::initializer_list<QWidget*> windows,
                         std::span<const PanelBesidePage> beside) {
  std::vector<QWidget*> pageList(std::begin(pages), std::end(pages));
  pageList.insert(pageList.end(), windows);
  const std::vector<QWidget*> panelList(std::begin(panels), std::end(panels));
  std::vector<std::pair<std::size_t, std::size_t>> besideList;
  for (const PanelBesidePage& b : beside)
    besideList.emplace_back(static_cast<std::size_t>(b.page), static_cast<std::size_t>(b.panel));
  setUpKeyboardAccess(window, shared, std::span<QWidget* const>(pageList),
                      std::span<QWidget* const>(panelList), besideList);
}

}  // namespace drq::gui
