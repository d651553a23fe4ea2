// What the mouse reaches by a gesture the keyboard and UI automation reach
// as well: on the focused control a key does what the gesture does, and the
// control's accessible interface offers it as an action. The gestures
// themselves are tested with the controls they belong to.
#include <QAccessible>
#include <QApplication>
#include <QFrame>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include "gui/ShellFixture.h"
#include "gui/charts/StripChart.h"
#include "gui/pages/CalibrationPage.h"
#include "gui/pages/ConnectionPage.h"
#include "gui/panels/BigDisplayPanel.h"
#include "gui/panels/PasswordPanel.h"
#include "gui/panels/ScopeGraphPanel.h"
#include "gui/panels/ScopePlot.h"
#include "gui/shell/WindowParts.h"
#include "gui/widgets/Indicators.h"
#include "gui/widgets/KeyRoute.h"

namespace drq::gui::test {
namespace {

class KeyRoutes : public ShellTest {
 protected:
  void showActive() {
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }
};

QAccessibleActionInterface* actionsOf(QWidget* widget) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
  return iface ? iface->actionInterface() : nullptr;
}

TEST_F(KeyRoutes, TheColourAndGroupDisplaysOpenTheirBigDisplays) {
  startOffline();
  showActive();
  auto* number = find<ValueDisplay>("DispCOL");
  auto* group = find<ValueDisplay>("DispGroup");
  auto& bigColor = part<BigColorPanel>(*window);
  auto& bigGroup = part<BigGroupPanel>(*window);

  // Tab stops in reading order: the group (shown with colour groups on)
  // follows the colour number.
  group->show();
  number->setFocus(Qt::TabFocusReason);
  ASSERT_EQ(QApplication::focusWidget(), number);
  QTest::keyClick(number, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), group);

