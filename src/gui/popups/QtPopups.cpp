#include "gui/popups/QtPopups.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

#include <span>
#include <vector>

#include "gui/widgets/ActivationReturn.h"
#include "gui/widgets/Mnemonics.h"

namespace drq::gui {

namespace {

// Room left around a popup for the window manager's title bar and frame.
constexpr int kWindowFrameAllowance = 64;

// What the icon beside a popup's text tells a screen reader.
QString iconName(QStyle::StandardPixmap icon) {
  switch (icon) {
    case QStyle::SP_MessageBoxWarning:
      return QStringLiteral("warning");
    case QStyle::SP_MessageBoxCritical:
      return QStringLiteral("error");
    case QStyle::SP_MessageBoxQuestion:
      return QStringLiteral("question");
    default:
      return QStringLiteral("information");
  }
}

// A popup's text with its buttons. The text is plain and selectable; it sits
// in a scroll area that is as large as the text, but never so large that the
// popup would leave the screen: a longer text scrolls.
class TextPopup {
 public:
  // `icon`: QStyle::SP_CustomBase for none.
  TextPopup(QWidget* parent, const QString& title, const QString& text, QStyle::StandardPixmap icon)
      : dialog_(parent), buttons_(new QDialogButtonBox(&dialog_)) {
    dialog_.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&dialog_);
    auto* row = new QHBoxLayout();
    if (icon != QStyle::SP_CustomBase) {
      auto* iconLabel = new QLabel(&dialog_);
      const QStyle* style = dialog_.style();
      const int side = style->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &dialog_);
      iconLabel->setPixmap(style->standardIcon(icon, nullptr, &dialog_).pixmap(side, side));
      iconLabel->setAccessibleName(iconName(icon));
      row->addWidget(iconLabel, 0, Qt::AlignTop);
    }
    label_ = new QLabel(text);
    label_->setObjectName(QStringLiteral("PopupText"));
    label_->setTextFormat(Qt::PlainText);
    label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    scroll_ = new QScrollArea(&dialog_);
    scroll_->setObjectName(QStringLiteral("PopupTextArea"));
    scroll_->setAccessibleName(QStringLiteral("message"));
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    scroll_->setWidget(label_);
    row->addWidget(scroll_, 1);
    layout->addLayout(row);
    layout->addWidget(buttons_);
    QObject::connect(buttons_, &QDialogButtonBox::clicked, &dialog_,
                     [this](QAbstractButton* button) {
                       clicked_ = button;
                       dialog_.accept();
                     });
  }

  QPushButton* addButton(QDialogButtonBox::StandardButton which) {
    return buttons_->addButton(which);
  }
  QPushButton* addButton(const QString& text) {
    return buttons_->addButton(text, QDialogButtonBox::ActionRole);
  }
  void setDefault(QPushButton* button) {
    for (QPushButton* b : buttons_->findChildren<QPushButton*>()) b->setAutoDefault(false);
    if (button) {
      button->setDefault(true);
      button->setFocus();
    }
  }

  // Shows the popup modally. The button pressed, or nullptr when it was
  // closed otherwise (Escape, the window's close button).
  QAbstractButton* exec() {
    // Each button its letter (Alt and the letter presses it), as in the window.
    const QList<QAbstractButton*> buttons = buttons_->buttons();
    const std::vector<QAbstractButton*> own(buttons.begin(), buttons.end());
    assignMnemonics({}, std::span(&own, 1), {});
    fitToScreen();
    dialog_.exec();
    return clicked_;
  }

 private:
  void fitToScreen() {
    const QScreen* screen = dialog_.parentWidget() ? dialog_.parentWidget()->screen()
                                                   : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QSize available =
        screen->availableGeometry().size() - QSize(kWindowFrameAllowance, kWindowFrameAllowance);
    dialog_.layout()->activate();
    const QSize around = dialog_.sizeHint() - scroll_->sizeHint();
    const QSize room = (available - around).expandedTo(QSize(1, 1));
    const int bar = dialog_.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    QSize want = label_->sizeHint();
    const bool tooTall = want.height() > room.height();
    if (tooTall) want.rwidth() += bar;
    const bool tooWide = want.width() > room.width();
    if (tooWide) want.rheight() += bar;
    // A scroll bar only where the text does not fit.
    scroll_->setVerticalScrollBarPolicy(
        tooTall || want.height() > room.height() ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    scroll_->setHorizontalScrollBarPolicy(tooWide ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    // A Tab stop only where the arrow keys have something to scroll.
    scroll_->setFocusPolicy(tooTall || tooWide ? Qt::StrongFocus : Qt::NoFocus);
    scroll_->setMinimumSize(want.boundedTo(room));
    dialog_.setMaximumSize(available);
    dialog_.adjustSize();
  }

  QDialog dialog_;
  QDialogButtonBox* buttons_;
  QLabel* label_ = nullptr;
  QScrollArea* scroll_ = nullptr;
  QAbstractButton* clicked_ = nullptr;
};

}  // namespace

QWidget* QtPopups::parentWidget() const {
  if (parent_ && parent_->isVisible()) return parent_;
  return QApplication::activeWindow();
}

void QtPopups::MessagePopup(const QString& title, const QString& text) {
  const ActivationReturn keyboardBack(parentWidget());
  TextPopup popup(parentWidget(), title, text, QStyle::SP_CustomBase);
  popup.setDefault(popup.addButton(QDialogButtonBox::Ok));
  popup.exec();
}

bool QtPopups::ConfirmPopup(const QString& title, const QString& text) {
  const ActivationReturn keyboardBack(parentWidget());
  TextPopup popup(parentWidget(), title, text, QStyle::SP_MessageBoxQuestion);
  QPushButton* yes = popup.addButton(QDialogButtonBox::Yes);
  popup.setDefault(popup.addButton(QDialogButtonBox::No));
  return popup.exec() == yes;  // closed otherwise: no
}

int QtPopups::GenericMessagePopup(const QString& title, const QString& text,
                                  const QStringList& buttons, int defaultButton, int escapeButton) {
  const ActivationReturn keyboardBack(parentWidget());
  TextPopup popup(parentWidget(), title, text, QStyle::SP_MessageBoxWarning);
  QList<QPushButton*> pushButtons;
  for (const QString& label : buttons) pushButtons.append(popup.addButton(label));
  if (defaultButton >= 1 && defaultButton <= pushButtons.size()) {
    popup.setDefault(pushButtons[defaultButton - 1]);
  }
  const auto index =
      static_cast<int>(pushButtons.indexOf(qobject_cast<QPushButton*>(popup.exec())));
  return index >= 0 ? index + 1 : escapeButton;
}

std::optional<QString> QtPopups::PromptPopup(const QString& title, const QString& text,
                                             int maxLength) {
  const ActivationReturn keyboardBack(parentWidget());
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
  const ActivationReturn keyboardBack(parentWidget());
  QFileDialog dialog(parentWidget(), request.title, start, request.filter);
  dialog.setAcceptMode(request.allowNew ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(request.allowNew ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  const QString path = QDir::toNativeSeparators(dialog.selectedFiles().first());
  return FileSelection{QFileInfo::exists(path) ? 1 : 2, path};
}

}  // namespace drq::gui
