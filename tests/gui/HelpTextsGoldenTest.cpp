// The right-click help of every control of the main window, against the
// golden file tests/data/gui/HelpTexts.txt.
//
// The walk visits every main page, every child panel (and the display
// panel's graph pages) and the window's own controls and top-level panels.
// Each named control is right-clicked as the operator does it (right press,
// the platform's context-menu event, right release); a help that waits for
// the double-click interval, and a menu that opens instead (its first item
// "Help" is chosen), are followed. What the control showed, the popup's title
// and text, is compared with the control's entry in the file.
//
// It fails when a help text or title changed, when a control shows no help
// although it is not one of the few controls that have none (kWithoutHelp),
// when a control is not in the file (a new control) or an entry's control is
// gone, and when a control has no object name (the walk could not see it).
//
// After a deliberate change, rewrite the file and review its diff:
//   DRQ_UPDATE_GOLDEN=1 build/default/bin/drq_gui_tests --gtest_filter='HelpTextsGolden.*'

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "gui/ShellFixture.h"
#include "gui/panels/DataPanel.h"
#include "gui/popups/Help.h"
#include "gui/widgets/Indicators.h"
#include "qcustomplot.h"

namespace drq::gui::test {
namespace {

namespace fs = std::filesystem;

const fs::path kGoldenFile = fs::path(DRQ_TEST_DATA_DIR) / "gui" / "HelpTexts.txt";

// The controls that show no help of their own on a right click, by design:
// the group table (its cells are the values), the calibration page's
// decoration (a right double-click opens the password popup), the text boxes
// that keep their copy-and-paste menu (the scope comment, the connection
// page's message box, the connection shown beside the status of DATAP, the
// password field) and the two big displays (a right click closes them).
const std::set<std::string> kWithoutHelp = {
    "GroupHoldPage/EditGridGroups",
    "CalibrationPage/DecoCalibrate1",
    "ScopePage/EditScopeComment",
    "ConnectionPage/MessageBox",
    "DATAP/DispComPort",
    "DATAP/DispIpAddress",
    "PASSWORDP/StringEnterPW",
    "COLBIGP",
    "GRPBIGP",
};

// What a right click on a control showed.
struct Shown {
  std::string way;  // how the help came (or "nothing")
  std::vector<PopupRecord> popups;
};

// C escapes for the file: one line per text, ASCII only.
std::string quoted(const QString& text) {
  std::string out = "\"";
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    if (u == '\n') {
      out += "\\n";
    } else if (u == '"' || u == '\\') {
      out += '\\';
      out += static_cast<char>(u);
    } else if (u >= 0x20 && u < 0x7F) {
      out += static_cast<char>(u);
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04X", static_cast<unsigned>(u));
      out += buf;
    }
  }
  return out + "\"";
}

std::string entryText(const std::string& key, const Shown& shown) {
  std::string out = "[" + key + "]\n";
  out += "shown = " + shown.way + "\n";
  for (const PopupRecord& p : shown.popups) {
    out += "title = " + p.title.toStdString() + "\n";
    out += "text = " + quoted(p.text) + "\n";
  }
  return out;
}

// Entries of the golden file by key; each is its lines up to the next blank
// line, exactly as entryText() writes them.
std::map<std::string, std::string> readGolden(const fs::path& path) {
  std::map<std::string, std::string> entries;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  std::string key;
  while (std::getline(in, line)) {
    if (line.starts_with("#")) continue;
    if (line.empty()) {
      key.clear();
      continue;
    }
    if (key.empty() && line.starts_with("[") && line.ends_with("]")) {
      key = line.substr(1, line.size() - 2);
      entries[key] = line + "\n";
      continue;
    }
    if (!key.empty()) entries[key] += line + "\n";
  }
  return entries;
}

void writeGolden(const fs::path& path, const std::map<std::string, std::string>& entries) {
  std::string text =
      "# The right-click help of every control of the main window, one entry per\n"
      "# control: [PAGE OR PANEL/ObjectName], how the help is shown, then the\n"
      "# popup's title and text (C escapes). tests/gui/HelpTextsGoldenTest.cpp\n"
      "# compares the window against it; DRQ_UPDATE_GOLDEN=1 rewrites it.\n";
  for (const auto& [key, entry] : entries) text += "\n" + entry;
  const fs::path temporary = fs::path(path).concat(".new");
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << text;
    out.flush();
    ASSERT_TRUE(out.good()) << temporary;
  }
  fs::rename(temporary, path);
}