  // Enter, keypad Enter and Space open; with a modifier, or a held key's
  // repeats, they do nothing more.
  QTest::keyClick(number, Qt::Key_Return, Qt::ControlModifier);
  EXPECT_FALSE(bigColor.isVisible());
  QTest::keyClick(number, Qt::Key_Return);
  EXPECT_TRUE(bigColor.isVisible());
  bigColor.hide();
  QTest::keyClick(number, Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_TRUE(bigColor.isVisible());
  bigColor.hide();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  QTest::keyClick(group, Qt::Key_Space);
  EXPECT_TRUE(bigGroup.isVisible());
  // It has the keyboard: Escape hides it, as its right click does.
  ASSERT_TRUE(QTest::qWaitForWindowActive(&bigGroup));
  QTest::keyClick(bigGroup.windowHandle(), Qt::Key_Escape);
  EXPECT_FALSE(bigGroup.isVisible());
  // The window has the keyboard again, the focus where it was.
  EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
  EXPECT_EQ(QApplication::focusWidget(), group);
  QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
  QApplication::sendEvent(group, &repeat);
  EXPECT_FALSE(bigGroup.isVisible());

  // The default accessible action opens it too; the value stays readable.
  QAccessibleActionInterface* actions = actionsOf(group);
  ASSERT_NE(actions, nullptr);
  EXPECT_EQ(actions->actionNames().value(0), QAccessibleActionInterface::pressAction());
  EXPECT_EQ(actions->keyBindingsForAction(QAccessibleActionInterface::pressAction()),
            QStringList({QStringLiteral("Return"), QStringLiteral("Space")}));
  actions->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_TRUE(bigGroup.isVisible());
  group->setValue(7);
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(group);
  EXPECT_EQ(iface->role(), QAccessible::StaticText);
  EXPECT_EQ(iface->text(QAccessible::Value), QStringLiteral("7"));
  ASSERT_NE(iface->valueInterface(), nullptr);
  EXPECT_EQ(iface->valueInterface()->currentValue().toInt(), 7);
  EXPECT_TRUE(number->toolTip().endsWith(QStringLiteral("\n\nKeys: Enter, Space")))
      << number->toolTip().toStdString();
  // A display without a route keeps only the focus it had: none.
  EXPECT_EQ(find<ValueDisplay>("DispRED")->focusPolicy(), Qt::NoFocus);
}

TEST_F(KeyRoutes, TheDecorationLeadsThroughThePasswordToTheOffsetPage) {
  startOffline();
  showActive();
  window->setActivePage(kPageCalibration);
  QFrame* decoration = part<CalibrationPage>(*window).decoration();
  PasswordPanel& password = part<PasswordPanel>(*window);
  EXPECT_TRUE(decoration->toolTip().contains(QStringLiteral("Keys: Enter, Space")));
  EXPECT_FALSE(decoration->accessibleName().isEmpty());

  decoration->setFocus(Qt::TabFocusReason);
  ASSERT_EQ(QApplication::focusWidget(), decoration);
  QTest::keyClick(decoration, Qt::Key_Space);
  ASSERT_TRUE(password.isVisible());
  QTest::keyClicks(password.field(), QStringLiteral("qortal"));
  QTest::keyClick(password.field(), Qt::Key_Return);
  EXPECT_FALSE(password.isVisible());
  EXPECT_EQ(window->activePage(), kPageOffset);

  // The accessible default action: the same password step (the field
  // emptied first), the same result.
  find<QPushButton>("ButtonCloseOffsetCompensation")->click();
  ASSERT_FALSE(window->isPageVisible(kPageOffset));
  QAccessibleActionInterface* actions = actionsOf(decoration);
  ASSERT_NE(actions, nullptr);
  EXPECT_EQ(QAccessible::queryAccessibleInterface(decoration)->role(), QAccessible::Button);
  EXPECT_EQ(actions->actionNames().value(0), QAccessibleActionInterface::pressAction());
  password.field()->setText(QStringLiteral("old"));
  actions->doAction(QAccessibleActionInterface::pressAction());
  ASSERT_TRUE(password.isVisible());
  EXPECT_TRUE(password.field()->text().isEmpty());
  password.field()->setText(QStringLiteral("qortal"));
  QTest::keyClick(password.field(), Qt::Key_Return);
  EXPECT_EQ(window->activePage(), kPageOffset);
  // A dimmed control does not act.
  password.close();
  decoration->setEnabled(false);
  actions->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_FALSE(password.isVisible());
}

TEST_F(KeyRoutes, DeleteOnTheStatusEmptiesTheMessages) {
  startOffline();
  showActive();
  auto* status = find<QLineEdit>("DispStatus");
  ASSERT_FALSE(part<ConnectionPage>(*window).messages().isEmpty());
  status->setFocus(Qt::TabFocusReason);
  ASSERT_EQ(QApplication::focusWidget(), status);
  QTest::keyClick(status, Qt::Key_Return);  // not this route's key
  EXPECT_FALSE(part<ConnectionPage>(*window).messages().isEmpty());
  QTest::keyClick(status, Qt::Key_Delete);
  EXPECT_TRUE(part<ConnectionPage>(*window).messages().isEmpty());

  part<ConnectionPage>(*window).appendMessage(QStringLiteral("line\n"));
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(status);
  EXPECT_EQ(iface->text(QAccessible::Value), status->text());
  EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("SENSOR STATUS"));
  iface->actionInterface()->doAction(keyRouteActionName(KeyRouteKind::Clear));
  EXPECT_TRUE(part<ConnectionPage>(*window).messages().isEmpty());
}

