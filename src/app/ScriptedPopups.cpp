#include "app/ScriptedPopups.h"

namespace drq::gui {

namespace {

const char* kindName(PopupKind kind) {
  switch (kind) {
    case PopupKind::Message:
      return "message";
    case PopupKind::Confirm:
      return "confirm";
    case PopupKind::Choice:
      return "choice";
    case PopupKind::Prompt:
      return "prompt";
    case PopupKind::File:
      return "file";
  }
  return "?";
}

}  // namespace

void ScriptedPopups::answerConfirm(bool yes) {
  answers_.push_back({PopupKind::Confirm, yes ? 1 : 0, false, {}});
}

void ScriptedPopups::answerChoice(int button) {
  answers_.push_back({PopupKind::Choice, button, false, {}});
}

void ScriptedPopups::answerPrompt(std::optional<QString> text) {
  answers_.push_back({PopupKind::Prompt, 0, text.has_value(), text.value_or(QString())});
}

void ScriptedPopups::answerFile(int result, const QString& path) {
  answers_.push_back({PopupKind::File, result, true, path});
}

std::vector<PopupRecord> ScriptedPopups::records(PopupKind kind) const {
  std::vector<PopupRecord> out;
  for (const auto& record : records_) {
    if (record.kind == kind) out.push_back(record);
  }
  return out;
}

QStringList ScriptedPopups::texts() const {
  QStringList out;
  for (const auto& record : records_) out.append(record.text);
  return out;
}

bool ScriptedPopups::take(const PopupRecord& record, Answer& out) {
  records_.push_back(record);
  if (onPopup) onPopup(record);
  if (record.kind == PopupKind::Message) return false;
  if (answers_.empty()) {
    ++unscripted_;
    return false;
  }
  if (answers_.front().kind != record.kind) {
    errors_.append(QStringLiteral("expected a %1 answer, popup is a %2: %3")
                       .arg(QLatin1String(kindName(answers_.front().kind)),
                            QLatin1String(kindName(record.kind)), record.text));
    return false;
  }
  out = answers_.front();
  answers_.pop_front();
  return true;
}

void ScriptedPopups::MessagePopup(const QString& title, const QString& text) {
  Answer unused;
  take(PopupRecord{PopupKind::Message, title, text, {}, 0, 0, {}}, unused);
}

bool ScriptedPopups::ConfirmPopup(const QString& title, const QString& text) {
  Answer answer;
  return take(PopupRecord{PopupKind::Confirm, title, text, {}, 0, 0, {}}, answer) &&
         answer.number != 0;
}

int ScriptedPopups::GenericMessagePopup(const QString& title, const QString& text,
                                        const QStringList& buttons, int defaultButton,
                                        int escapeButton) {
  Answer answer;
  if (!take(PopupRecord{PopupKind::Choice, title, text, buttons, defaultButton, escapeButton, {}},
            answer)) {
    return escapeButton;
  }
  return answer.number;
}

std::optional<QString> ScriptedPopups::PromptPopup(const QString& title, const QString& text,
                                                   int maxLength) {
  Answer answer;
  if (!take(PopupRecord{PopupKind::Prompt, title, text, {}, 0, 0, {}}, answer) || !answer.hasText) {
    return std::nullopt;
  }
  return answer.text.left(maxLength);
}

FileSelection ScriptedPopups::FileSelectPopup(const FileSelectRequest& request) {
  Answer answer;
  if (!take(PopupRecord{PopupKind::File, request.title, QString(), {}, 0, 0, request}, answer)) {
    return {};
  }
  return FileSelection{answer.number, answer.text};
}

}  // namespace drq::gui
