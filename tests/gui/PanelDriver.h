#pragma once
// Operator actions on the parameter controls, as the tests of the mode rules
// and of the teach operations need them.

#include <gtest/gtest.h>

#include <cstdint>

#include "core/params/ParaSet.h"
#include "gui/pages/GroupHoldPage.h"
#include "gui/pages/ParameterPage.h"
#include "gui/widgets/ValueRing.h"

namespace drq::gui::test {

// The operator picks the item carrying `value`.
inline void chooseItem(ValueRing* ring, std::uint16_t value) {
  ASSERT_NE(ring, nullptr);
  const int index = ring->findData(QVariant::fromValue<uint>(value));
  ASSERT_GE(index, 0) << "no item for " << value << " in " << ring->objectName().toStdString();
  ring->setCurrentIndex(index);
  emit ring->activated(index);
}

inline void choose(ParameterPage& page, ParaWord word, std::uint16_t value) {
  chooseItem(page.ring(word), value);
}

// The operator enters a value in a numeric control.
inline void enter(ParameterPage& page, ParaWord word, int value) {
  page.numeric(word)->setValue(value);
}

inline void chooseColorGroup(GroupHoldPage& page, std::uint16_t value) {
  chooseItem(page.colorGroupSwitch(), value);
}

}  // namespace drq::gui::test
