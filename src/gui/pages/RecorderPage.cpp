#include "gui/pages/RecorderPage.h"

#include <QFormLayout>
#include <QHBoxLayout>

#include "gui/Help.h"

namespace drq::gui {

namespace {
constexpr const char* kHelpShowGraph =
    "Shows the signal graph of the recorded measurements in the display area.";
}

RecorderPage::RecorderPage(ShellContext& context, QWidget* parent)
    : TabPage(context, QStringLiteral("RECORDER"), parent),
      fileField_(new QLineEdit(this)),
      idField_(new QLineEdit(this)),
      showGraph_(new QPushButton(QStringLiteral("SHOW GRAPH"), this)) {
  setObjectName(QStringLiteral("RecorderPage"));
  fileField_->setObjectName(QStringLiteral("DispRecordFile"));
  fileField_->setReadOnly(true);
  idField_->setObjectName(QStringLiteral("DispRecordID"));
  idField_->setReadOnly(true);

  auto* form = new QFormLayout();
  form->addRow(QStringLiteral("RECORD FILE"), fileField_);
  form->addRow(QStringLiteral("SENSOR ID"), idField_);
  pageLayout()->addLayout(form);

  showGraph_->setObjectName(QStringLiteral("ButtonShowGraph"));
  installHelp(showGraph_, context.popups, QString::fromLatin1(kHelpShowGraph));
  connect(showGraph_, &QPushButton::clicked, this, &RecorderPage::CBF_ButtonShowGraph);
  auto* buttons = new QHBoxLayout();
  buttons->addWidget(showGraph_);
  buttons->addStretch(1);
  pageLayout()->addLayout(buttons);
  pageLayout()->addStretch(1);
}

void RecorderPage::CBF_ButtonShowGraph() {
  context().panels.ShowChildPanelDisp(ChildPanel::GRAPHP);
}

void RecorderPage::showRecordFile(const QString& path) {
  fileField_->setText(path);
  fileField_->setCursorPosition(0);
}

void RecorderPage::setSensorId(const QString& text) {
  idField_->setText(text);
}

void RecorderPage::prepareOnActivation() {}

}  // namespace drq::gui
