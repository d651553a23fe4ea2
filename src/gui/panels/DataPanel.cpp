#include "gui/panels/DataPanel.h"

#include <QGridLayout>
#include <QTabBar>
#include <QVBoxLayout>

#include "gui/Help.h"
#include "gui/Texts.h"

namespace drq::gui {

namespace {
constexpr const char* kHelpStatus =
    "Displays the state of the sensor connection. \nA right double click clears the message box "
    "of the connection panel.";
}

DataPanel::DataPanel(ShellContext& context, QWidget* parent)
    : QWidget(parent),
      statusLabel_(new QLabel(QStringLiteral("SENSOR STATUS"), this)),
      status_(new QLineEdit(this)),
      targetLabel_(new QLabel(QStringLiteral("COM PORT"), this)),
      comPort_(new QLineEdit(this)),
      address_(new QLineEdit(this)),
      pages_(new QTabWidget(this)) {
  setObjectName(QStringLiteral("DATAP"));
  statusLabel_->setObjectName(QStringLiteral("DispStatusLabel"));
  status_->setObjectName(QStringLiteral("DispStatus"));
  status_->setReadOnly(true);
  status_->setFocusPolicy(Qt::NoFocus);
  installHelpWithRightDoubleClick(status_, context.popups, QString::fromLatin1(kHelpStatus),
                                  [this] { emit clearMessagesRequested(); });

  comPort_->setObjectName(QStringLiteral("DispComPort"));
  address_->setObjectName(QStringLiteral("DispIpAddress"));
  for (QLineEdit* field : {comPort_, address_}) {
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::NoFocus);
  }
  address_->hide();

  pages_->setObjectName(QStringLiteral("TabDataP1"));
  pages_->addTab(new QWidget(), QStringLiteral("RGB"));
  pages_->addTab(new QWidget(), QStringLiteral("INTENSITY"));
  pages_->addTab(new QWidget(), QStringLiteral("2D GRAPH"));
  pages_->addTab(new QWidget(), QStringLiteral("3D GRAPH"));
  for (int i = 0; i < pages_->count(); ++i) pages_->widget(i)->setLayout(new QVBoxLayout());
  installHelp(pages_->tabBar(), context.popups, QString::fromLatin1(kHelpSelectTab));

  auto* statusRow = new QGridLayout();
  statusRow->addWidget(statusLabel_, 0, 0);
  statusRow->addWidget(targetLabel_, 0, 1);
  statusRow->addWidget(status_, 1, 0);
  statusRow->addWidget(comPort_, 1, 1);
  statusRow->addWidget(address_, 1, 1);
  statusRow->setColumnStretch(0, 3);
  statusRow->setColumnStretch(1, 2);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addLayout(statusRow);
  layout->addWidget(pages_, 1);
}

void DataPanel::setStatus(const QString& value) {
  status_->setText(value);
  status_->setCursorPosition(0);
}

void DataPanel::setStatusLabel(const QString& label) {
  statusLabel_->setText(label);
}

void DataPanel::showLinkTarget(bool serial, const QString& comPort, const QString& address) {
  comPort_->setText(comPort);
  address_->setText(address);
  comPort_->setVisible(serial);
  address_->setVisible(!serial);
  targetLabel_->setText(serial ? QStringLiteral("COM PORT") : QStringLiteral("SERVER"));
}

}  // namespace drq::gui
