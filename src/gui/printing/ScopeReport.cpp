#include "gui/printing/ScopeReport.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>
#include <memory>
#include <vector>

namespace drq::gui {

namespace {

QFont footerFont() {
  QFont font;
  font.setFamilies(reportFontFamilies());
  font.setPointSizeF(8.0);
  return font;
}

}  // namespace

QStringList reportFontFamilies() {
  return {QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
          QStringLiteral("Helvetica")};
}

QStringList reportLines(const ScopeReport& report) {
  QStringList lines{QString::fromLatin1(kReportTitle), report.version};
  if (!report.panelId.isEmpty())
    lines << QString::fromLatin1(kReportPanelIdPrefix) + report.panelId;
  lines << QString();
  const QString comment = report.comment.left(kReportCommentMax);
  if (!comment.isEmpty())
    lines << QString::fromLatin1(kReportCommentHeading) << comment << QString();
  return lines;
}

namespace {

// One line of the report's text, laid out and placed on its page.
struct PlacedLine {
  const QTextLayout* layout;
  int line;  // index of the line in its layout
  int page;
  double top;  // in painter coordinates of its page
};

// The report's text paragraphs as laid out lines, `width` wide (a line
// breaks at a word, or anywhere when a word is longer than the width).
std::vector<std::unique_ptr<QTextLayout>> layoutParagraphs(const QStringList& lines,
                                                           QPaintDevice& device, double width) {
  std::vector<std::unique_ptr<QTextLayout>> layouts;
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  for (qsizetype i = 0; i < lines.size(); ++i) {
    QFont font;
    font.setFamilies(reportFontFamilies());
    font.setPointSizeF(i == 0 ? kReportTitlePoints : kReportTextPoints);
    // A multi-line comment keeps its lines.
    QString text = lines[i];
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
      auto layout = std::make_unique<QTextLayout>(paragraph, QFont(font, &device), &device);
      layout->setTextOption(option);
      layout->beginLayout();
      for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLineWidth(width);
      }
      layout->endLayout();
      layouts.push_back(std::move(layout));
    }
  }
  return layouts;
}

}  // namespace

int paintScopeReport(const ScopeReport& report, QPagedPaintDevice& device,
                     const QDateTime& printedAt) {
  QPainter painter;
  if (!painter.begin(&device)) return -1;

  // Painter coordinates: device pixels from the top left corner of the
  // printable area (the paper less its margins), which is device.width() by
  // device.height(). A band at its foot holds the date, the time and the page
  // number; the report fills the rest, page by page.
  const double width = std::max(1, device.width());
  const QFont footFont(footerFont(), &device);
  const QFontMetricsF footMetrics(footFont, &device);
  const double footHeight = footMetrics.height();
  const double bodyHeight = std::max(1.0, device.height() - 2 * footHeight);

  // Every line goes on the page where it fits whole.
  const auto layouts = layoutParagraphs(reportLines(report), device, width);
  std::vector<PlacedLine> placed;
  int page = 0;
  double y = 0;
  for (const auto& layout : layouts) {
    for (int i = 0; i < layout->lineCount(); ++i) {
      const double height = layout->lineAt(i).height();
      if (y > 0 && y + height > bodyHeight) {
        ++page;
        y = 0;
      }
      placed.push_back({layout.get(), i, page, y});
      y += height;
    }
  }

  // The picture follows the text at its size on a 96 dpi screen, narrowed to
  // the page; it starts a new page when the rest of the last one is too short.
  QRectF picture;
  int pictureOnPage = -1;
  if (!report.panel.isNull()) {
    const QSizeF onScreen = report.panel.deviceIndependentSize();
    const double w = onScreen.width() * device.logicalDpiX() / 96.0;
    const double h = onScreen.height() * device.logicalDpiY() / 96.0;
    const double scale = std::min({1.0, width / w, bodyHeight / h});
    picture.setSize(QSizeF(w * scale, h * scale));
    if (y > 0 && y + picture.height() > bodyHeight) {
      ++page;
      y = 0;
    }
    picture.moveTop(y);
    pictureOnPage = page;
  }
  const int pages = page + 1;

  const QLocale locale;
  const QString date = locale.toString(printedAt.date(), QLocale::ShortFormat);
  const QString time = locale.toString(printedAt.time(), QLocale::ShortFormat);
  const QRectF foot(0, device.height() - footHeight, width, footHeight);
  auto next = placed.cbegin();
  for (int p = 0; p < pages; ++p) {
    if (p > 0 && !device.newPage()) return -1;
    painter.setPen(Qt::black);
    for (; next != placed.cend() && next->page == p; ++next) {
      const QTextLine line = next->layout->lineAt(next->line);
      line.draw(&painter, QPointF(-line.x(), next->top - line.y()));
    }
    if (p == pictureOnPage) {
      // Embedded without loss: a lossy encoding rings around the traces.
      painter.setRenderHint(QPainter::LosslessImageRendering);
      painter.setRenderHint(QPainter::SmoothPixmapTransform);
      painter.drawImage(picture, report.panel);
    }
    painter.setFont(footFont);
    painter.drawText(foot, Qt::AlignLeft | Qt::AlignVCenter, date);
    painter.drawText(foot, Qt::AlignHCenter | Qt::AlignVCenter, time);
    painter.drawText(foot, Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("page %1 of %2").arg(p + 1).arg(pages));
  }
  if (!painter.end()) return -1;
  if (auto* printer = dynamic_cast<QPrinter*>(&device);
      printer && printer->printerState() == QPrinter::Error) {
    return -1;
  }
  return pages;
}

}  // namespace drq::gui