// The widgets the operator works with or reads: what carries a help.
bool isControl(const QWidget* w) {
  return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
         qobject_cast<const QComboBox*>(w) || qobject_cast<const QLineEdit*>(w) ||
         qobject_cast<const QAbstractSlider*>(w) || qobject_cast<const QAbstractItemView*>(w) ||
         qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QCustomPlot*>(w) ||
         qobject_cast<const QTabBar*>(w) || qobject_cast<const QTabWidget*>(w) ||
         dynamic_cast<const ValueDisplay*>(w) || dynamic_cast<const Led*>(w) ||
         dynamic_cast<const LevelBar*>(w) || dynamic_cast<const ColorPatchView*>(w);
}

// The parts of a compound control (the tab bar of a tab widget, the scroll
// buttons of a tab bar, the cell editor of a table) are right-clicked as the
// control.
bool isPartOfAControl(const QWidget* w) {
  if (qobject_cast<const QTabBar*>(w) && qobject_cast<const QTabWidget*>(w->parentWidget())) {
    return true;  // clicked through its tab widget
  }
  for (const QWidget* p = w->parentWidget(); p != nullptr; p = p->parentWidget()) {
    if (isControl(p) && !qobject_cast<const QTabWidget*>(p)) return true;
  }
  return false;
}

bool isQtInternal(const QObject* o) {
  return o->objectName().startsWith(QStringLiteral("qt_"));
}

class HelpTextsGolden : public ShellTest {
 protected:
  // The page, child panel or top-level panel `w` belongs to.
  std::string whereOf(const QWidget* w) const {
    for (const QWidget* p = w; p != nullptr && p != window.get(); p = p->parentWidget()) {
      if (roots_.contains(p)) return roots_.at(p);
      if (p->isWindow()) return p->objectName().toStdString();
    }
    return {};
  }

  std::string keyOf(const QWidget* w) const {
    const std::string where = whereOf(w);
    const std::string name = w->objectName().toStdString();
    if (where.empty() || where == name) return name;
    return where + "/" + name;
  }

  // The first item of a menu that opened: its help, when it is "Help".
  void chooseHelpIn(QMenu* menu, Shown& shown) {
    const QList<QAction*> actions = menu->actions();
    if (!actions.isEmpty() && actions.first()->text().remove('&') == QStringLiteral("Help")) {
      shown.way = "menu, first item";
      actions.first()->trigger();
    } else {
      shown.way = "a menu without help";
    }
    menu->close();
  }

