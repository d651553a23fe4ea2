#include "gui/MainWindow.h"

#include "gui/Texts.h"

namespace drq::gui {

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(QString::fromLatin1(kWindowTitle));
  resize(790, 548);
}

}  // namespace drq::gui
