#include "gui/pages/RecorderPage.h"

#include <QFormLayout>

namespace drq::gui {

RecorderPage::RecorderPage(ShellContext& context, QWidget* parent)
    : TabPage(context, QStringLiteral("RECORDER"), parent),
      fileField_(new QLineEdit(this)),
      idField_(new QLineEdit(this)) {
  setObjectName(QStringLiteral("RecorderPage"));
  fileField_->setObjectName(QStringLiteral("DispRecordFile"));
  fileField_->setReadOnly(true);
  idField_->setObjectName(QStringLiteral("DispRecordID"));
  idField_->setReadOnly(true);

  auto* form = new QFormLayout();
  form->addRow(QStringLiteral("RECORD FILE"), fileField_);
  form->addRow(QStringLiteral("SENSOR ID"), idField_);
  pageLayout()->addLayout(form);
  pageLayout()->addStretch(1);
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
