#include "gui/widgets/ValueRing.h"

#include <QSignalBlocker>

namespace drq::gui {

namespace {
// Item data role marking the extra item of an unknown value.
constexpr int kExtraRole = Qt::UserRole + 1;
}  // namespace

ValueRing::ValueRing(QWidget* parent) : QComboBox(parent) {
  setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  setMinimumContentsLength(6);
  connect(this, &QComboBox::activated, this, &ValueRing::onActivated);
}

void ValueRing::setItems(const QList<Item>& items) {
  const std::uint16_t current = value();
  const bool hadItems = count() > 0;
  const bool keepUnknown = showsUnknownValue();
  const QSignalBlocker blocker(this);
  clear();
  for (const Item& item : items) addItem(item.label, QVariant::fromValue<uint>(item.value));
  if (hadItems && (hasItem(current) || keepUnknown)) {
    setValue(current);
  } else if (count() > 0) {
    setCurrentIndex(0);
  }
}

void ValueRing::setNamedItems(std::span<const std::string_view> names) {
  QList<Item> items;
  std::uint16_t value = 0;
  for (std::string_view name : names) {
    items.append({QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())), value});
    ++value;
  }
  setItems(items);
}

std::uint16_t ValueRing::value() const {
  if (currentIndex() < 0) return 0;
  return static_cast<std::uint16_t>(currentData().toUInt());
}

void ValueRing::setValue(std::uint16_t value) {
  const QSignalBlocker blocker(this);
  for (int i = 0; i < count(); ++i) {
    if (!itemData(i, kExtraRole).toBool() && itemData(i).toUInt() == value) {
      setCurrentIndex(i);
      removeExtra();
      return;
    }
  }
  removeExtra();
  addItem(unknownValueLabel(value), QVariant::fromValue<uint>(value));
  setItemData(count() - 1, true, kExtraRole);
  setCurrentIndex(count() - 1);
}

bool ValueRing::hasItem(std::uint16_t value) const {
  for (int i = 0; i < count(); ++i) {
    if (!itemData(i, kExtraRole).toBool() && itemData(i).toUInt() == value) return true;
  }
  return false;
}

int ValueRing::itemCountWithoutExtra() const {
  return count() - (showsUnknownValue() ? 1 : 0);
}

QString ValueRing::unknownValueLabel(std::uint16_t value) {
  return QStringLiteral("?(%1)").arg(value);
}

int ValueRing::extraIndex() const {
  for (int i = 0; i < count(); ++i) {
    if (itemData(i, kExtraRole).toBool()) return i;
  }
  return -1;
}

void ValueRing::removeExtra() {
  const int extra = extraIndex();
  if (extra < 0 || extra == currentIndex()) return;
  const QSignalBlocker blocker(this);
  removeItem(extra);
}

void ValueRing::onActivated(int index) {
  if (index < 0) return;
  removeExtra();
  emit valueCommitted(value());
}

}  // namespace drq::gui
