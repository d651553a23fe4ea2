#pragma once
// Popups that answer from a script, in order, and record every popup asked
// for: the tests' stand-in for the operator. A popup with no scripted answer
// gets the neutral one (no, the escape button, cancel, nothing chosen) and is
// noted in unscripted(); an answer of the wrong kind is noted in errors().

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "gui/popups/Popups.h"

namespace drq::gui {

enum class PopupKind { Message, Confirm, Choice, Prompt, File };

struct PopupRecord {
  PopupKind kind = PopupKind::Message;
  QString title;
  QString text;
  QStringList buttons;  // Choice only
  int defaultButton = 0;
  int escapeButton = 0;
  FileSelectRequest file;  // File only
};

class ScriptedPopups final : public Popups {
 public:
  // Script the answers of the next popups, in order.
  void answerConfirm(bool yes);
  void answerChoice(int button);
  void answerPrompt(std::optional<QString> text);
  void answerFile(int result, const QString& path);

  // Called with each record while "its popup is open" (before it answers).
  std::function<void(const PopupRecord&)> onPopup;

  const std::vector<PopupRecord>& records() const { return records_; }
  // Records of one kind, in order.
  std::vector<PopupRecord> records(PopupKind kind) const;
  // Texts of all records, in order.
  QStringList texts() const;
  void clearRecords() { records_.clear(); }

  std::size_t pendingAnswers() const { return answers_.size(); }
  int unscripted() const { return unscripted_; }
  const QStringList& errors() const { return errors_; }

  void MessagePopup(const QString& title, const QString& text) override;
  bool ConfirmPopup(const QString& title, const QString& text) override;
  int GenericMessagePopup(const QString& title, const QString& text, const QStringList& buttons,
                          int defaultButton, int escapeButton) override;
  std::optional<QString> PromptPopup(const QString& title, const QString& text,
                                     int maxLength) override;
  FileSelection FileSelectPopup(const FileSelectRequest& request) override;

 private:
  struct Answer {
    PopupKind kind = PopupKind::Message;
    int number = 0;
    bool hasText = false;
    QString text;
  };

  // Records the popup; takes the next answer into `out` when it is of the
  // popup's kind (true), notes the mismatch or the missing answer otherwise.
  bool take(const PopupRecord& record, Answer& out);

  std::deque<Answer> answers_;
  std::vector<PopupRecord> records_;
  int unscripted_ = 0;
  QStringList errors_;
};

}  // namespace drq::gui
