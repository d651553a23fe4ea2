#include "gui/panels/BigDisplayPanel.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QHideEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace drq::gui {

BigDisplayPanel::BigDisplayPanel(const QString& name, const QString& title, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint),
      id_(new QLabel(this)),
      value_(new QLabel(QStringLiteral("0"), this)) {
  setObjectName(name);
  setWindowTitle(title);
  id_->setObjectName(QStringLiteral("DispID"));
  value_->setObjectName(QStringLiteral("DispValue"));
  id_->setAlignment(Qt::AlignCenter);
  value_->setAlignment(Qt::AlignCenter);
  QFont idFont = id_->font();
  idFont.setPointSize(14);
  id_->setFont(idFont);
  QFont valueFont = value_->font();
  valueFont.setPointSize(96);
  valueFont.setBold(true);
  value_->setFont(valueFont);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(id_);
  layout->addWidget(value_, 1);
  resize(320, 240);
}

void BigDisplayPanel::setSensorId(const QString& text) {
  id_->setText(text);
}

void BigDisplayPanel::setValue(int value) {
  if (value == shown_) return;
  shown_ = value;
  value_->setText(QString::number(value));
}

void BigDisplayPanel::showDisplay() {
  if (!isActiveWindow()) {
    if (giveBack_) giveBack_->cancel();
    giveBack_.emplace(parentWidget());
  }
  show();
  raise();
  // It takes the keyboard, so that Escape closes it at once, whichever way
  // (a double-click, Enter on the display) it was opened.
  activateWindow();
}

void BigDisplayPanel::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    hideByOperator();
    event->accept();
    return;
  }
  QWidget::mousePressEvent(event);
}

void BigDisplayPanel::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    hideByOperator();
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

void BigDisplayPanel::contextMenuEvent(QContextMenuEvent* event) {
  event->accept();
}

void BigDisplayPanel::hideByOperator() {
  // The operator closed it from here: the keyboard goes back to the window
  // that had it before.
  givingBack_ = true;
  hide();
  givingBack_ = false;
}

void BigDisplayPanel::hideEvent(QHideEvent* event) {
  // Hidden by the program (the window closing): nothing to give back.
  if (giveBack_ && !givingBack_) giveBack_->cancel();
  giveBack_.reset();
  QWidget::hideEvent(event);
}

void BigDisplayPanel::closeEvent(QCloseEvent* event) {
  hideByOperator();
  event->accept();
}

BigColorPanel::BigColorPanel(QWidget* parent)
    : BigDisplayPanel(QStringLiteral("COLBIGP"), QStringLiteral("COLOR"), parent) {}

BigGroupPanel::BigGroupPanel(QWidget* parent)
    : BigDisplayPanel(QStringLiteral("GRPBIGP"), QStringLiteral("GROUP"), parent) {}

}  // namespace drq::gui
