#include "gui/widgets/IndicatorAccessibility.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

#include <limits>

#include "gui/widgets/Indicators.h"
#include "gui/widgets/KeyRoute.h"

namespace drq::gui {

namespace {

QString colourText(std::uint32_t rgb) {
  return QStringLiteral("0x") +
         QString::number(rgb & 0xFFFFFFu, 16).rightJustified(6, u'0').toUpper();
}

// A display with a key route (the colour number opens the big display)
// offers it as its default action.
class IndicatorAccessible final : public RoutedAccessibleWidget, public QAccessibleValueInterface {
 public:
  IndicatorAccessible(QWidget* widget, QAccessible::Role role)
      : RoutedAccessibleWidget(widget, role) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return RoutedAccessibleWidget::interface_cast(type);
  }

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return currentValue().toString();
    return RoutedAccessibleWidget::text(t);
  }

  QVariant currentValue() const override {
    const QObject* o = object();
    if (const auto* display = qobject_cast<const ValueDisplay*>(o))
      return display->text().isEmpty() ? QVariant() : QVariant(display->value());
    if (const auto* bar = qobject_cast<const LevelBar*>(o)) return bar->value();
    if (const auto* patch = qobject_cast<const ColorPatchView*>(o))
      return colourText(patch->color());
    if (const auto* led = qobject_cast<const Led*>(o))
      return led->isLit() ? QStringLiteral("on") : QStringLiteral("off");
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
};

QAccessibleInterface* indicatorFactory(const QString&, QObject* object) {
  if (!object || !object->isWidgetType() || !hasIndicatorAccessible(*object)) return nullptr;
  auto* widget = static_cast<QWidget*>(object);
  if (qobject_cast<ValueDisplay*>(object) || qobject_cast<LevelBar*>(object))
    return new IndicatorAccessible(widget, QAccessible::Indicator);
  if (qobject_cast<ColorPatchView*>(object))
    return new IndicatorAccessible(widget, QAccessible::Graphic);
  if (qobject_cast<Led*>(object)) return new IndicatorAccessible(widget, QAccessible::Indicator);
  return nullptr;
}

}  // namespace

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
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&widget);
  if (!iface || !iface->valueInterface()) return;
  QAccessibleValueChangeEvent event(&widget, iface->valueInterface()->currentValue());
  QAccessible::updateAccessibility(&event);
}

}  // namespace drq::gui
