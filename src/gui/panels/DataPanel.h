#pragma once
// DATAP, the display panel: the live values, the sensor-status field with the
// COM port or server address beside it, and its own tab of four graph pages.

#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QWidget>

#include "gui/ShellContext.h"

namespace drq::gui {

// Pages of the display panel's tab.
enum DataPage : int {
  kDataPageRgbChart = 0,
  kDataPageIntensityChart = 1,
  kDataPage2dGraph = 2,
  kDataPage3dGraph = 3,
};

class DataPanel : public QWidget {
  Q_OBJECT
 public:
  explicit DataPanel(ShellContext& context, QWidget* parent = nullptr);

  QTabWidget* pages() const { return pages_; }
  // The graph pages, in index order (kDataPage...), for their contents.
  QWidget* page(int index) const { return pages_->widget(index); }

  // The sensor-status field: its value and its label.
  void setStatus(const QString& value);
  QString status() const { return status_->text(); }
  void setStatusLabel(const QString& label);
  QString statusLabel() const { return statusLabel_->text(); }

  // Shows the COM port (serial) or the server address (TCP/IP).
  void showLinkTarget(bool serial, const QString& comPort, const QString& address);

 signals:
  // CBF_DispStatus: a right double-click on the status field asks to empty
  // the connection page's message box.
  void clearMessagesRequested();

 private:
  QLabel* statusLabel_;
  QLineEdit* status_;
  QLabel* targetLabel_;
  QLineEdit* comPort_;
  QLineEdit* address_;
  QTabWidget* pages_;
};

}  // namespace drq::gui
