// Every control of every page and panel carries an accessible name, so that a
// screen reader or UI automation over the accessibility bus finds it by name.
// The walk goes through Qt's accessible tree (what the bus exposes), pages
// and panels that are not shown included.
#include <qcustomplot.h>
#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include <set>

#include "gui/ShellFixture.h"
#include "gui/shell/WindowParts.h"
#include "gui/widgets/Indicators.h"
#include "gui/widgets/WordTable.h"

namespace drq::gui::test {
namespace {

// Roles an operator acts on or reads a value from.
bool isControlRole(QAccessible::Role role) {
  switch (role) {
    case QAccessible::Button:
    case QAccessible::ButtonDropDown:
    case QAccessible::ButtonMenu:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::SpinBox:
    case QAccessible::EditableText:
    case QAccessible::Slider:
    case QAccessible::Dial:
    case QAccessible::ProgressBar:
    case QAccessible::Table:
    case QAccessible::List:
    case QAccessible::Tree:
    case QAccessible::PageTabList:
    case QAccessible::Chart:
    case QAccessible::Indicator:
      return true;
    default:
      return false;
  }
}

// Widgets Qt sees as plain panes that are controls all the same: the charts
// and the live indicators.
bool isDisplayWidget(const QObject* object) {
  return object && (object->inherits("QCustomPlot") || object->inherits("drq::gui::ValueDisplay") ||
                    object->inherits("drq::gui::Led") || object->inherits("drq::gui::LevelBar") ||
                    object->inherits("drq::gui::ColorPatchView"));
}

// Where a control sits, for the list: its object path below the top.
QString describe(QObject* object) {
  QStringList path;
  for (QObject* o = object; o; o = o->parent()) {
    const QString name = o->objectName();
    path.prepend(name.isEmpty() ? QString::fromLatin1(o->metaObject()->className()) : name);
  }
  return path.join(QLatin1Char('/'));
}

void collectUnnamed(QAccessibleInterface* node, QStringList& unnamed, int& controls) {
  if (!node || !node->isValid()) return;
  const QAccessible::Role role = node->role();
  QObject* object = node->object();
  const bool control = isControlRole(role) || isDisplayWidget(object);
  if (control && object && object->isWidgetType()) {
    ++controls;
    if (node->text(QAccessible::Name).trimmed().isEmpty())
      unnamed.append(describe(object) + QStringLiteral(" (role %1)").arg(int(role)));
  }
  // The inside of a control (cells, the parts of a chart) is named by the
  // control; the edit field of a combo box is a Tab stop of its own, which a
  // screen reader reads by its own name.
  if (role == QAccessible::ComboBox) {
    for (int i = 0; i < node->childCount(); ++i) {
      QAccessibleInterface* child = node->child(i);
      if (child && child->role() == QAccessible::EditableText &&
          child->text(QAccessible::Name).trimmed().isEmpty())
        unnamed.append(describe(object) + QStringLiteral(": its edit field"));
    }
  }
  if (control) return;
  for (int i = 0; i < node->childCount(); ++i) collectUnnamed(node->child(i), unnamed, controls);
}

class Accessibility : public ShellTest {};

TEST_F(Accessibility, EveryControlOfEveryPageAndPanelHasAnAccessibleName) {
  startOffline();
  for (int i = 0; i < (&part<QTabWidget>(*window, "TabMain1"))->count(); ++i)
    window->setPageVisible(i, true);
  QStringList unnamed;
  int controls = 0;
  std::set<QWidget*> tops{window.get()};
  for (QWidget* w : window->findChildren<QWidget*>())
    if (w->isWindow() && !w->inherits("QMenu") && !w->inherits("QComboBoxPrivateContainer"))
      tops.insert(w);
  for (QWidget* top : tops)
    collectUnnamed(QAccessible::queryAccessibleInterface(top), unnamed, controls);
  EXPECT_GT(controls, 100);
  EXPECT_TRUE(unnamed.isEmpty()) << unnamed.size() << " controls without a name:\n"
                                 << unnamed.join(QLatin1Char('\n')).toStdString();
}

}  // namespace
}  // namespace drq::gui::test

