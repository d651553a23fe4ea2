#pragma once
// Grabs of widgets written as PNG files into one directory: the tool the
// screenshot steps (Screenshots.cpp, TeachPanelShots.cpp) share.

#include <QDir>
#include <QString>
#include <QStringList>
#include <QWidget>

namespace drq::gui {

// Writes grabs of widgets as PNG files into one directory.
class ScreenshotWriter {
 public:
  explicit ScreenshotWriter(const QDir& dir);
  // Lets pending layout and paint events run (the widgets are not shown to
  // an operator, so there is no input to keep out).
  static void settle();
  // Grabs `widget` into the file `name`; false when it could not be written.
  bool save(QWidget& widget, const QString& name);
  const QDir& directory() const { return dir_; }
  // The files written so far.
  const QStringList& written() const { return written_; }
  // `text` as a file-name part: lower case, letters and digits, '-' between.
  static QString slug(const QString& text);

 private:
  QDir dir_;
  QStringList written_;
};

}  // namespace drq::gui
