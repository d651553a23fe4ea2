#include "gui/ScriptedPopups.h"

namespace drq::gui {

namespace {

const char* kindName(PopupKind kind) {
  switch (kind) {
    case PopupKind::Message: return "message";
    case PopupKind::Confirm: return "confirm";
    case PopupKind::Choice: return "choice";
    case PopupKind::Prompt: return "prompt";
    case PopupKind::File: return "file";
  }
  return "?";
}

}  // namespace

void ScriptedPopups::answerConfirm(bool yes) {
  answers_.push_back({PopupKind::Confirm, yes ? 1 : 0, std::nullopt});
}

void ScriptedPopups::answerChoice(int button) {
  answers_.push_back({PopupKind::Choice, button, std::nullopt});
}

void ScriptedPopups::answerPrompt(std::optional<QString> text) {
  answers_.push_back({PopupKind::Prompt, 0, std::move(text)});
}

void ScriptedPopups::answerFile(int result, const QString& path) {
  answers_.push_back({PopupKind::File, result, path});
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

std::optional<ScriptedPopups::Answer> ScriptedPopups::take(const PopupRecord& record) {
  records_.push_back(record);
  if (onPopup) onPopup(record);
  if (record.kind == PopupKind::Message) return std::nullopt;
  if (answers_.empty()) {
    ++unscripted_;
    return std::nullopt;
  }
  if (answers_.front().kind != record.kind) {
    errors_.append(QStringLiteral("expected a %1 answer, popup is a %2: %3")
                       .arg(QLatin1String(kindName(answers_.front().kind)),
                            QLatin1String(kindName(record.kind)), record.text));
    return std::nullopt;
  }
  Answer answer = answers_.front();
  answers_.pop_front();
  return answer;
}

void ScriptedPopups::MessagePopup(const QString& title, const QString& text) {
  take(PopupRecord{PopupKind::Message, title, text, {}, 0, 0, {}});
}

bool ScriptedPopups::ConfirmPopup(const QString& title, const QString& text) {
  const auto answer = take(PopupRecord{PopupKind::Confirm, title, text, {}, 0, 0, {}});
  return answer && answer->number != 0;
}

int ScriptedPopups::GenericMessagePopup(const QString& title, const QString& text,
                                        const QStringList& buttons, int defaultButton,
                                        int escapeButton) {
  const auto answer =
      take(PopupRecord{PopupKind::Choice, title, text, buttons, defaultButton, escapeButton, {}});
  return answer ? answer->number : escapeButton;
}

std::optional<QString> ScriptedPopups::PromptPopup(const QString& title, const QString& text,
                                                   int maxLength) {
  const auto answer = take(PopupRecord{PopupKind::Prompt, title, text, {}, 0, 0, {}});
  if (!answer || !answer->text) return std::nullopt;
  return answer->text->left(maxLength);
}

FileSelection ScriptedPopups::FileSelectPopup(const FileSelectRequest& request) {
  const auto answer =
      take(PopupRecord{PopupKind::File, request.title, QString(), {}, 0, 0, request});
  if (!answer) return {};
  return FileSelection{answer->number, answer->text.value_or(QString())};
}

}  // namespace drq::gui
