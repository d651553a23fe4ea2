#pragma once
// The parameter transfer controls of the main window: SEND (F9), GET (F10),
// GO (F11), STOP (F12), the transfer target RAM / EEPROM / FILE and the
// parameter set ParaSet0 / ParaSet1.

#include <QButtonGroup>
#include <QPushButton>
#include <QWidget>

#include "gui/common/RuleControls.h"
#include "gui/common/ShellContext.h"

namespace drq::gui {

class TransferBar final : public QWidget {
  Q_OBJECT
 public:
  explicit TransferBar(ShellContext& context, QWidget* parent = nullptr);

  void registerOperationButtons(ButtonDimmer& dimmer);
  // ParaSet0 and ParaSet1 (the mode rules dim them).
  void registerRuleControls(RuleControls& controls);

  // Offline work: FILE on, RAM and EEPROM off, target FILE.
  void selectFileTarget();
  // Shows the session's target and set on the selectors.
  void showSelection();
  void setSendGetEnabled(bool enabled);

  QPushButton* paraSetButton(int set) const { return set == 0 ? set0_ : set1_; }

 signals:
  // A direct transfer with the sensor (the caller dims and undims around it).
  void sendToSensorRequested();
  void getFromSensorRequested();
  // The transfer with target FILE.
  void sendToFileRequested();
  void getFromFileRequested();
  // GO: start the live acquisition.
  void goRequested();

 public slots:
  void CBF_ButtonSend();
  void CBF_ButtonGet();
  void CBF_ButtonGo();
  void CBF_ButtonStop();
  void CBF_SelectMem(QAbstractButton* button);
  void CBF_SelectParaSet(QAbstractButton* button);

 private:
  ShellContext& context_;
  QPushButton* send_;
  QPushButton* get_;
  QPushButton* go_;
  QPushButton* stop_;
  QPushButton* ram_;
  QPushButton* eeprom_;
  QPushButton* file_;
  QPushButton* set0_;
  QPushButton* set1_;
  QButtonGroup* memGroup_;
  QButtonGroup* setGroup_;
};

}  // namespace drq::gui
