#pragma once
// PASSWORDP: the modal password popup that unlocks the offset page. Its field
// takes at most 20 characters and shows each as "*".

#include <QDialog>
#include <QLineEdit>

#include <optional>

#include "gui/popups/Popups.h"
#include "gui/widgets/ActivationReturn.h"

namespace drq::gui {

class PasswordPanel final : public QDialog {
  Q_OBJECT
 public:
  PasswordPanel(Popups& popups, QWidget* parent);

  static constexpr int kMaxLength = 20;

  QLineEdit* field() const { return field_; }

  // CBF_DecoCalibrate1's action: empties the field and shows the popup
  // (application-modal; returns at once). Once it is hidden again, the
  // window it was opened over is active again.
  void openPopup();

 signals:
  // The right password was entered; the popup has closed.
  void unlocked();

 public slots:
  // Commit of the password field.
  void CBF_StringEnterPW();

 protected:
  void hideEvent(QHideEvent* event) override;

 private:
  Popups& popups_;
  QLineEdit* field_;
  std::optional<ActivationReturn> keyboardBack_;
};

}  // namespace drq::gui
