// Keyboard focus through the window: Tab follows each page's and panel's
// reading order (the tab list, the page, the transfer bar, the display
// panel, and round again), Shift+Tab goes the same way back, and the control
// that has the focus carries the focus mark once the keyboard has moved it.
#include <QAbstractButton>
#include <QButtonGroup>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "gui/ShellFixture.h"
#include "gui/shell/TransferBar.h"
#include "gui/shell/WindowParts.h"
#include "gui/widgets/FocusMark.h"

namespace drq::gui::test {
namespace {

// Each page with the child panel it opens (or DATAP).
struct View {
  int page;
  ChildPanel panel;
};
constexpr View kViews[] = {
    {kPageConnection, ChildPanel::DATAP},   {kPageParameter, ChildPanel::DATAP},
    {kPageGroupHold, ChildPanel::DATAP},    {kPageTeachTable, ChildPanel::TEACHP1},
    {kPageTeachTable, ChildPanel::TEACHP2}, {kPageRecorder, ChildPanel::GRAPHP},
    {kPageCalibration, ChildPanel::DATAP},  {kPageTableAttributes, ChildPanel::DATAP},
    {kPageScope, ChildPanel::SCOPEP},       {kPageOffset, ChildPanel::DATAP}};

std::string nameOf(const QWidget* w) {
  return w ? (w->objectName().isEmpty() ? w->metaObject()->className()
                                        : w->objectName().toStdString())
           : "(none)";
}

class FocusOrder : public ShellTest {
 protected:
  void SetUp() override {
    startOffline();
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->setPageVisible(kPageOffset, true);
    tabBar = part<QTabWidget>(*window, "TabMain1").tabBar();
  }

  void show(View view) {
    window->setActivePage(view.page);
    window->ShowChildPanelDisp(view.panel);
    QApplication::processEvents();
  }

  // The controls Tab lands on, dimmed ones included, in the order Tab visits
  // them, starting with the page tabs. As Qt walks the chain: a widget that
  // passes the focus to a part of its own lands on that part; the parts of a
  // control that pass the focus up to it are no stops; of a group of
  // exclusive toggles only one is (the arrow keys choose within it).
  std::vector<QWidget*> tabStops() const {
    std::vector<QWidget*> stops{tabBar};
    std::set<const QObject*> groups;
    for (QWidget* w = tabBar->nextInFocusChain(); w != tabBar; w = w->nextInFocusChain()) {
      QWidget* lands = w;
      while (lands->focusProxy()) lands = lands->focusProxy();
      if (lands != w && lands->isAncestorOf(w)) continue;
      if (!(lands->focusPolicy() & Qt::TabFocus) || !lands->isVisibleTo(window.get())) continue;
      if (lands == tabBar) break;  // the tab widget: round again
      if (auto* b = qobject_cast<QAbstractButton*>(lands); b && b->isCheckable()) {
        const QObject* group = b->group() && b->group()->exclusive() ? b->group()
                               : b->autoExclusive()                  ? b->parent()
                                                                     : nullptr;
        if (group && !groups.insert(group).second) continue;
      }
      if (stops.back() != lands) stops.push_back(lands);
    }
    return stops;
  }

  // 0 the page tabs, 1 the page, 2 the transfer bar, 3 the display area.
  int regionOf(const QWidget* w) const {
    if (w == tabBar) return 0;
    if (part<QTabWidget>(*window, "TabMain1").currentWidget()->isAncestorOf(w)) return 1;
    if (part<TransferBar>(*window).isAncestorOf(w)) return 2;
    if (part<QWidget>(*window, "DisplayArea").isAncestorOf(w)) return 3;
    return -1;
  }

  void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(window->windowHandle(), k, modifiers);
  }

