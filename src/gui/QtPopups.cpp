#include "gui/QtPopups.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace drq::gui {

QWidget* QtPopups::parentWidget() const {
  if (parent_ && parent_->isVisible()) return parent_;
  return QApplication::activeWindow();
}

void QtPopups::MessagePopup(const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parentWidget());
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

bool QtPopups::ConfirmPopup(const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
                  parentWidget());
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(QMessageBox::No);
  box.setEscapeButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

int QtPopups::GenericMessagePopup(const QString& title, const QString& text,
                                  const QStringList& buttons, int defaultButton, int escapeButton) {
  QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton, parentWidget());
  box.setTextFormat(Qt::PlainText);
  QList<QPushButton*> pushButtons;
  for (const QString& label : buttons) {
    pushButtons.append(box.addButton(label, QMessageBox::ActionRole));
  }
  if (defaultButton >= 1 && defaultButton <= pushButtons.size()) {
    box.setDefaultButton(pushButtons[defaultButton - 1]);
  }
  if (escapeButton >= 1 && escapeButton <= pushButtons.size()) {
    box.setEscapeButton(pushButtons[escapeButton - 1]);
  }
  box.exec();
  const auto index =
      static_cast<int>(pushButtons.indexOf(qobject_cast<QPushButton*>(box.clickedButton())));
  return index >= 0 ? index + 1 : escapeButton;
}

std::optional<QString> QtPopups::PromptPopup(const QString& title, const QString& text,
                                             int maxLength) {
  QDialog dialog(parentWidget());
  dialog.setWindowTitle(title);
  auto* layout = new QVBoxLayout(&dialog);
  auto* label = new QLabel(text, &dialog);
  label->setTextFormat(Qt::PlainText);
  auto* edit = new QLineEdit(&dialog);
  edit->setMaxLength(maxLength);
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(box, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(box, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(label);
  layout->addWidget(edit);
  layout->addWidget(box);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return edit->text();
}

FileSelection QtPopups::FileSelectPopup(const FileSelectRequest& request) {
  const QString start = request.defaultName.isEmpty()
                            ? request.directory
                            : QDir(request.directory).filePath(request.defaultName);
  QFileDialog dialog(parentWidget(), request.title, start, request.filter);
  dialog.setAcceptMode(request.allowNew ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(request.allowNew ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  const QString path = QDir::toNativeSeparators(dialog.selectedFiles().first());
  return FileSelection{QFileInfo::exists(path) ? 1 : 2, path};
}

}  // namespace drq::gui
