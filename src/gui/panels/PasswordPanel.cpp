#include "gui/panels/PasswordPanel.h"

#include <QHideEvent>
#include <QLabel>
#include <QProxyStyle>
#include <QVBoxLayout>

#include "gui/common/Texts.h"

namespace drq::gui {

namespace {

constexpr const char* kPassword = "qortal";
constexpr const char* kWrongPassword = "Wrong password. \nPlease try again.";

// Shows every character of a password field as "*".
class StarPasswordStyle final : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == SH_LineEdit_PasswordCharacter) return '*';
    if (hint == SH_LineEdit_PasswordMaskDelay) return 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
};

}  // namespace

PasswordPanel::PasswordPanel(Popups& popups, QWidget* parent)
    : QDialog(parent), popups_(popups), field_(new QLineEdit(this)) {
  setObjectName(QStringLiteral("PASSWORDP"));
  setWindowTitle(QStringLiteral("PASSWORD"));
  setModal(true);
  field_->setObjectName(QStringLiteral("StringEnterPW"));
  field_->setMaxLength(kMaxLength);
  field_->setEchoMode(QLineEdit::Password);
  auto* style = new StarPasswordStyle();
  style->setParent(field_);
  field_->setStyle(style);
  auto* layout = new QVBoxLayout(this);
  auto* caption = new QLabel(QStringLiteral("ENTER PASSWORD"), this);
  caption->setBuddy(field_);
  layout->addWidget(caption);
  layout->addWidget(field_);
  connect(field_, &QLineEdit::returnPressed, this, &PasswordPanel::CBF_StringEnterPW);
  resize(260, 90);
}

void PasswordPanel::openPopup() {
  field_->clear();
  if (!isVisible()) keyboardBack_.emplace(parentWidget());
  setWindowModality(Qt::ApplicationModal);
  show();
  raise();
  activateWindow();
  field_->setFocus();
}

void PasswordPanel::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  if (!event->spontaneous()) keyboardBack_.reset();
}

void PasswordPanel::CBF_StringEnterPW() {
  if (field_->text() == QLatin1String(kPassword)) {
    hide();
    emit unlocked();
    return;
  }
  popups_.MessagePopup(QString::fromLatin1(kTitleAttention), QString::fromLatin1(kWrongPassword));
  field_->clear();
}

}  // namespace drq::gui
