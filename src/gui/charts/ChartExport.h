#pragma once
// Saving a chart as a picture, and the right-click menu that offers it.
//
// A chart with this menu shows, on a right click (or, once Tab has reached
// it, the keyboard's menu key or Shift+F10; or its accessible "ShowMenu"
// action), a menu whose first entry is its help, followed by "Save as
// PNG..." and "Save as PDF...". It replaces installHelp() on that chart: the
// help stays one click further, and is still the chart's tooltip.
//
//   installChartMenu(chart, popups, helpText, QStringLiteral("RGB chart"));

#include <QDateTime>
#include <QObject>
#include <QString>

#include "gui/popups/Popups.h"

class QCustomPlot;
class QMenu;

namespace drq::gui {

enum class ChartFormat { Png, Pdf };

// "<baseName> <yyyy-MM-dd hh-mm-ss>.png" (or .pdf): file-name safe, sorted by
// time, never colliding with the save a second earlier.
QString defaultChartFileName(const QString& baseName, ChartFormat format, const QDateTime& when);

// Writes `chart` as shown (its current size) to `path`, replacing a file
// there atomically. PNG at twice the screen's device pixel ratio or more
// (sharp in documents and at a scale factor of 2), PDF as vectors. Returns
// an empty string, or the reason it failed.
QString saveChart(QCustomPlot& chart, const QString& path, ChartFormat format);

class ChartExport final : public QObject {
  Q_OBJECT
 public:
  // Installs the menu on `chart` (child of it). `baseName` names the default
  // files ("RGB chart") and is the chart's accessible name unless it has
  // one; `directory` is where the first save is proposed
  // (empty: the user's pictures folder); later saves propose the last one.
  ChartExport(QCustomPlot* chart, Popups& popups, const QString& helpText, const QString& baseName,
              const QString& directory = QString());

  QMenu* menu() const { return menu_; }
  QString baseName() const { return baseName_; }

  // Asks for a file (proposing the default name), confirms replacing an
  // existing one, saves, and reports a failure under "ATTENTION!". Returns
  // true when a file was written.
  bool saveAs(ChartFormat format);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void showMenu(const QPoint& globalPosition);

  QCustomPlot* chart_;
  Popups& popups_;
  QString help_;
  QString baseName_;
  QString directory_;
  QMenu* menu_;
};

// new ChartExport(chart, ...): the chart owns it.
ChartExport* installChartMenu(QCustomPlot* chart, Popups& popups, const QString& helpText,
                              const QString& baseName, const QString& directory = QString());

}  // namespace drq::gui
