// Every push button has a mnemonic (Alt and a letter underlined in its
// text): unique among the buttons on screen together, never a digit (Alt+1…9
// open the pages), named with the button's function key in its tooltip. A
// mnemonic clicks as a click does; the function keys stay. Tab crosses a
// table in one step.
#include <QAbstractItemView>
#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>

#include <map>

#include "gui/ShellFixture.h"
#include "gui/shell/TransferBar.h"
#include "gui/shell/WindowParts.h"
#include "gui/widgets/Mnemonics.h"

namespace drq::gui::test {
namespace {

class Keyboard : public ShellTest {};

// The push buttons of `root` that are on screen.
std::vector<QPushButton*> shownButtons(QWidget& root) {
  std::vector<QPushButton*> out;
  for (QPushButton* b : root.findChildren<QPushButton*>())
    if (b->isVisibleTo(&root) && b->window() == root.window()) out.push_back(b);
  return out;
}

TEST_F(Keyboard, EveryButtonOnScreenHasItsOwnMnemonic) {
  startOffline();
  window->show();
  auto& tabs = part<QTabWidget>(*window, "TabMain1");
  auto& transferBar = part<TransferBar>(*window);
  for (int i = 0; i < tabs.count(); ++i) window->setPageVisible(i, true);
  const ChildPanel panels[] = {ChildPanel::DATAP, ChildPanel::GRAPHP, ChildPanel::TEACHP1,
                               ChildPanel::TEACHP2, ChildPanel::SCOPEP};
  int checked = 0;
  for (int page = 0; page < tabs.count(); ++page) {
    window->setActivePage(page);
    for (ChildPanel panel : panels) {
      window->ShowChildPanelDisp(panel);
      QApplication::processEvents();
      // The letters of the page and of the panel beside it are each unique
      // among their own and the transfer bar's.
      std::map<QChar, QString> pageOwners;
      std::map<QChar, QString> panelOwners;
      // A page and the panels it opens beside itself share one set of letters.
      const bool together = (page == kPageTeachTable &&
                             (panel == ChildPanel::TEACHP1 || panel == ChildPanel::TEACHP2)) ||
                            (page == kPageRecorder && panel == ChildPanel::GRAPHP) ||
                            (page == kPageScope && panel == ChildPanel::SCOPEP);
      std::map<QChar, QString> allOwners;
      for (QPushButton* b : shownButtons(*window)) {
        const bool shared = transferBar.isAncestorOf(b);
        if (shared && b->isCheckable()) continue;  // the memory and parameter-set choices
        ++checked;
        const QString where = QStringLiteral("page %1 panel %2: %3")
                                  .arg(page)
                                  .arg(static_cast<int>(panel))
                                  .arg(b->objectName());
        const QChar letter = mnemonicLetter(*b);
        ASSERT_FALSE(letter.isNull())
            << where.toStdString() << " \"" << b->text().toStdString() << "\" has no mnemonic";
        EXPECT_NE(letter, u'0') << where.toStdString();
        EXPECT_TRUE(b->text().contains(QStringLiteral("&") + letter, Qt::CaseInsensitive))
            << where.toStdString();
        EXPECT_TRUE(b->toolTip().contains(QStringLiteral("Alt+") + letter)) << where.toStdString();
        const bool onPage = tabs.currentWidget()->isAncestorOf(b);
        if (together) {
          const auto [it, fresh] = allOwners.emplace(letter, b->objectName());
          EXPECT_TRUE(fresh) << where.toStdString() << " shares Alt+"
                             << QString(letter).toStdString() << " with "
                             << it->second.toStdString() << " shown beside it";
        }
        for (auto* owners : {&pageOwners, &panelOwners}) {
          if ((owners == &pageOwners && !onPage && !shared) || (owners == &panelOwners && onPage))
            continue;
          const auto [it, fresh] = owners->emplace(letter, b->objectName());
          EXPECT_TRUE(fresh) << where.toStdString() << " shares Alt+"
                             << QString(letter).toStdString() << " with "
                             << it->second.toStdString();
        }
      }
    }
  }
  EXPECT_GT(checked, 200);
  // The function keys stay, and are named beside the mnemonic.
  auto* get = find<QPushButton>("ButtonGet");
  EXPECT_EQ(get->shortcut(), QKeySequence(Qt::Key_F10));
  EXPECT_TRUE(get->toolTip().contains(QStringLiteral("Keys: Alt+")));
  EXPECT_EQ(get->toolTip().count(QStringLiteral("F10")), 1) << get->toolTip().toStdString();
}

TEST_F(Keyboard, AMnemonicClicksLikeAClickButNotADimmedButton) {
  startOffline();
  window->show();
  QApplication::setActiveWindow(window.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  window->setActivePage(kPageRecorder);
  auto* showGraph = find<QPushButton>("ButtonShowGraph");
  auto* get = find<QPushButton>("ButtonGet");
  QSignalSpy shown(showGraph, &QPushButton::clicked);
  QSignalSpy got(get, &QPushButton::clicked);
  const auto altKey = [](QChar letter) {
    return static_cast<Qt::Key>(Qt::Key_A + (letter.unicode() - u'A'));
  };
  // The key presses the button at once; the click follows its release.
  QTest::keyClick(window.get(), altKey(mnemonicLetter(*showGraph)), Qt::AltModifier);
  EXPECT_TRUE(showGraph->isDown());
  EXPECT_TRUE(shown.wait(1000));
  get->setEnabled(false);
  QTest::keyClick(window.get(), altKey(mnemonicLetter(*get)), Qt::AltModifier);
  QTest::keyClick(window.get(), Qt::Key_F10);
  EXPECT_FALSE(get->isDown());
  EXPECT_EQ(got.count(), 0);
}

TEST_F(Keyboard, TabEntersATableOnceAndLeavesItWithTheNextTab) {
  startOffline();
  for (QAbstractItemView* view : window->findChildren<QAbstractItemView*>())
    EXPECT_FALSE(view->tabKeyNavigation()) << view->objectName().toStdString();
}

}  // namespace
}  // namespace drq::gui::test