  // Right press, the platform's context-menu event, right release: what the
  // operator's right click delivers, to the innermost widget under the mouse
  // (a tab widget: on its current tab).
  Shown rightClick(QWidget* control) {
    popups.clearRecords();
    Shown shown{"nothing", {}};
    QWidget* target = control;
    QPoint at = control->rect().center();
    if (auto* tabs = qobject_cast<QTabWidget*>(control); tabs && tabs->count() > 0) {
      target = tabs->tabBar();
      at = tabs->tabBar()->tabRect(tabs->currentIndex()).center();
    } else if (isControl(control)) {
      if (QWidget* inner = control->childAt(at)) {
        target = inner;
        at = inner->mapFrom(control, at);
      }
    }
    const QPoint global = target->mapToGlobal(at);
    // A menu that runs its own event loop is handled from inside it.
    QObject context;
    QTimer::singleShot(0, &context, [&] {
      if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
        chooseHelpIn(menu, shown);
      }
    });
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::RightButton, Qt::RightButton,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, at, global);
    QApplication::sendEvent(target, &menuEvent);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::RightButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(target, &release);

    // A help or menu held back for the double-click interval.
    for (const char* name : {kDeferredHelpTimerName, kDeferredMenuTimerName}) {
      for (QTimer* timer : control->findChildren<QTimer*>(QString::fromLatin1(name))) {
        if (!timer->isActive()) continue;
        EXPECT_TRUE(QTest::qWaitFor([timer] { return !timer->isActive(); }));
        if (shown.way == "nothing") shown.way = "right click, after the double-click interval";
      }
    }
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
      chooseHelpIn(menu, shown);
    }
    if (!popups.records().empty() && shown.way == "nothing") shown.way = "right click";
    shown.popups = popups.records();
    return shown;
  }

  // Every main page, child panel and graph page in turn shown, each of its
  // named controls clicked; then the rest of the window.
  std::map<std::string, std::string> walk() {
    for (int i = 0; i < kMainPageCount; ++i) {
      roots_[window->page(i)] = window->page(i)->metaObject()->className();
    }
    for (int p = 0; p < kChildPanelCount; ++p) {
      const QWidget* panel = window->childPanelWidget(static_cast<ChildPanel>(p));
      roots_[panel] = panel->objectName().toStdString();
    }
    for (auto& [root, name] : roots_) {
      const auto colon = name.rfind("::");
      if (colon != std::string::npos) name = name.substr(colon + 2);
    }

    std::map<std::string, std::string> entries;
    std::set<QWidget*> done;
    const auto visit = [&](QWidget* scope) {
      QList<QWidget*> widgets = scope->findChildren<QWidget*>();
      widgets.prepend(scope);
      for (QWidget* w : widgets) {
        if (done.contains(w) || qobject_cast<QMenu*>(w) || isPartOfAControl(w)) continue;
        done.insert(w);
        if (w->objectName().isEmpty() || isQtInternal(w)) {
          checkNamed(w);
          continue;
        }
        const std::string key = keyOf(w);
        const Shown shown = rightClick(w);
        EXPECT_LE(shown.popups.size(), 1u) << key << " shows more than one popup";
        if (shown.popups.empty() && isControl(w) && !kWithoutHelp.contains(key)) {
          ADD_FAILURE() << key << " shows no help on a right click: install its help "
                        << "(installHelp, gui/Help.h)";
        }
        if (!shown.popups.empty() && kWithoutHelp.contains(key)) {
          ADD_FAILURE() << key << " now shows a help: take it out of kWithoutHelp";
        }
        if (shown.popups.empty() && !isControl(w) && !kWithoutHelp.contains(key)) {
          continue;  // a named frame or layout widget
        }
        EXPECT_FALSE(entries.contains(key)) << "two controls are called " << key;
        entries[key] = entryText(key, shown);
      }
    };

    window->show();
    for (int i = 0; i < kMainPageCount; ++i) {
      window->setActivePage(i);
      visit(window->page(i));
    }
    for (int p = 0; p < kChildPanelCount; ++p) {
      window->ShowChildPanelDisp(static_cast<ChildPanel>(p));
      QWidget* panel = window->childPanelWidget(static_cast<ChildPanel>(p));
      if (auto* data = qobject_cast<DataPanel*>(panel)) {
        for (int g = 0; g < kDataPageCount; ++g) {
          data->pages()->setCurrentIndex(g);
          visit(data->pages()->widget(g));
        }
      }
      visit(panel);
    }
    window->ShowChildPanelDisp(ChildPanel::DATAP);
    visit(window.get());
    return entries;
  }

  // A control carries a name (the parts of a control are skipped before, and
  // so are the parts Qt adds to its containers, such as scroll bars).
  void checkNamed(const QWidget* w) {
    if (!isControl(w) || isQtInternal(w)) return;
    if (w->parentWidget() != nullptr && isQtInternal(w->parentWidget())) return;
    ADD_FAILURE() << "a " << w->metaObject()->className() << " in "
                  << (whereOf(w).empty() ? std::string("MAINP") : whereOf(w))
                  << " has no object name: name it after its callback";
  }

  std::map<const QWidget*, std::string> roots_;
};

TEST_F(HelpTextsGolden, EveryControlShowsTheHelpOfTheGoldenFile) {
  startOffline();
  popups.clearRecords();
  const std::map<std::string, std::string> actual = walk();
  ASSERT_FALSE(actual.empty());

  if (std::getenv("DRQ_UPDATE_GOLDEN") != nullptr) {
    writeGolden(kGoldenFile, actual);
    GTEST_SKIP() << "rewrote " << kGoldenFile;
  }

  const std::map<std::string, std::string> expected = readGolden(kGoldenFile);
  ASSERT_FALSE(expected.empty()) << "no entries in " << kGoldenFile;
  for (const auto& [key, entry] : actual) {
    const auto it = expected.find(key);
    if (it == expected.end()) {
      ADD_FAILURE() << key << " is not in " << kGoldenFile.filename()
                    << " (a new control?); it shows:\n"
                    << entry;
      continue;
    }
    EXPECT_EQ(entry, it->second) << key << " differs from its entry in " << kGoldenFile.filename();
  }
  for (const auto& [key, entry] : expected) {
    EXPECT_TRUE(actual.contains(key))
        << key << " is in " << kGoldenFile.filename() << ", but the window has no such control";
  }
  popups.clearRecords();
}

}  // namespace
}  // namespace drq::gui::test
