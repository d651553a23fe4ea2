#pragma once
// The connections between pages and panels that need nothing of the window
// itself: the connection page's state on the display panel and the transfer
// bar, the sensor ID on the pages that show it, the calibration and offset
// pages' shared reads, the password panel, the big displays and the teach
// table's reset.

namespace drq::gui {

class ConnectionPage;
class CalibrationPage;
class OffsetPage;
class RecorderPage;
class TeachTablePage;
class TableAttributesPage;
class TransferBar;
class DataPanel;
class BigDisplayPanel;
class PasswordPanel;

struct PeerParts {
  ConnectionPage& connection;
  CalibrationPage& calibration;
  OffsetPage& offset;
  RecorderPage& recorder;
  TeachTablePage& teachTable;
  TableAttributesPage& tableAttributes;
  TransferBar& transfer;
  DataPanel& data;
  BigDisplayPanel& bigColor;
  BigDisplayPanel& bigGroup;
  PasswordPanel& password;
};

void connectPeers(const PeerParts& parts);

}  // namespace drq::gui