TEST_F(KeyRoutes, StripChartKeysScaleAsTheClicksDo) {
  startOffline();
  showActive();
  auto* chart = find<StripChart>("GraphRGB");
  chart->setFocus(Qt::TabFocusReason);
  ASSERT_EQ(QApplication::focusWidget(), chart);
  QTest::keyClick(chart, Qt::Key_A);
  EXPECT_TRUE(chart->isAutoscale());
  QTest::keyClick(chart, Qt::Key_F);
  EXPECT_FALSE(chart->isAutoscale());
  // The help stays the tooltip's first line; the keys follow it.
  EXPECT_TRUE(chart->toolTip().endsWith(
      QStringLiteral("Keys: A (vertical axis follows the data); F (vertical axis fixed)")))
      << chart->toolTip().toStdString();

  QAccessibleActionInterface* actions = actionsOf(chart);
  ASSERT_NE(actions, nullptr);
  EXPECT_EQ(QAccessible::queryAccessibleInterface(chart)->role(), QAccessible::Chart);
  EXPECT_EQ(actions->actionNames().mid(0, 3),
            QStringList({QAccessibleActionInterface::showMenuAction(), QStringLiteral("Autoscale"),
                         QStringLiteral("Fixed scale")}));
  actions->doAction(QStringLiteral("Autoscale"));
  EXPECT_TRUE(chart->isAutoscale());
}

// Every chart's menu (help, save as PNG or PDF) is a Tab stop away: the
// menu key, Shift+F10 or the accessible action opens it.
TEST_F(KeyRoutes, AChartsMenuOpensFromTheKeysAndItsAction) {
  startOffline();
  showActive();
  find<QTabWidget>("TabDataP1")->setCurrentIndex(kDataPage2dGraph);
  auto* graph = find<QWidget>("Graph2DColor");
  graph->setFocus(Qt::TabFocusReason);
  ASSERT_EQ(QApplication::focusWidget(), graph);
  auto* menu = graph->findChild<QMenu*>(QStringLiteral("ChartMenu"));
  ASSERT_NE(menu, nullptr);
  QTest::keyClick(graph, Qt::Key_F10, Qt::ShiftModifier);
  EXPECT_TRUE(menu->isVisible());
  menu->hide();
  actionsOf(graph)->doAction(QAccessibleActionInterface::showMenuAction());
  EXPECT_TRUE(menu->isVisible());
  menu->hide();
}

// Enter on the scope graph zooms to the cursors' rectangle, as a Ctrl-drag
// from one to the other does; cursors on one line span nothing.
TEST_F(KeyRoutes, EnterOnTheScopeGraphZoomsToTheCursors) {
  startOffline();
  showActive();
  window->setActivePage(kPageScope);
  ScopePlot& graph = part<ScopeGraphPanel>(*window).analogueGraph();
  QSignalSpy zoomed(&graph, &ScopePlot::zoomed);
  graph.setFocus(Qt::TabFocusReason);
  ASSERT_EQ(QApplication::focusWidget(), &graph);
  graph.setCursor(0, {40, 1000});
  graph.setCursor(1, {40, 3000});
  QTest::keyClick(&graph, Qt::Key_Return);
  EXPECT_EQ(zoomed.count(), 0);
  graph.setCursor(1, {100, 300});
  QTest::keyClick(&graph, Qt::Key_Return);
  EXPECT_EQ(zoomed.count(), 1);
  EXPECT_EQ(graph.xRange(), QCPRange(40, 100));
  EXPECT_EQ(graph.yRange(), QCPRange(300, 1000));
  // The help set after the route keeps its keys' line.
  EXPECT_TRUE(graph.toolTip().endsWith(
      QStringLiteral("Keys: Enter (zoom to the rectangle between the cursors)")))
      << graph.toolTip().toStdString();
  EXPECT_EQ(actionsOf(&graph)->actionNames().value(0), QStringLiteral("Zoom to cursors"));
}

TEST_F(KeyRoutes, CtrlZeroRestoresTheDefaultSize) {
  startOffline();
  showActive();
  window->resize(1000, 700);
  QTest::keyClick(window.get(), Qt::Key_0, Qt::ControlModifier);
  EXPECT_EQ(window->size(), QSize(790, 548));
}

}  // namespace
}  // namespace drq::gui::test
