#pragma once
// Red, green and blue of the current frame, repeated on the chart pages of
// the display panel (CBF_DispRGB).

#include <QWidget>

#include <array>

#include "core/live/LiveFrame.h"
#include "gui/popups/Popups.h"
#include "gui/widgets/Indicators.h"

namespace drq::gui {

class RgbDisplayRow final : public QWidget {
  Q_OBJECT
 public:
  // The displays are named `namePrefix` + "Red", "Green", "Blue".
  RgbDisplayRow(const QString& namePrefix, Popups& popups, QWidget* parent = nullptr);

  void showFrame(const LiveFrame& frame);
  ValueDisplay* display(int channel) const { return displays_[static_cast<std::size_t>(channel)]; }

 private:
  std::array<ValueDisplay*, 3> displays_{};
};

}  // namespace drq::gui
