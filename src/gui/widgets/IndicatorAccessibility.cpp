#include "gui/widgets/IndicatorAccessibility.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

#include <limits>

#include "gui/widgets/Indicators.h"
#include "gui/widgets/KeyRoute.h"
#include "gui/widgets/ReadOnlyAccessibleText.h"

namespace drq::gui {

namespace {

// What an indicator shows, as text: the number, nothing while a display is
// blank, the colour patch's "0xRRGGBB", an LED's "on" or "off".
QString shownTextOf(const QObject* o) {
  if (const auto* display = qobject_cast<const ValueDisplay*>(o)) return display->text();
  if (const auto* bar = qobject_cast<const LevelBar*>(o)) return QString::number(bar->value());
  if (const auto* patch = qobject_cast<const ColorPatchView*>(o)) return colourText(patch->color());
  if (const auto* led = qobject_cast<const Led*>(o))
    return led->isLit() ? QStringLiteral("on") : QStringLiteral("off");
  return {};
}

// Its name is what it is followed by what it shows ("RED 1152", "measured
// colour 0x12AB0F", "TRIG LED on"), so that a screen reader reads both; the
// text alone through the Text interface and the Value text; the numbers
// (displays, level bars) also through the value interface. A display with a
// key route (the colour number opens the big display) offers it as its
// default action.
class IndicatorAccessible final : public RoutedAccessibleWidget,
                                  public QAccessibleValueInterface,
                                  public ReadOnlyAccessibleText {
 public:
  IndicatorAccessible(QWidget* widget, QAccessible::Role role)
      : RoutedAccessibleWidget(widget, role) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    if (type == QAccessible::ValueInterface && isNumeric())
      return static_cast<QAccessibleValueInterface*>(this);
    return RoutedAccessibleWidget::interface_cast(type);
  }

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return shownText();
    if (t == QAccessible::Name) {
      const QString what = RoutedAccessibleWidget::text(t);
      const QString shown = shownText();
      if (shown.isEmpty()) return what;
      return what.isEmpty() ? shown : what + u' ' + shown;
    }
    return RoutedAccessibleWidget::text(t);
  }
  using ReadOnlyAccessibleText::text;

  QString shownText() const override { return shownTextOf(object()); }

  QVariant currentValue() const override {
    const QObject* o = object();
    if (const auto* display = qobject_cast<const ValueDisplay*>(o))
      return display->text().isEmpty() ? QVariant() : QVariant(display->value());
    if (const auto* bar = qobject_cast<const LevelBar*>(o)) return bar->value();
    return {};
  }
  // The indicators only show values.
  void setCurrentValue(const QVariant&) override {}
  QVariant maximumValue() const override {
    if (const auto* bar = qobject_cast<const LevelBar*>(object())) return bar->maximum();
    if (qobject_cast<const ValueDisplay*>(object())) return std::numeric_limits<int>::max();
    return {};
  }
  QVariant minimumValue() const override {
    if (qobject_cast<const LevelBar*>(object())) return 0;
    if (qobject_cast<const ValueDisplay*>(object())) return std::numeric_limits<int>::min();
    return {};
  }
  QVariant minimumStepSize() const override { return 1; }

 private:
  bool isNumeric() const {
    return qobject_cast<const ValueDisplay*>(object()) || qobject_cast<const LevelBar*>(object());
  }
};

QAccessibleInterface* indicatorFactory(const QString&, QObject* object) {
  if (!object || !object->isWidgetType() || !hasIndicatorAccessible(*object)) return nullptr;
  auto* widget = static_cast<QWidget*>(object);
  // Roles a screen reader knows: a display reads as a label, a level bar as
  // a progress bar, the colour patch as a picture.
  if (qobject_cast<ValueDisplay*>(object) || qobject_cast<Led*>(object))
    return new IndicatorAccessible(widget, QAccessible::StaticText);
  if (qobject_cast<LevelBar*>(object))
    return new IndicatorAccessible(widget, QAccessible::ProgressBar);
  if (qobject_cast<ColorPatchView*>(object))
    return new IndicatorAccessible(widget, QAccessible::Graphic);
  return nullptr;
}

}  // namespace

QString colourText(std::uint32_t rgb) {
  return QStringLiteral("0x") +
         QString::number(rgb & 0xFFFFFFu, 16).rightJustified(6, u'0').toUpper();
}

bool hasIndicatorAccessible(const QObject& object) {
  return qobject_cast<const ValueDisplay*>(&object) || qobject_cast<const LevelBar*>(&object) ||
         qobject_cast<const ColorPatchView*>(&object) || qobject_cast<const Led*>(&object);
}

void registerIndicatorAccessibility() {
  static const bool registered = [] {
    QAccessible::installFactory(&indicatorFactory);
    return true;
  }();
  (void)registered;
}

void announceIndicatorValue(QWidget& widget) {
  // Nothing to do while no assistive technology listens (the live loop
  // calls this for every display at the screen's pace).
  if (!QAccessible::isActive()) return;
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&widget);
  if (!iface) return;
  QAccessibleEvent nameChanged(&widget, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&nameChanged);
  if (QAccessibleValueInterface* value = iface->valueInterface()) {
    QAccessibleValueChangeEvent event(&widget, value->currentValue());
    QAccessible::updateAccessibility(&event);
  }
}

}  // namespace drq::gui
