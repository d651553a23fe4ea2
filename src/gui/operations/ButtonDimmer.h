#pragma once
// SetButtonsDimmed: the one place that knows the operation buttons of every
// page. Pages register their buttons once when the main window is built; the
// owner of running operations (Operations) dims them when an operation starts
// and undims them when it ends.

#include <QPointer>
#include <QWidget>

#include <vector>

namespace drq::gui {

class ButtonDimmer {
 public:
  enum class Group {
    // SEND, GET and the RAM / EEPROM / FILE selectors of the main window:
    // left alone when keepTransfer is set (live acquisition serves them).
    Transfer,
    // GO, Try to connect, Disconnect, the baud-rate control and the
    // operation buttons of the calibration, offset, recorder and scope pages
    // and of the graph teach panel.
    Always,
    // Change baud rate and Generate hardware file: only dimmed here; a
    // successful identification undims them.
    DimOnly,
  };

  void add(Group group, QWidget* control);

  // Dims (dim = true) or undims the registered controls. Dimming then lets
  // pending paint events run (never the operator's input) so that the new
  // states are drawn before a long operation; undimming processes no event.
  void SetButtonsDimmed(bool keepTransfer, bool dim);

 private:
  struct Entry {
    Group group;
    QPointer<QWidget> control;
  };
  std::vector<Entry> entries_;
};

}  // namespace drq::gui
