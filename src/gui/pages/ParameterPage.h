#pragma once

#include <QLabel>
#include <QSlider>
#include <QSpinBox>
#include <QStringList>

#include <array>
#include <cstddef>
#include <cstdint>

#include "gui/pages/TabPage.h"
#include "gui/widgets/ValueRing.h"

namespace drq::gui {

// Main tab page "PARAMETER": one control for every word of the parameter
// record except HOLD FAIL and COLOR GROUP, which live on the group and hold
// page. Rings carry the record values as item data; numerics hold:
//   POWER             0..1000 (slider with a value field)
//   INTEGRAL          0..250
//   MAX VEC NO        0..64 (the size of the teach table; the mode rules limit
//                     it further)
//   AVERAGE, INTLIM, DYNWIN LO, DYNWIN HI   0..65535 (any word; the sensor
//                     checks its own limits)
// A value outside a control's range that arrives from the sensor or a file is
// shown at the nearest limit and noted in limitedValues(); a coded value
// without a ring item is shown as "?(n)" and kept (ValueRing).
//
// Object names follow the callbacks: SlidePower (slider), EditPower (its value
// field), EditPmode, EditLedMode, EditGain, EditDynWinLo, EditDynWinHi,
// EditAverage, EditIntegral, EditMaxVecNo, EditDigOutmode, EditIntlim,
// EditEvalmode, EditCalcmode, EditExteach, EditTrigger. Each control sits in a
// cell with its caption (object name + "Cell"); dimming the cell dims both.
class ParameterPage final : public TabPage {
  Q_OBJECT
 public:
  explicit ParameterPage(ShellContext& context, QWidget* parent = nullptr);

  // Every record word the page holds, in the order the operator's
  // documentation gives.
  void GetPanelValues(ParaSet& working) override;
  // Sets EXTERN TEACH first and gives the TRIGGER ring the items that value
  // needs (InitExteach), then every word in order. A TRIGGER of EXT1 or above
  // while EXTERN TEACH is not OFF is shown as CONT, as the mode rules make it.
  void SetPanelValues(const ParaSet& working) override;

  // The mode rules dim the parameter controls with their captions and force
  // values into every control of this page.
  void registerRuleControls(RuleControls& controls) override;

  // True for the record words shown on this page.
  static bool holdsWord(ParaWord word);

  // --- Access for the mode rules and tests ---------------------------------
  // The control of `word` (the slider for POWER); nullptr for words not on
  // this page.
  QWidget* control(ParaWord word) const;
  // The control with its caption (and for POWER its value field).
  QWidget* controlCell(ParaWord word) const;
  QLabel* caption(ParaWord word) const;
  // Dims or undims a control together with its caption.
  void setControlDimmed(ParaWord word, bool dimmed);
  bool isControlDimmed(ParaWord word) const;
  // The value a control shows, and setting it as SetPanelValues does (limited
  // to the control's range; a limited value is noted in limitedValues()).
  std::uint16_t controlValue(ParaWord word) const;
  void setControlValue(ParaWord word, std::uint16_t value);

  QSlider* powerSlider() const { return powerSlider_; }
  QSpinBox* powerField() const { return powerField_; }
  ValueRing* ring(ParaWord word) const;    // nullptr for numerics
  QSpinBox* numeric(ParaWord word) const;  // POWER gives its value field
  ValueRing* triggerRing() const { return trigger_; }

  // Items of the TRIGGER ring: 2 (CONT, SELF) or 7 (also EXT1, EXT2, EXT3,
  // TRANS, PARA), not counting an item "?(n)" of an unknown value.
  std::size_t triggerRingItems() const;
  void setTriggerRingItems(std::size_t count);

  // What the last SetPanelValues (or setControlValue since) had to limit, one
  // line per word: "POWER 1500 -> 1000".
  const QStringList& limitedValues() const { return limited_; }

 public slots:
  // Commit callbacks. The rules of the parameter modes join CBF_EditPmode,
  // CBF_EditLedMode, CBF_EditMaxVecNo, CBF_EditDigOutmode, CBF_EditEvalmode,
  // CBF_EditCalcmode, CBF_EditExteach and CBF_EditTrigger through
  // modeControlCommitted; the others only carry their help.
  void CBF_SlidePower();
  void CBF_EditPmode();
  void CBF_EditLedMode();
  void CBF_EditGain();
  void CBF_EditDynWinLoHi();
  void CBF_EditAverage();
  void CBF_EditIntegral();
  void CBF_EditMaxVecNo();
  void CBF_EditDigOutmode();
  void CBF_EditIntlim();
  void CBF_EditEvalmode();
  void CBF_EditCalcmode();
  void CBF_EditExteach();
  void CBF_EditTrigger();

 signals:
  // The operator committed a new value of a control whose change runs the
  // mode rules (POWER MODE, LED MODE, MAX VEC NO, DIGITAL OUTMODE, EVALUATION
  // MODE, CALCULATION MODE, EXTERN TEACH, TRIGGER).
  // `word` is the ParaWord of the control.
  void modeControlCommitted(int word);

 private:
  struct Slot {
    QWidget* cell = nullptr;
    QLabel* caption = nullptr;
    QWidget* control = nullptr;
    ValueRing* ring = nullptr;
    QSpinBox* numeric = nullptr;
  };
  const Slot& slot(ParaWord word) const { return slots_[static_cast<std::size_t>(word)]; }
  Slot& slot(ParaWord word) { return slots_[static_cast<std::size_t>(word)]; }

  ValueRing* addRing(ParaWord word, const char* objectName, const char* help);
  QSpinBox* addNumeric(ParaWord word, const char* objectName, int maximum, const char* help);
  QWidget* makeCell(ParaWord word, QWidget* control);
  void buildPowerCell();

  QWidget* body_ = nullptr;  // holds every cell
  std::array<Slot, kParaRecordWords> slots_{};
  QSlider* powerSlider_ = nullptr;
  QSpinBox* powerField_ = nullptr;
  ValueRing* trigger_ = nullptr;
  QStringList limited_;
};

}  // namespace drq::gui
