#pragma once
// A ring control: a drop-down list whose items each carry a 16-bit value.
//
// A value that none of the items carries (for example a code a newer sensor or
// a hand-edited parameter file uses) is shown as an extra item "?(n)" and read
// back unchanged, so that it is neither lost nor silently given another
// meaning. The extra item disappears as soon as another value is chosen or set.

#include <QComboBox>
#include <QList>
#include <QString>

#include <cstdint>
#include <span>
#include <string_view>

namespace drq::gui {

class ValueRing final : public QComboBox {
  Q_OBJECT
 public:
  struct Item {
    QString label;
    std::uint16_t value;
  };

  explicit ValueRing(QWidget* parent = nullptr);

  // Replaces the items. The current value stays selected when an item still
  // carries it; otherwise the first item is selected.
  void setItems(const QList<Item>& items);
  // Items labelled by `names`, carrying the values 0, 1, 2, ...
  void setNamedItems(std::span<const std::string_view> names);

  // The selected value (0 when the ring has no items).
  std::uint16_t value() const;
  // Selects the item carrying `value`, or shows the extra item "?(value)".
  void setValue(std::uint16_t value);

  // True when an item (not the extra one) carries `value`.
  bool hasItem(std::uint16_t value) const;
  // Number of items, the extra item not counted.
  int itemCountWithoutExtra() const;
  // True while the extra item for an unknown value is shown.
  bool showsUnknownValue() const { return extraIndex() >= 0; }

  // The label of the extra item for `value`: "?(value)".
  static QString unknownValueLabel(std::uint16_t value);

 signals:
  // The operator chose an item (not emitted by setValue or setItems).
  void valueCommitted(std::uint16_t value);

 private:
  int extraIndex() const;
  void removeExtra();
  void onActivated(int index);
};

}  // namespace drq::gui
