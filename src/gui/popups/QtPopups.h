#pragma once
// Popups shown as real modal dialogs. The message, question and choice
// popups show their text in a scroll area that never lets the popup grow
// beyond the screen's available area: a long list scrolls and the buttons
// stay on the screen. Once a popup has closed, the window it was opened over
// is the active window again, with the focus where it was (ActivationReturn).

#include <QPointer>
#include <QWidget>

#include "gui/popups/Popups.h"

namespace drq::gui {

class QtPopups final : public Popups {
 public:
  // Dialogs are centred over `parent` when it is set (it may be set later).
  explicit QtPopups(QWidget* parent = nullptr) : parent_(parent) {}
  void setParent(QWidget* parent) { parent_ = parent; }

  void MessagePopup(const QString& title, const QString& text) override;
  bool ConfirmPopup(const QString& title, const QString& text) override;
  int GenericMessagePopup(const QString& title, const QString& text, const QStringList& buttons,
                          int defaultButton, int escapeButton) override;
  std::optional<QString> PromptPopup(const QString& title, const QString& text,
                                     int maxLength) override;
  FileSelection FileSelectPopup(const FileSelectRequest& request) override;

 private:
  QWidget* parentWidget() const;
  QPointer<QWidget> parent_;
};

}  // namespace drq::gui
