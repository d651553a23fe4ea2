#include "gui/common/RuleControls.h"

#include <QtGlobal>

#include <algorithm>

#include "gui/common/TextConversion.h"

namespace drq::gui {

void RuleControls::add(PanelControl control, Actions actions) {
  if (controls_.contains(control)) duplicates_.push_back(control);
  controls_[control] = std::move(actions);
}

void RuleControls::addWidget(PanelControl control, QWidget* widget) {
  Actions actions;
  actions.dim = [widget](bool dimmed) { widget->setEnabled(!dimmed); };
  actions.show = [widget](bool visible) { widget->setVisible(visible); };
  add(control, std::move(actions));
}

void RuleControls::addValue(ParaWord word, std::function<void(std::uint16_t)> setter) {
  values_[word] = std::move(setter);
}

const RuleControls::Actions* RuleControls::find(PanelControl control) const {
  const auto it = controls_.find(control);
  return it == controls_.end() ? nullptr : &it->second;
}

bool RuleControls::maps(PanelControl control, Action action) const {
  const Actions* a = find(control);
  if (!a) return false;
  switch (action) {
    case Action::Dim:
      return static_cast<bool>(a->dim);
    case Action::Show:
      return static_cast<bool>(a->show);
    case Action::Relabel:
      return static_cast<bool>(a->relabel);
    case Action::RingItems:
      return static_cast<bool>(a->ringItems);
    case Action::Colors:
      return static_cast<bool>(a->colors);
  }
  return false;
}

bool RuleControls::mapsValue(ParaWord word) const {
  return values_.contains(word);
}

void RuleControls::noteMiss(Miss miss) {
  // Each miss is noted (and reported) once.
  if (std::find(misses_.begin(), misses_.end(), miss) != misses_.end()) return;
  misses_.push_back(miss);
  if (miss.control) {
    qWarning("mode rules: control %d has no mapping for action %d", static_cast<int>(*miss.control),
             static_cast<int>(miss.action));
  } else if (miss.word) {
    qWarning("mode rules: no control shows record word %d", static_cast<int>(*miss.word));
  }
}

bool RuleControls::dim(PanelControl control, bool dimmed) {
  if (!maps(control, Action::Dim)) {
    noteMiss({control, std::nullopt, Action::Dim});
    return false;
  }
  find(control)->dim(dimmed);
  return true;
}

bool RuleControls::show(PanelControl control, bool visible) {
  if (!maps(control, Action::Show)) {
    noteMiss({control, std::nullopt, Action::Show});
    return false;
  }
  find(control)->show(visible);
  return true;
}

bool RuleControls::relabel(PanelControl control, std::string_view text) {
  if (!maps(control, Action::Relabel)) {
    noteMiss({control, std::nullopt, Action::Relabel});
    return false;
  }
  find(control)->relabel(qStringFromLatin1(text));
  return true;
}

bool RuleControls::setRingItems(PanelControl control,
                                const std::array<std::string_view, 3>& items) {
  if (!maps(control, Action::RingItems)) {
    noteMiss({control, std::nullopt, Action::RingItems});
    return false;
  }
  find(control)->ringItems(
      {qStringFromLatin1(items[0]), qStringFromLatin1(items[1]), qStringFromLatin1(items[2])});
  return true;
}

bool RuleControls::setColors(PanelControl control, std::uint32_t color, std::uint32_t secondColor) {
  if (!maps(control, Action::Colors)) {
    noteMiss({control, std::nullopt, Action::Colors});
    return false;
  }
  find(control)->colors(color, secondColor);
  return true;
}

bool RuleControls::setValue(ParaWord word, std::uint16_t value) {
  const auto it = values_.find(word);
  if (it == values_.end()) {
    noteMiss({std::nullopt, word, Action::Dim});
    return false;
  }
  it->second(value);
  return true;
}

}  // namespace drq::gui