  QWidget* tabBar = nullptr;
};

TEST_F(FocusOrder, TabReadsEveryPageAndPanelTopToBottom) {
  for (const View view : kViews) {
    show(view);
    const std::vector<QWidget*> stops = tabStops();
    int region = 0;
    for (std::size_t i = 0; i < stops.size(); ++i) {
      QWidget* w = stops[i];
      const std::string where = "page " + std::to_string(view.page) + " panel " +
                                std::to_string(static_cast<int>(view.panel)) + ": " + nameOf(w);
      EXPECT_FALSE(qobject_cast<QScrollArea*>(w)) << where << ": a scroll area is no Tab stop";
      // Tabs, page, transfer bar, display area: each once, in that order.
      const int now = regionOf(w);
      EXPECT_GE(now, region) << where << " breaks the window's order";
      region = now;
      if (i == 0 || regionOf(stops[i - 1]) != now) continue;
      // Never back up to a control shown above the one before it.
      const auto box = [this](const QWidget* c) {
        return QRect(c->mapTo(window.get(), QPoint(0, 0)), c->size());
      };
      const QRect before = box(stops[i - 1]);
      const QRect after = box(w);
      const bool sameColumn = after.left() <= before.right() && before.left() <= after.right();
      EXPECT_FALSE(sameColumn && after.bottom() < before.top())
          << where << " is shown above " << nameOf(stops[i - 1]) << ", which Tab reaches first";
    }
  }
}

TEST_F(FocusOrder, TabFollowsWhatEachPageShows) {
  // Pairs of controls shown one after the other: Tab goes from the first
  // straight to the second.
  const struct {
    View view;
    const char* first;
    const char* then;
  } relations[] = {
      {{kPageParameter, ChildPanel::DATAP}, "EditPower", "SlidePower"},
      {{kPageParameter, ChildPanel::DATAP}, "SlidePower", "EditPmode"},
      {{kPageGroupHold, ChildPanel::DATAP}, "EditGridHold", "ButtonResetGroupTable"},
      {{kPageGroupHold, ChildPanel::DATAP}, "ButtonResetHoldTable", "EditResetHold"},
      {{kPageTeachTable, ChildPanel::TEACHP1}, "RadioInc", "ButtonTeachDataTo"},
      {{kPageTeachTable, ChildPanel::TEACHP1}, "ButtonTeachDataTo", "ButtonResetTable"},
      {{kPageTeachTable, ChildPanel::TEACHP1}, "ButtonTeachRecVal", "GridCtt"},
      {{kPageTeachTable, ChildPanel::TEACHP1}, "EditTP1TeachCtoWith", "EditTP1ValueCto"},
      {{kPageTeachTable, ChildPanel::TEACHP1}, "EditTP1ValueCto", "EditTP1TeachItoWith"},
      {{kPageTeachTable, ChildPanel::TEACHP2}, "ButtonTP2ShowXY", "GraphXYTP2"},
      {{kPageRecorder, ChildPanel::GRAPHP}, "ButtonSelRecFile", "EditSelectDataRec"},
      {{kPageRecorder, ChildPanel::GRAPHP}, "ButtonStopRecord", "ButtonShowGraph"},
      {{kPageTableAttributes, ChildPanel::DATAP}, "EditRow", "ColorSwatch"},
      {{kPageTableAttributes, ChildPanel::DATAP}, "ColorSwatch", "ColorText"},
      {{kPageTableAttributes, ChildPanel::DATAP}, "ButtonSetRowColor", "TableSpecification"},
      {{kPageTableAttributes, ChildPanel::DATAP}, "TableSpecification", "ButtonSaveArray"},
      {{kPageScope, ChildPanel::SCOPEP}, "DispDeltaX", "ButtonZoom11"},
      {{kPageScope, ChildPanel::SCOPEP}, "ButtonCloseSP", "EditScopeSignal"},
      {{kPageOffset, ChildPanel::DATAP}, "EditOffsetB", "ButtonSendOffset"},
      {{kPageOffset, ChildPanel::DATAP}, "ButtonCalcOffset", "ButtonCloseOffsetCompensation"},
  };
  for (const auto& r : relations) {
    show(r.view);
    const std::vector<QWidget*> stops = tabStops();
    const auto first = std::find(stops.begin(), stops.end(), find<QWidget>(r.first));
    ASSERT_NE(first, stops.end()) << r.first << " is no Tab stop";
    ASSERT_NE(first + 1, stops.end()) << r.first;
    EXPECT_EQ(nameOf(*(first + 1)), r.then) << "after " << r.first;
  }
  // Each page begins right after the page tabs, the first control first.
  show({kPageParameter, ChildPanel::DATAP});
  EXPECT_EQ(nameOf(tabStops()[1]), "EditPower");
  show({kPageTeachTable, ChildPanel::TEACHP1});
  EXPECT_EQ(nameOf(tabStops()[1]), "EditNo");
}

TEST_F(FocusOrder, TabAndShiftTabGoRoundWithTheFocusMarked) {
  auto& mark = part<FocusMark>(*window);
  for (const View view : kViews) {
    show(view);
    std::vector<std::string> expected;
    for (QWidget* w : tabStops())
      if (w->isEnabled()) expected.push_back(nameOf(w));
    tabBar->setFocus();
    const auto walk = [&](Qt::KeyboardModifiers modifiers) {
      std::vector<std::string> seen{nameOf(QApplication::focusWidget())};
      for (std::size_t i = 0; i < expected.size(); ++i) {
        key(Qt::Key_Tab, modifiers);
        QWidget* focus = QApplication::focusWidget();
        seen.push_back(nameOf(focus));
        // Every control Tab reaches carries the mark, all round it.
        EXPECT_EQ(mark.markedControl(), focus) << nameOf(focus);
        if (QWidget* ring = mark.ring()) {
          EXPECT_EQ(ring->geometry(), QRect(focus->mapTo(window.get(), QPoint()), focus->size()))
              << nameOf(focus);
        }
      }
      return seen;
    };
    std::vector<std::string> forward = walk(Qt::NoModifier);
    EXPECT_EQ(forward.back(), nameOf(tabBar)) << "Tab does not come round to the page tabs";
    forward.pop_back();
    EXPECT_EQ(forward, expected) << "page " << view.page;
    std::vector<std::string> backward = walk(Qt::ShiftModifier);
    EXPECT_EQ(backward.back(), nameOf(tabBar)) << "Shift+Tab does not come round to the page tabs";
    backward.pop_back();
    std::reverse(backward.begin() + 1, backward.end());
    EXPECT_EQ(backward, expected) << "page " << view.page;
  }
}

TEST_F(FocusOrder, TheMarkWaitsForTheKeyboardAndThenFollowsTheFocus) {
  auto& mark = part<FocusMark>(*window);
  show({kPageParameter, ChildPanel::DATAP});
  auto* slider = find<QWidget>("SlidePower");
  auto* field = find<QWidget>("EditPower");
  // The mouse alone leaves the window as it was.
  QTest::mouseClick(slider, Qt::LeftButton, {}, slider->rect().center());
  ASSERT_EQ(QApplication::focusWidget(), slider);
  EXPECT_EQ(mark.markedControl(), nullptr);
  EXPECT_EQ(mark.ring(), nullptr);

  key(Qt::Key_Tab, Qt::ShiftModifier);
  ASSERT_EQ(QApplication::focusWidget(), field);
  EXPECT_EQ(mark.markedControl(), field);
  // From then on it follows the focus, also a click, and the control's size;
  // it never takes a click itself.
  QTest::mouseClick(slider, Qt::LeftButton, {}, slider->rect().center());
  EXPECT_EQ(mark.markedControl(), slider);
  QWidget* ring = mark.ring();
  ASSERT_NE(ring, nullptr);
  const auto shownAt = [this](const QWidget* w) {
    return QRect(w->mapTo(window.get(), QPoint()), w->size());
  };
  EXPECT_EQ(window->childAt(shownAt(slider).center()), slider);
  window->resize(window->width() + 120, window->height());
  QApplication::processEvents();
  EXPECT_EQ(ring->geometry(), shownAt(slider));
  // It belongs to the window, so a picture of a panel (print, SAVE IMAGE)
  // never shows it.
  show({kPageScope, ChildPanel::SCOPEP});
  auto* graph = find<QWidget>("GraphScope");
  graph->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(mark.markedControl(), graph);
  EXPECT_EQ(ring->parentWidget(), window.get());
  // Focus leaving the window takes the mark with it; coming back brings it.
  graph->clearFocus();
  EXPECT_EQ(mark.markedControl(), nullptr);
  graph->setFocus(Qt::ActiveWindowFocusReason);
  EXPECT_EQ(mark.markedControl(), graph);
}

TEST(FocusMarkRing, RingsThePartOfAControlItsScrollAreaShows) {
  QWidget top;
  auto* mark = new FocusMark(top);
  auto* scroll = new QScrollArea(&top);
  scroll->setGeometry(0, 0, 200, 100);
  auto* body = new QWidget();
  body->resize(180, 400);
  scroll->setWidget(body);
  auto* field = new QLineEdit(body);
  field->setGeometry(10, 80, 100, 40);  // across the viewport's lower edge
  top.resize(200, 100);
  top.show();
  QApplication::setActiveWindow(&top);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&top));
  top.setAttribute(Qt::WA_KeyboardFocusChange);
  field->setFocus(Qt::TabFocusReason);
  ASSERT_EQ(mark->markedControl(), field);
  const auto shownAt = [&top](const QWidget* w) {
    return QRect(w->mapTo(&top, QPoint()), w->size());
  };
  EXPECT_EQ(mark->ring()->geometry(), shownAt(field) & shownAt(scroll->viewport()));
  EXPECT_LT(mark->ring()->height(), field->height());
  // Scrolled into view, it is ringed all round.
  scroll->verticalScrollBar()->setValue(60);
  EXPECT_EQ(mark->ring()->geometry(), shownAt(field));
  // Scrolled out of sight, no ring is left over the viewport's edge.
  scroll->verticalScrollBar()->setValue(300);
  EXPECT_EQ(mark->ring(), nullptr);
}

}  // namespace
}  // namespace drq::gui::test
