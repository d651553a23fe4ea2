#include "gui/charts/ChartExport.h"

#include <qcustomplot.h>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPixmap>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

#include "gui/common/Texts.h"
#include "gui/widgets/KeyRoute.h"

namespace drq::gui {

namespace {

QString suffix(ChartFormat format) {
  return format == ChartFormat::Png ? QStringLiteral("png") : QStringLiteral("pdf");
}

QString writePdf(QCustomPlot& chart, QSaveFile& file, int width, int height) {
  QPdfWriter writer(&file);
  writer.setCreator(QStringLiteral("DRQ Scope"));
  writer.setTitle(QFileInfo(file.fileName()).completeBaseName());
  writer.setPageLayout(QPageLayout(
      QPageSize(QSizeF(width, height), QPageSize::Point, QString(), QPageSize::ExactMatch),
      QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
  QCPPainter painter;
  if (!painter.begin(&writer)) return QStringLiteral("The PDF could not be started.");
  painter.setMode(QCPPainter::pmVectorized);
  painter.setMode(QCPPainter::pmNoCaching);
  painter.setWindow(0, 0, width, height);
  chart.toPainter(&painter, width, height);
  painter.end();
  return {};
}

}  // namespace

QString defaultChartFileName(const QString& baseName, ChartFormat format, const QDateTime& when) {
  QString name = baseName.trimmed();
  // Characters that some file systems or shells do not take.
  static const QString kUnsafe = QStringLiteral("/\\:*?\"<>|");
  for (QChar& c : name)
    if (kUnsafe.contains(c) || c.unicode() < 0x20) c = QLatin1Char('-');
  if (name.isEmpty()) name = QStringLiteral("chart");
  return name + QLatin1Char(' ') + when.toString(QStringLiteral("yyyy-MM-dd hh-mm-ss")) +
         QLatin1Char('.') + suffix(format);
}

QString saveChart(QCustomPlot& chart, const QString& path, ChartFormat format) {
  const int width = std::max(chart.width(), 1);
  const int height = std::max(chart.height(), 1);
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return file.errorString();
  if (format == ChartFormat::Png) {
    const double scale = std::max(2.0, chart.devicePixelRatioF());
    const QPixmap picture = chart.toPixmap(width, height, scale);
    if (picture.isNull() || !picture.save(&file, "PNG")) {
      file.cancelWriting();
      return QStringLiteral("The picture could not be written.");
    }
  } else if (const QString failure = writePdf(chart, file, width, height); !failure.isEmpty()) {
    file.cancelWriting();
    return failure;
  }
  if (!file.commit()) return file.errorString();
  return {};
}

ChartExport::ChartExport(QCustomPlot* chart, Popups& popups, const QString& helpText,
                         const QString& baseName, const QString& directory)
    : QObject(chart),
      chart_(chart),
      popups_(popups),
      help_(helpText),
      baseName_(baseName),
      directory_(directory),
      menu_(new QMenu(chart)) {
  setObjectName(QStringLiteral("ChartExport"));
  menu_->setObjectName(QStringLiteral("ChartMenu"));
  menu_->setAccessibleName(baseName + QStringLiteral(" menu"));
  QAction* help = menu_->addAction(QStringLiteral("&Help"));
  help->setObjectName(QStringLiteral("MenuHelp"));
  connect(help, &QAction::triggered, this,
          [this] { popups_.MessagePopup(QString::fromLatin1(kTitleInfo), help_); });
  menu_->addSeparator();
  QAction* png = menu_->addAction(QStringLiteral("Save as &PNG..."));
  png->setObjectName(QStringLiteral("MenuSavePng"));
  connect(png, &QAction::triggered, this, [this] { saveAs(ChartFormat::Png); });
  QAction* pdf = menu_->addAction(QStringLiteral("Save as P&DF..."));
  pdf->setObjectName(QStringLiteral("MenuSavePdf"));
  connect(pdf, &QAction::triggered, this, [this] { saveAs(ChartFormat::Pdf); });

  chart->setToolTip(helpText);
  if (chart->accessibleName().isEmpty()) chart->setAccessibleName(baseName);
  // The keyboard reaches the menu as the mouse does: Tab to the chart, then
  // the menu key or Shift+F10; UI automation through the chart's action.
  addKeyRoute(*chart, QAccessibleActionInterface::showMenuAction(), {},
              QStringLiteral("the chart's menu: help, save as PNG or PDF"),
              [this] { showMenu(chart_->mapToGlobal(chart_->rect().center())); });
  chart->installEventFilter(this);
  for (QWidget* child : chart->findChildren<QWidget*>())
    if (child != menu_ && !menu_->isAncestorOf(child)) child->installEventFilter(this);
}

bool ChartExport::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() != Qt::RightButton) return false;
      // The right button never reaches the chart; its release opens the menu.
      if (event->type() == QEvent::MouseButtonRelease) showMenu(mouse->globalPosition().toPoint());
      return true;
    }
    case QEvent::ContextMenu: {
      auto* request = static_cast<QContextMenuEvent*>(event);
      if (request->reason() == QContextMenuEvent::Keyboard)
        showMenu(chart_->mapToGlobal(chart_->rect().center()));
      return true;
    }
    case QEvent::KeyPress: {
      // Shift+F10, the other context-menu key, no platform turns into one.
      const auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() != Qt::Key_F10 ||
          (key->modifiers() & ~Qt::KeypadModifier) != Qt::ShiftModifier)
        return false;
      showMenu(chart_->mapToGlobal(chart_->rect().center()));
      return true;
    }
    default:
      return QObject::eventFilter(watched, event);
  }
}

void ChartExport::showMenu(const QPoint& globalPosition) {
  menu_->popup(globalPosition);
  menu_->setActiveAction(menu_->actions().value(0));  // Help, as the key's first answer
}

bool ChartExport::saveAs(ChartFormat format) {
  if (directory_.isEmpty() || !QFileInfo(directory_).isDir()) {
    directory_ = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (directory_.isEmpty() || !QFileInfo(directory_).isDir()) directory_ = QDir::homePath();
  }
  const QString ext = suffix(format);
  FileSelectRequest request;
  request.directory = directory_;
  request.defaultName = defaultChartFileName(baseName_, format, QDateTime::currentDateTime());
  request.filter = QStringLiteral("*.") + ext;
  request.title = QStringLiteral("Save %1 as %2").arg(baseName_, ext.toUpper());
  request.allowNew = true;
  const FileSelection chosen = popups_.FileSelectPopup(request);
  if (chosen.result == 0 || chosen.path.isEmpty()) return false;
  QString path = chosen.path;
  if (QFileInfo(path).suffix().compare(ext, Qt::CaseInsensitive) != 0)
    path += QLatin1Char('.') + ext;
  if (QFileInfo::exists(path) &&
      !popups_.ConfirmPopup(
          QString::fromLatin1(kTitleAttention),
          QStringLiteral("%1\nexists already. Replace it?").arg(QDir::toNativeSeparators(path)))) {
    return false;
  }
  if (const QString failure = saveChart(*chart_, path, format); !failure.isEmpty()) {
    popups_.MessagePopup(QString::fromLatin1(kTitleAttention),
                         QStringLiteral("The chart could not be saved as\n%1\n%2")
                             .arg(QDir::toNativeSeparators(path), failure));
    return false;
  }
  directory_ = QFileInfo(path).absolutePath();
  return true;
}

ChartExport* installChartMenu(QCustomPlot* chart, Popups& popups, const QString& helpText,
                              const QString& baseName, const QString& directory) {
  return new ChartExport(chart, popups, helpText, baseName, directory);
}

}  // namespace drq::gui
