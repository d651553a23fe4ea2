#pragma once

#include <QMainWindow>

namespace drq::gui {

// The operator tool's one main window.
class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainWindow(QWidget* parent = nullptr);
};

}  // namespace drq::gui
