#pragma once
// The map from the controls the mode rules name (PanelControl) and the words
// they force (ParaWord) to the widgets that show them.
//
// Every page and child panel registers the controls it owns once, when the
// main window is built, in its registerRuleControls(RuleControls&) -- as it
// registers its operation buttons with the ButtonDimmer. ModeRulesApplier
// applies a rule's update through this map only. A control or word that a
// rule names and nobody mapped (for the action the rule asks) is noted in
// misses() and reported with qWarning, never dropped in silence; a test runs
// every rule over the modes and requires no miss.

#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

#include "core/params/ModeRules.h"
#include "core/params/ParaSet.h"

namespace drq::gui {

class RuleControls {
 public:
  // What a rule can do to a control.
  enum class Action { Dim, Show, Relabel, RingItems, Colors };

  // The actions one control takes; an empty one is an action it does not
  // take (a rule asking for it is a miss).
  struct Actions {
    std::function<void(bool dimmed)> dim = {};
    std::function<void(bool visible)> show = {};
    std::function<void(const QString& text)> relabel = {};
    std::function<void(const std::array<QString, 3>& items)> ringItems = {};
    // 0xRRGGBB: the control's main and second colour (ControlColors).
    std::function<void(std::uint32_t color, std::uint32_t secondColor)> colors = {};
  };

  // Maps `control`. Each control is mapped by one owner, once: a second
  // mapping replaces the first and is noted in duplicates().
  void add(PanelControl control, Actions actions);
  // The common case: dimming disables `widget`, hiding hides it.
  void addWidget(PanelControl control, QWidget* widget);
  // Maps a record word the rules may force to the control that shows it.
  void addValue(ParaWord word, std::function<void(std::uint16_t value)> setter);

  bool maps(PanelControl control, Action action) const;
  bool mapsValue(ParaWord word) const;

  // Runs the action; false (and a miss noted) when nobody mapped it.
  bool dim(PanelControl control, bool dimmed);
  bool show(PanelControl control, bool visible);
  bool relabel(PanelControl control, std::string_view text);
  bool setRingItems(PanelControl control, const std::array<std::string_view, 3>& items);
  bool setColors(PanelControl control, std::uint32_t color, std::uint32_t secondColor);
  bool setValue(ParaWord word, std::uint16_t value);

  struct Miss {
    std::optional<PanelControl> control;  // empty: a forced word
    std::optional<ParaWord> word;
    Action action = Action::Dim;
    bool operator==(const Miss&) const = default;
  };
  // Every action asked for that nobody mapped, each once, oldest first.
  const std::vector<Miss>& misses() const { return misses_; }
  const std::vector<PanelControl>& duplicates() const { return duplicates_; }

 private:
  const Actions* find(PanelControl control) const;
  void noteMiss(Miss miss);

  std::map<PanelControl, Actions> controls_;
  std::map<ParaWord, std::function<void(std::uint16_t)>> values_;
  std::vector<Miss> misses_;
  std::vector<PanelControl> duplicates_;
};

}  // namespace drq::gui
