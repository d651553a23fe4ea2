#include "gui/shell/PeerWiring.h"

#include "gui/pages/CalibrationPage.h"
#include "gui/pages/ConnectionPage.h"
#include "gui/pages/OffsetPage.h"
#include "gui/pages/RecorderPage.h"
#include "gui/pages/TableAttributesPage.h"
#include "gui/pages/TeachTablePage.h"
#include "gui/panels/BigDisplayPanel.h"
#include "gui/panels/DataPanel.h"
#include "gui/panels/PasswordPanel.h"
#include "gui/shell/TransferBar.h"

namespace drq::gui {

void connectPeers(const PeerParts& p) {
  QObject::connect(&p.connection, &ConnectionPage::sensorStatusShown, &p.data,
                   &DataPanel::setStatus);
  QObject::connect(&p.connection, &ConnectionPage::sensorStatusLabelShown, &p.data,
                   &DataPanel::setStatusLabel);
  QObject::connect(&p.connection, &ConnectionPage::linkTargetShown, &p.data,
                   &DataPanel::showLinkTarget);
  QObject::connect(&p.connection, &ConnectionPage::fileTargetSelected, &p.transfer,
                   &TransferBar::selectFileTarget);
  TransferBar* transfer = &p.transfer;
  QObject::connect(&p.connection, &ConnectionPage::sendGetUndimmed, transfer,
                   [transfer] { transfer->setSendGetEnabled(true); });
  QObject::connect(&p.connection, &ConnectionPage::sensorIdEdited, &p.recorder,
                   &RecorderPage::setSensorId);
  for (BigDisplayPanel* big : {&p.bigColor, &p.bigGroup}) {
    QObject::connect(&p.connection, &ConnectionPage::sensorIdEdited, big,
                     &BigDisplayPanel::setSensorId);
  }
  QObject::connect(&p.data, &DataPanel::clearMessagesRequested, &p.connection,
                   &ConnectionPage::clearMessages);
  QObject::connect(&p.data, &DataPanel::bigColorRequested, &p.bigColor,
                   &BigDisplayPanel::showDisplay);
  QObject::connect(&p.data, &DataPanel::bigGroupRequested, &p.bigGroup,
                   &BigDisplayPanel::showDisplay);
  // A GetCF on either calibration page shows the factors on the one and the
  // offsets on the other.
  QObject::connect(&p.calibration, &CalibrationPage::calibrationRead, &p.offset,
                   &OffsetPage::showCalibration);
  QObject::connect(&p.offset, &OffsetPage::calibrationRead, &p.calibration,
                   &CalibrationPage::showCalibration);
  QObject::connect(&p.calibration, &CalibrationPage::passwordRequested, &p.password,
                   &PasswordPanel::openPopup);
  // The colour patch belongs to the automatic row colours.
  QObject::connect(&p.tableAttributes, &TableAttributesPage::colorPatchShown, p.data.colorPatch(),
                   &QWidget::setVisible);
  QObject::connect(&p.teachTable, &TeachTablePage::tableReset, &p.data,
                   &DataPanel::clearTeachFigures);
}

}  // namespace drq::gui