namespace drq::gui::test {
namespace {

TEST_F(Accessibility, AltAndADigitOpensAPage) {
  startOffline();
  window->show();
  QApplication::setActiveWindow(window.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  QTest::keyClick(window.get(), Qt::Key_4, Qt::AltModifier);
  EXPECT_EQ(window->activePage(), 3);  // the teach table
  QTest::keyClick(window.get(), Qt::Key_2, Qt::AltModifier);
  EXPECT_EQ(window->activePage(), 1);
  ASSERT_FALSE(window->isPageVisible(8));
  QTest::keyClick(window.get(), Qt::Key_9, Qt::AltModifier);  // the locked offset page
  EXPECT_EQ(window->activePage(), 1);
}

}  // namespace
}  // namespace drq::gui::test

namespace drq::gui::test {
namespace {

// Every live indicator tells its value through the value interface and the
// Value text. (The value-changed event it sends when it paints reaches only a
// platform with an accessibility bridge, so it is checked from outside.)
// The edit field of an editable combo box reads its label, not the text it
// held when the window was built.
TEST_F(Accessibility, AComboBoxsEditFieldIsNamedAfterItsLabel) {
  startOffline();
  for (const char* name : {"EditSelectComPort", "StringIpAdress"}) {
    auto* combo = find<QComboBox>(name);
    ASSERT_NE(combo, nullptr);
    QString label;
    for (const QLabel* l : window->findChildren<QLabel*>())
      if (l->buddy() == combo) label = l->text().remove(u'&');
    ASSERT_FALSE(label.isEmpty()) << name;
    EXPECT_EQ(combo->lineEdit()->accessibleName(), label) << name;
  }
}

// The status line has a key route (Delete empties the messages) and stays a
// read-only text field whose text a screen reader reads.
TEST_F(Accessibility, TheStatusLineIsReadAsText) {
  startOffline();
  auto* status = find<QLineEdit>("DispStatus");
  ASSERT_NE(status, nullptr);
  status->setText(QStringLiteral("TIMEOUT!"));
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(status);
  ASSERT_NE(iface, nullptr);
  EXPECT_EQ(iface->role(), QAccessible::EditableText);
  EXPECT_TRUE(iface->state().readOnly);
  ASSERT_NE(iface->textInterface(), nullptr);
  EXPECT_EQ(iface->textInterface()->text(0, iface->textInterface()->characterCount()),
            QStringLiteral("TIMEOUT!"));
  EXPECT_FALSE(iface->text(QAccessible::Name).isEmpty());
  EXPECT_TRUE(iface->actionInterface()->actionNames().contains(QStringLiteral("Clear")));
}

// A colour cell shows only its colour: a screen reader reads it as
// 0xRRGGBB under the heading COLOR, which the screen leaves out.
TEST(AccessibleTables, ColourCellsReadTheirColour) {
  WordTable table(3, {QStringLiteral("X"), QStringLiteral("Y")}, true);
  table.setRowColor(1, 0x12AB0Fu);
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&table);
  ASSERT_NE(iface, nullptr);
  QAccessibleTableInterface* cells = iface->tableInterface();
  ASSERT_NE(cells, nullptr);
  const int colour = table.colorColumn();
  EXPECT_EQ(cells->columnDescription(colour), QStringLiteral("COLOR"));
  EXPECT_EQ(cells->cellAt(1, colour)->text(QAccessible::Name), QStringLiteral("0x12AB0F"));
  EXPECT_EQ(cells->cellAt(0, colour)->text(QAccessible::Name), QStringLiteral("0xFFFFFF"));
  table.setValue(0, 0, 812);
  EXPECT_EQ(cells->cellAt(0, 0)->text(QAccessible::Name), QStringLiteral("812"));
}

TEST_F(Accessibility, IndicatorsExposeTheirValues) {
  startOffline();
  int indicators = 0;
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (!isDisplayWidget(w) || w->inherits("QCustomPlot")) continue;
    ++indicators;
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    ASSERT_NE(iface, nullptr);
    ASSERT_NE(iface->textInterface(), nullptr) << describe(w).toStdString();
    const QAccessibleTextInterface* text = iface->textInterface();
    EXPECT_EQ(iface->text(QAccessible::Value), text->text(0, text->characterCount()));
    // A role the desktop's accessibility bus knows.
    EXPECT_NE(iface->role(), QAccessible::Indicator) << describe(w).toStdString();
  }
  EXPECT_GT(indicators, 20);

  QWidget host;
  auto* red = new ValueDisplay(QStringLiteral("RED"), &host);
  auto* patch = new ColorPatchView(&host);
  patch->setAccessibleName(QStringLiteral("measured colour"));
  auto* led = new Led(QStringLiteral("TRIG"), Qt::green, &host);
  QAccessibleInterface* redIface = QAccessible::queryAccessibleInterface(red);
  // Blank: the caption alone, no number (not 0).
  EXPECT_EQ(redIface->text(QAccessible::Name), QStringLiteral("RED"));
  EXPECT_FALSE(redIface->valueInterface()->currentValue().isValid());
  red->setValue(1152);
  patch->setColor(0x12AB0F);
  led->setLit(true);
  // A new value is there at once, before it is painted.
  EXPECT_EQ(redIface->text(QAccessible::Name), QStringLiteral("RED 1152"));
  EXPECT_EQ(redIface->text(QAccessible::Value), QStringLiteral("1152"));
  EXPECT_EQ(redIface->textInterface()->text(0, 4), QStringLiteral("1152"));
  EXPECT_EQ(redIface->valueInterface()->currentValue().toInt(), 1152);
  QAccessibleInterface* patchIface = QAccessible::queryAccessibleInterface(patch);
  EXPECT_EQ(patchIface->text(QAccessible::Name), QStringLiteral("measured colour 0x12AB0F"));
  // Not a number: the bus would read it as 0.
  EXPECT_EQ(patchIface->valueInterface(), nullptr);
  EXPECT_EQ(QAccessible::queryAccessibleInterface(led)->text(QAccessible::Name),
            QStringLiteral("TRIG LED on"));
}

}  // namespace
}  // namespace drq::gui::test
