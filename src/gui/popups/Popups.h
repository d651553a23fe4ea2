#pragma once
// The operator dialogs. Every popup of the tool goes through this interface:
// QtPopups shows real modal dialogs, ScriptedPopups answers from a script and
// records what was asked (tests).

#include <QString>
#include <QStringList>

#include <optional>

namespace drq::gui {

// What a file selection popup asks for.
struct FileSelectRequest {
  QString directory;    // starting directory
  QString defaultName;  // proposed file name
  QString filter;       // e.g. "*.ini"
  QString title;
  bool allowNew = true;  // a new file name may be chosen (saving); else only existing files
};

// Result of a file selection: 0 nothing chosen, 1 an existing file, 2 a new
// file name; `path` is the full path (empty for 0).
struct FileSelection {
  int result = 0;
  QString path;
};

class Popups {
 public:
  virtual ~Popups() = default;

  // Shows `text` with an OK button.
  virtual void MessagePopup(const QString& title, const QString& text) = 0;

  // Yes/no question; true for yes. The default answer is no.
  virtual bool ConfirmPopup(const QString& title, const QString& text) = 0;

  // Question with the given buttons (two or more); returns the number of the
  // pressed button, counted from 1. `defaultButton` is pre-selected and
  // `escapeButton` is the answer when the popup is closed otherwise.
  virtual int GenericMessagePopup(const QString& title, const QString& text,
                                  const QStringList& buttons, int defaultButton,
                                  int escapeButton) = 0;

  // Asks for a text of at most `maxLength` characters; nullopt when cancelled.
  virtual std::optional<QString> PromptPopup(const QString& title, const QString& text,
                                             int maxLength) = 0;

  // File selection (see FileSelection).
  virtual FileSelection FileSelectPopup(const FileSelectRequest& request) = 0;
};

}  // namespace drq::gui
