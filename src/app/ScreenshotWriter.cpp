#include "app/ScreenshotWriter.h"

#include <QCoreApplication>

namespace drq::gui {

ScreenshotWriter::ScreenshotWriter(const QDir& dir) : dir_(dir) {}

void ScreenshotWriter::settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

bool ScreenshotWriter::save(QWidget& widget, const QString& name) {
  const QString file = dir_.filePath(name);
  if (!widget.grab().save(file, "PNG")) return false;
  written_.append(file);
  return true;
}

QString ScreenshotWriter::slug(const QString& text) {
  QString out;
  for (const QChar c : text.toLower()) {
    if (c.isLetterOrNumber()) {
      out.append(c);
    } else if (!out.endsWith(QLatin1Char('-'))) {
      out.append(QLatin1Char('-'));
    }
  }
  while (out.endsWith(QLatin1Char('-'))) out.chop(1);
  return out;
}

}  // namespace drq::gui
