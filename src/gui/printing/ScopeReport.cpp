#include "gui/printing/ScopeReport.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

namespace drq::gui {

namespace {

QTextCharFormat textFormat(double points) {
  QTextCharFormat format;
  format.setFontFamilies(reportFontFamilies());
  format.setFontPointSize(points);
  format.setForeground(Qt::black);
  return format;
}

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

int paintScopeReport(const ScopeReport& report, QPagedPaintDevice& device,
                     const QDateTime& printedAt) {
  QPainter painter;
  if (!painter.begin(&device)) return -1;

  // Page geometry in device pixels: the printable area, less a band at the
  // foot for the date, the time and the page number.
  const int dpi = device.logicalDpiY();
  const QRect paper = device.pageLayout().paintRectPixels(device.logicalDpiX());
  const QFont footFont(footerFont(), &device);
  const QFontMetrics footMetrics(footFont, &device);
  const int footHeight = footMetrics.height() * 2;
  const QSizeF page(paper.width(), std::max(1, paper.height() - footHeight));

  QTextDocument document;
  document.documentLayout()->setPaintDevice(&device);
  document.setPageSize(page);
  document.setDocumentMargin(0);
  QTextCursor cursor(&document);
  const QStringList lines = reportLines(report);
  for (qsizetype i = 0; i < lines.size(); ++i) {
    if (i > 0) cursor.insertBlock(QTextBlockFormat());
    const double points = i == 0 ? kReportTitlePoints : kReportTextPoints;
    cursor.setBlockCharFormat(textFormat(points));
    cursor.insertText(lines[i], textFormat(points));
  }
  // The picture follows the text, at its size on a 96 dpi screen, narrowed
  // to the page; it starts a new page when the rest of the last one is too
  // short.
  QAbstractTextDocumentLayout* layout = document.documentLayout();
  const int textPages = std::max(1, document.pageCount());
  const double textBottom =
      layout->blockBoundingRect(document.lastBlock()).bottom() - (textPages - 1) * page.height();
  QRectF picture;
  int pictureOnPage = -1;
  if (!report.panel.isNull()) {
    const double width = report.panel.width() * dpi / 96.0;
    const double height = report.panel.height() * dpi / 96.0;
    const double scale = std::min({1.0, page.width() / width, page.height() / height});
    picture.setSize(QSizeF(width * scale, height * scale));
    if (textBottom + picture.height() <= page.height()) {
      pictureOnPage = textPages - 1;
      picture.moveTop(textBottom);
    } else {
      pictureOnPage = textPages;
    }
  }
  const int pages = std::max(textPages, pictureOnPage + 1);

  const QLocale locale;
  const QString date = locale.toString(printedAt.date(), QLocale::ShortFormat);
  const QString time = locale.toString(printedAt.time(), QLocale::ShortFormat);
  for (int p = 0; p < pages; ++p) {
    if (p > 0 && !device.newPage()) return -1;
    painter.save();
    painter.translate(paper.left(), paper.top() - p * page.height());
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = QRectF(0, p * page.height(), page.width(), page.height());
    context.palette.setColor(QPalette::Text, Qt::black);
    painter.setClipRect(context.clip);
    if (p < textPages) layout->draw(&painter, context);
    painter.restore();
    if (p == pictureOnPage) {
      painter.drawImage(picture.translated(paper.left(), paper.top()), report.panel);
    }

    const QRect foot(paper.left(), paper.bottom() - footMetrics.height(), paper.width(),
                     footMetrics.height());
    painter.setFont(footFont);
    painter.setPen(Qt::black);
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
