// Every push button, the transfer bar's toggles too, has a mnemonic (Alt
// and a letter underlined in its text): unique among the buttons on screen
// together, never a digit the pages hold (Alt+1…9), named with the button's
// function key in its tooltip. A mnemonic clicks as a click does; the
// function keys stay. Tab crosses a table in one step.
#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>

#include <algorithm>
#include <iterator>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "gui/ShellFixture.h"
#include "gui/shell/TransferBar.h"
#include "gui/shell/WindowParts.h"
#include "gui/widgets/Mnemonics.h"
#include "gui/widgets/PendingEdit.h"

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
      const bool together =
          std::any_of(std::begin(kPanelsBesidePages), std::end(kPanelsBesidePages),
                      [&](const PanelBesidePage& b) { return b.page == page && b.panel == panel; });
      std::map<QChar, QString> allOwners;
      for (QPushButton* b : shownButtons(*window)) {
        const bool shared = transferBar.isAncestorOf(b);
        ++checked;
        const QString where = QStringLiteral("page %1 panel %2: %3")
                                  .arg(page)
                                  .arg(static_cast<int>(panel))
                                  .arg(b->objectName());
        const QChar letter = mnemonicLetter(*b);
        ASSERT_FALSE(letter.isNull())
            << where.toStdString() << " \"" << b->text().toStdString() << "\" has no mnemonic";
        EXPECT_FALSE(letter >= u'1' && letter <= u'9') << where.toStdString();
        EXPECT_TRUE(b->text().contains(QStringLiteral("&") + letter, Qt::CaseInsensitive))
            << where.toStdString();
        EXPECT_TRUE(b->toolTip().contains(QStringLiteral("Alt+") + letter)) << where.toStdString();
        const bool onPage = tabs.currentWidget()->isAncestorOf(b);
        // Beside a page it opens, a panel's letters are its own; the graph
        // panels, which stay open on every page, have few enough buttons
        // that no page needs one of their letters.
        const bool small = panel == ChildPanel::GRAPHP || panel == ChildPanel::SCOPEP;
        if (together || small) {
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
  // So does Ctrl+R beside the letter of SELECT RECORD FILE.
  auto* selectFile = find<QPushButton>("ButtonSelRecFile");
  EXPECT_EQ(selectFile->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
  EXPECT_TRUE(selectFile->toolTip().contains(QStringLiteral("Ctrl+R, Alt+")))
      << selectFile->toolTip().toStdString();
}

TEST_F(Keyboard, ATransferToggleChoosesByItsMnemonic) {
  startOffline();
  window->show();
  QApplication::setActiveWindow(window.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  // Dimmed (offline, and without the parameter-set trigger) the key does
  // nothing; undimmed it chooses as a click does.
  auto* eeprom = find<QPushButton>("SelectMemEeprom");
  ASSERT_FALSE(eeprom->isEnabled());
  QSignalSpy dimmedClicks(eeprom, &QPushButton::clicked);
  QTest::keyClick(window.get(), static_cast<Qt::Key>(mnemonicLetter(*eeprom).unicode()),
                  Qt::AltModifier);
  EXPECT_FALSE(eeprom->isDown());
  EXPECT_EQ(dimmedClicks.count(), 0);
  for (const char* name :
       {"SelectMemEeprom", "SelectMemFile", "SelectMemRam", "SelectParaSet1", "SelectParaSet0"}) {
    auto* toggle = find<QPushButton>(name);
    toggle->setEnabled(true);
    QSignalSpy clicked(toggle, &QPushButton::clicked);
    const QChar letter = mnemonicLetter(*toggle);
    ASSERT_FALSE(letter.isNull()) << name;
    QTest::keyClick(window.get(), static_cast<Qt::Key>(letter.unicode()), Qt::AltModifier);
    EXPECT_TRUE(clicked.wait(1000)) << name;
    EXPECT_TRUE(toggle->isChecked()) << name;
  }
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

// The letters are searched for: a choice that looks cheap for the shared
// buttons is undone when a page then finds none; a page and a panel beside
// it never share one; 0 is a letter (Alt+1…9 are the pages'); where the
// texts leave none, the letters a text marks stay and the rest is shared out.
TEST(Mnemonics, EveryButtonGetsALetterWhereTheTextsAllowIt) {
  QWidget root;
  std::vector<std::unique_ptr<QPushButton>> owned;
  const auto make = [&](const char* text) {
    owned.push_back(std::make_unique<QPushButton>(QString::fromLatin1(text), &root));
    return owned.back().get();
  };
  const auto letters = [](const std::vector<QAbstractButton*>& buttons) {
    QString out;
    for (QAbstractButton* b : buttons)
      out += mnemonicLetter(*b).isNull() ? u'-' : mnemonicLetter(*b);
    return out;
  };

  // A is wanted least, but only B leaves the first page a letter.
  std::vector<QAbstractButton*> shared{make("AB")};
  std::vector<std::vector<QAbstractButton*>> pages{{make("A")}, {make("BC"), make("BD")}};
  assignMnemonics(shared, pages, {});
  EXPECT_EQ(letters(shared) + letters(pages[0]) + letters(pages[1]), QStringLiteral("BACD"));

  // Beside its panel a page takes the other letter.
  std::vector<std::vector<QAbstractButton*>> page{{make("PQ")}};
  std::vector<std::vector<QAbstractButton*>> panel{{make("P")}};
  const std::pair<std::size_t, std::size_t> beside[] = {{0, 0}};
  assignMnemonics({}, page, panel, beside);
  EXPECT_EQ(letters(page[0]) + letters(panel[0]), QStringLiteral("QP"));

  std::vector<QAbstractButton*> sets{make("Set0"), make("Set1")};
  std::vector<std::vector<QAbstractButton*>> setPage{{make("S"), make("E")}};
  assignMnemonics(sets, setPage, {});
  EXPECT_EQ(letters(sets) + letters(setPage[0]), QStringLiteral("0TSE"));
  EXPECT_EQ(sets[0]->text(), QStringLiteral("Set&0"));

  // Not enough letters: the marked one stays, the others get what is left.
  std::vector<QAbstractButton*> tight{make("K"), make("KL")};
  std::vector<std::vector<QAbstractButton*>> marked{{make("&K"), make("L")}};
  assignMnemonics(tight, marked, {});
  EXPECT_EQ(letters(tight) + letters(marked[0]), QStringLiteral("-LK-"));
}

TEST_F(Keyboard, TabEntersATableOnceAndLeavesItWithTheNextTab) {
  startOffline();
  for (QAbstractItemView* view : window->findChildren<QAbstractItemView*>())
    EXPECT_FALSE(view->tabKeyNavigation()) << view->objectName().toStdString();
}

// A key's action takes a typed value first, as leaving the field does: a
// spin box's text becomes its value (an unusable text gives the old value
// back); a changed line edit reports editingFinished once.
TEST(PendingEdit, TheTypedValueIsTakenAsLeavingTheFieldTakesIt) {
  QSpinBox spin;
  spin.setRange(0, 1000);
  spin.setKeyboardTracking(false);
  spin.setValue(600);
  auto* text = spin.findChild<QLineEdit*>();
  ASSERT_NE(text, nullptr);
  text->setText(QStringLiteral("700"));
  ASSERT_EQ(spin.value(), 600);
  commitPendingEdit(text);
  EXPECT_EQ(spin.value(), 700);
  text->setText(QStringLiteral("7x"));
  commitPendingEdit(text);
  EXPECT_EQ(spin.value(), 700);
  EXPECT_EQ(spin.text(), QStringLiteral("700"));

  QLineEdit edit;
  QSignalSpy finished(&edit, &QLineEdit::editingFinished);
  commitPendingEdit(&edit);  // nothing typed
  EXPECT_EQ(finished.count(), 0);
  edit.setText(QStringLiteral("5020"));
  edit.setModified(true);  // as typing does
  commitPendingEdit(&edit);
  commitPendingEdit(&edit);
  EXPECT_EQ(finished.count(), 1);
  commitPendingEdit(nullptr);
}

}  // namespace
}  // namespace drq::gui::test
