#pragma once

#include <QLineEdit>
#include <QPushButton>

#include "gui/pages/TabPage.h"

namespace drq::gui {

// Main tab page "RECORDER": records live frames into the record file. Shows
// the record file path and the sensor ID text.
class RecorderPage : public TabPage {
  Q_OBJECT
 public:
  explicit RecorderPage(ShellContext& context, QWidget* parent = nullptr);

  void showRecordFile(const QString& path);
  void setSensorId(const QString& text);
  QString sensorId() const { return idField_->text(); }

  // Called when the page becomes the active tab page: brings the page in
  // line with its record mode.
  void prepareOnActivation();

 public slots:
  // CBF_ButtonShowGraph: shows the signal graph panel GRAPHP in the display
  // area.
  void CBF_ButtonShowGraph();

 private:
  QLineEdit* fileField_;
  QLineEdit* idField_;
  QPushButton* showGraph_;
};

}  // namespace drq::gui
