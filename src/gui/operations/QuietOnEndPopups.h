#pragma once
// The popups every page uses. Once the program is ending (the window was
// closed while an operation ran) nothing more is shown or asked: messages
// are dropped and every question gets its safe answer (no, the escape
// button, cancel, no file), so the running operation unwinds on its own.

#include "gui/operations/Operations.h"
#include "gui/popups/Popups.h"

namespace drq::gui {

class QuietOnEndPopups final : public Popups {
 public:
  QuietOnEndPopups(Popups& shown, const Operations& operations)
      : shown_(shown), operations_(operations) {}

  void MessagePopup(const QString& title, const QString& text) override {
    if (!operations_.ending()) shown_.MessagePopup(title, text);
  }
  bool ConfirmPopup(const QString& title, const QString& text) override {
    return !operations_.ending() && shown_.ConfirmPopup(title, text);
  }
  int GenericMessagePopup(const QString& title, const QString& text, const QStringList& buttons,
                          int defaultButton, int escapeButton) override {
    if (operations_.ending()) return escapeButton;
    return shown_.GenericMessagePopup(title, text, buttons, defaultButton, escapeButton);
  }
  std::optional<QString> PromptPopup(const QString& title, const QString& text,
                                     int maxLength) override {
    if (operations_.ending()) return std::nullopt;
    return shown_.PromptPopup(title, text, maxLength);
  }
  FileSelection FileSelectPopup(const FileSelectRequest& request) override {
    if (operations_.ending()) return {};
    return shown_.FileSelectPopup(request);
  }

 private:
  Popups& shown_;
  const Operations& operations_;
};

}  // namespace drq::gui
