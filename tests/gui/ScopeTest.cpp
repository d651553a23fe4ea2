#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QMenu>
#include <QPageLayout>
#include <QPageSize>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/ScriptedPopups.h"
#include "core/Session.h"
#include "core/ToolFiles.h"
#include "core/scope/ScopeMath.h"
#include "gui/PanelDriver.h"
#include "gui/common/ShellContext.h"
#include "gui/common/Texts.h"
#include "gui/operations/ButtonDimmer.h"
#include "gui/pages/ScopePage.h"
#include "gui/panels/ScopeGraphPanel.h"
#include "gui/panels/ScopePlot.h"
#include "gui/popups/Help.h"
#include "gui/printing/ScopeReport.h"
#include "gui/widgets/ValueRing.h"
#include "link/LinkSetup.h"
#include "sim/EmbeddedSensor.h"
#include "support/TempDir.h"

namespace drq::gui {
namespace {

// The window as the scope page sees it: the child-panel switch and the
// parameter page's calculation mode.
class FakeScopeHost final : public ScopeHost, public ChildPanelSwitch {
 public:
  std::uint16_t calculationMode() const override { return calcMode; }
  void ShowChildPanelDisp(ChildPanel panel) override {
    shown = panel;
    if (panel == ChildPanel::SCOPEP) ++scopeShown;
    if (panel == ChildPanel::DATAP) ++displayShown;
  }
  ChildPanel currentChildPanel() const override { return shown; }
  ChildPanel shown = ChildPanel::DATAP;
  int scopeShown = 0;
  int displayShown = 0;
  std::uint16_t calcMode = 0;
};

// The scope page and SCOPEP, attached to each other, with the virtual sensor
// on a loopback port.
class Scope : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sensor.start());
    sensor.model().setNoise(0);
    LinkState& state = session.link.state();
    state.protocol = kProtocolTcp;
    state.serverAddress = "127.0.0.1";
    state.serverPort = sensor.port();
    ASSERT_GE(InitTCP_IP(session.link), 0);
    state.linkUp = true;
    session.programDir = dir.path();
    panel.resize(640, 420);
    page.attach(panel, host);
    page.registerOperationButtons(operations.dimmer());
  }

  // Runs SCAN; `whileRunning` is called once the sensor accepted the capture.
  void scan(std::function<void()> whileRunning = {}) {
    auto watch = session.scope.captureRunning.subscribe([&](std::uint16_t v) {
      if (v != 0 && whileRunning) QTimer::singleShot(0, &page, whileRunning);
    });
    QTest::mouseClick(&page.scanButton(), Qt::LeftButton);
  }

  void rightClick(QWidget* w) {
    QTest::mouseClick(w, Qt::RightButton, Qt::NoModifier, QPoint(4, 4));
  }

  drq::test::TempDir dir;
  sim::EmbeddedSensor sensor;
  Session session;
  ScriptedPopups popups;
  Operations operations{session.RunFlag, session.link};
  FakeScopeHost host;
  ShellContext context{session, popups, operations, host};
  ScopeGraphPanel panel{context};
  ScopePage page{context};
};

// A right click on any control of the page and the panel shows one help and
// sends nothing. (The texts: HelpTextsGoldenTest.)
TEST_F(Scope, ARightClickOnAnyControlOnlyShowsItsHelp) {
  const std::vector<QWidget*> controls = {
      &page.getCycleTimeButton(), &page.scanButton(),         &page.breakButton(),
      &page.printButton(),        &page.recordedSignalRing(), &page.triggerModeRing(),
      &page.preTriggerField(),    &page.triggerLevelField(),  &page.scanRateField(),
      &panel.closeButton(),       &panel.zoom11Button(),      &panel.signalRing(),
      &panel.analogueGraph(),
  };
  sensor.model().clearRequestLog();
  for (QWidget* control : controls) {
    popups.clearRecords();
    rightClick(control);
    ASSERT_EQ(popups.records().size(), 1u) << control->objectName().toStdString();
    EXPECT_EQ(popups.records()[0].kind, PopupKind::Message);
  }
  EXPECT_TRUE(sensor.model().requestLog().empty());
  EXPECT_EQ(host.scopeShown + host.displayShown, 0);
}

TEST_F(Scope, TriggerModeDimsLevelAndPreTrigger) {
  const bool levelEnabled[] = {false, true, true, false, false};
  for (std::uint16_t mode = 0; mode < 5; ++mode) {
    gui::test::chooseItem(&page.triggerModeRing(), mode);
    EXPECT_EQ(page.triggerLevelField().isEnabled(), levelEnabled[mode]) << mode;
    EXPECT_EQ(page.preTriggerField().isEnabled(), mode != 0) << mode;
  }
}

TEST_F(Scope, CycleTimeAndCursorDeltas) {
  // Before the cycle time is read, delta X is 0 whatever the cursors say.
  panel.analogueGraph().setCursor(0, {10.7, 100.9});
  panel.analogueGraph().setCursor(1, {30.2, 50.2});
  page.scanRateField().setValue(4);
  EXPECT_EQ(panel.deltaXText(), "0.000000");
  EXPECT_EQ(panel.deltaYText(), "50");
  EXPECT_EQ(panel.digitalGraph().cursor(0).x, 10.7);  // the digital cursors follow
  EXPECT_EQ(panel.digitalGraph().cursor(1).x, 30.2);
  EXPECT_EQ(panel.digitalGraph().cursor(1).y, 0.0);

  QTest::mouseClick(&page.getCycleTimeButton(), Qt::LeftButton);
  EXPECT_EQ(page.cycleTimeDisplay().text(), "0.50");  // the sensor's 500 us
  EXPECT_EQ(page.scanFrequencyDisplay().text(), "2000");
  EXPECT_EQ(panel.deltaXText(), "38.000");  // 19 samples * 0.5 ms * 4
  EXPECT_TRUE(page.scanButton().isEnabled());
}

TEST_F(Scope, AxesFollowSignalAndCalculationModeAndZoomOneToOneRestoresThem) {
  host.calcMode = 2;
  page.recordedSignalRing().setValue(1);
  QTest::mouseClick(&panel.zoom11Button(), Qt::LeftButton);
  EXPECT_EQ(panel.analogueGraph().yRange().upper, 4100);
  host.calcMode = 3;
  QTest::mouseClick(&panel.zoom11Button(), Qt::LeftButton);
  EXPECT_EQ(panel.analogueGraph().yRange().upper, 10000);
  EXPECT_EQ(panel.analogueGraph().xRange().lower, 0);
  EXPECT_EQ(panel.analogueGraph().xRange().upper, 128);

  // Ctrl + drag zooms in and recomputes the deltas; ZOOM 1:1 restores.
  ScopePlot& graph = panel.analogueGraph();
  panel.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
  graph.replot();
  const auto pixel = [&](double x, double y) {
    return QPoint(static_cast<int>(graph.xAxis->coordToPixel(x)),
                  static_cast<int>(graph.yAxis->coordToPixel(y)));
  };
  panel.showDeltas("x", "y");
  QTest::mousePress(&graph, Qt::LeftButton, Qt::ControlModifier, pixel(20, 8000));
  QTest::mouseMove(&graph, pixel(60, 2000));
  QTest::mouseRelease(&graph, Qt::LeftButton, Qt::ControlModifier, pixel(60, 2000));
  EXPECT_NEAR(graph.xRange().lower, 20, 1);
  EXPECT_NEAR(graph.xRange().upper, 60, 1);
  EXPECT_NEAR(graph.yRange().upper, 8000, 100);
  EXPECT_NE(panel.deltaXText(), "x");
  QTest::mouseClick(&panel.zoom11Button(), Qt::LeftButton);
  EXPECT_EQ(graph.xRange().upper, 128);
  EXPECT_EQ(graph.yRange().upper, 10000);

  // A plain drag moves the nearer cursor; the deltas follow.
  graph.setCursor(0, {10, 1000});
  graph.setCursor(1, {100, 1000});
  graph.replot();
  QTest::mousePress(&graph, Qt::LeftButton, Qt::NoModifier, pixel(90, 3000));
  QTest::mouseMove(&graph, pixel(74, 3000));
  QTest::mouseRelease(&graph, Qt::LeftButton, Qt::NoModifier, pixel(74, 3000));
  EXPECT_NEAR(graph.cursor(1).x, 74, 0.5);
  EXPECT_EQ(graph.cursor(0).x, 10);
  EXPECT_EQ(panel.digitalGraph().cursor(1).x, graph.cursor(1).x);
  EXPECT_EQ(panel.deltaYText().toStdString(),
            deltaYText(std::fabs(std::trunc(graph.cursor(1).y) - 1000)));
  // The keyboard moves the active cursor by one sample.
  const double before = graph.cursor(1).x;
  QTest::keyClick(&graph, Qt::Key_Right);
  EXPECT_EQ(graph.cursor(1).x, before + 1);
  QTest::keyClick(&graph, Qt::Key_Space);
  QTest::keyClick(&graph, Qt::Key_Left);
  EXPECT_EQ(graph.cursor(0).x, 9);
}

TEST_F(Scope, ScanDrawsTheCaptureAndShowsTheIndicatorWhileItRuns) {
  bool indicatorShown = false;
  bool breakEnabled = false;
  bool scanEnabled = true;
  scan([&] {
    indicatorShown = panel.captureRunningShown();
    breakEnabled = page.breakButton().isEnabled();
    scanEnabled = page.scanButton().isEnabled();
  });
  EXPECT_TRUE(indicatorShown);
  EXPECT_TRUE(breakEnabled);
  EXPECT_FALSE(scanEnabled);
  EXPECT_FALSE(panel.captureRunningShown());
  EXPECT_TRUE(page.scanButton().isEnabled());
  EXPECT_EQ(host.scopeShown, 1);
  EXPECT_EQ(session.scope.captures, 1u);
  EXPECT_TRUE(popups.records().empty());

  ScopePlot& analogue = panel.analogueGraph();
  ASSERT_EQ(analogue.traceCount(), 3);
  EXPECT_EQ(analogue.graph(0)->pen().color(), QColor(0xFF, 0, 0));
  EXPECT_EQ(analogue.graph(1)->pen().color(), QColor(0, 0xFF, 0));
  EXPECT_EQ(analogue.graph(2)->pen().color(), QColor(0, 0, 0xFF));
  const auto& traces = session.scope.traces;
  EXPECT_EQ(analogue.traceValues(1)[17], traces[kScopeGreen][17]);
  ScopePlot& digital = panel.digitalGraph();
  ASSERT_EQ(digital.traceCount(), 6);
  EXPECT_EQ(digital.graph(4)->pen().color(), QColor(0x80, 0x80, 0x80));
  EXPECT_EQ(digital.graph(5)->pen().color(), QColor(0, 0x80, 0x80));
  const auto bits = digitalTraces(traces[kScopeStates]);
  EXPECT_EQ(digital.traceValues(5)[3], bits[5][3]);

  // The displayed-signal ring redraws the analogue graph from the buffers.
  page.scanButton().setFocus();
  gui::test::chooseItem(&panel.signalRing(), 3);
  ASSERT_EQ(analogue.traceCount(), 1);
  EXPECT_EQ(analogue.graph(0)->pen().color(), QColor(0, 0, 0xFF));
  EXPECT_EQ(analogue.traceValues(0)[100], traces[kScopeBlue][100]);
  gui::test::chooseItem(&panel.signalRing(), 0);
  EXPECT_EQ(analogue.traceCount(), 3);

  // CLOSE returns to the display panel.
  QTest::mouseClick(&panel.closeButton(), Qt::LeftButton);
  EXPECT_EQ(host.displayShown, 1);
}

TEST_F(Scope, BreakLeavesThePreviousCaptureDrawn) {
  scan();
  const ScopeTraces previous = session.scope.traces;
  const auto drawn = panel.analogueGraph().traceValues(0);

  sensor.model().setIn0(false);  // EXTERNAL IN0 never comes
  gui::test::chooseItem(&page.triggerModeRing(), 4);
  scan([&] { QTest::mouseClick(&page.breakButton(), Qt::LeftButton); });

  EXPECT_EQ(session.scope.traces, previous);
  EXPECT_EQ(panel.analogueGraph().traceValues(0), drawn);
  EXPECT_FALSE(session.scope.captureRunning.isSet());
  EXPECT_FALSE(sensor.model().scopeRunning());
  EXPECT_FALSE(panel.captureRunningShown());
  EXPECT_TRUE(page.scanButton().isEnabled());
  EXPECT_TRUE(popups.records().empty());
}

TEST_F(Scope, SaveTraceWritesTheLastCapture) {
  scan();
  const QString file = QString::fromStdString(dir.file("trace.txt").string());
  popups.answerFile(2, file);
  QTest::mouseClick(&page.saveTraceButton(), Qt::LeftButton);
  EXPECT_EQ(drq::test::readFileBytes(dir.file("trace.txt")), traceTable(session.scope.traces));
  // A file that cannot be written is reported.
  popups.answerFile(2, QString::fromStdString((dir.path() / "no" / "t.txt").string()));
  QTest::mouseClick(&page.saveTraceButton(), Qt::LeftButton);
  ASSERT_EQ(popups.records(PopupKind::Message).size(), 1u);
  EXPECT_EQ(popups.records(PopupKind::Message)[0].title, QString::fromLatin1(kTitleAttention));
}

TEST_F(Scope, GraphsSaveAsPngAndPdf) {
  scan();
  const QString png = QString::fromStdString(dir.file("g.png").string());
  popups.answerFile(2, png);
  QTest::mouseClick(&panel.saveImageButton(), Qt::LeftButton);
  QImage image(png);
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), panel.graphArea().size());
  // One filter that offers both kinds.
  ASSERT_EQ(popups.records(PopupKind::File).size(), 1u);
  EXPECT_EQ(popups.records(PopupKind::File)[0].file.filter, "Images (*.png *.pdf)");
  const QString pdf = QString::fromStdString(dir.file("g.PDF").string());
  ASSERT_TRUE(panel.saveGraphImage(pdf));
  EXPECT_TRUE(drq::test::readFileBytes(dir.file("g.PDF")).starts_with("%PDF-"));
  EXPECT_FALSE(
      panel.saveGraphImage(QString::fromStdString((dir.path() / "no" / "g.png").string())));
}

TEST_F(Scope, CommentIsEmptiedByARightDoubleClick) {
  page.commentBox().setPlainText("first capture");
  QTest::mouseDClick(page.commentBox().viewport(), Qt::RightButton);
  EXPECT_TRUE(page.commentBox().toPlainText().isEmpty());
  EXPECT_TRUE(popups.records().empty());
}

// The context menu the comment box opens, if any, closed again.
QStringList takeContextMenu() {
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  if (!menu) return {};
  QStringList texts;
  for (const QAction* action : menu->actions()) texts << action->text().remove('&');
  menu->close();
  QCoreApplication::processEvents();
  return texts;
}

TEST_F(Scope, CommentHasNoHelpButItsCopyAndPasteMenu) {
  page.show();
  QPlainTextEdit& comment = page.commentBox();
  comment.setPlainText("first capture");
  QWidget* viewport = comment.viewport();
  const QPoint at(4, 4);
  const auto* pending = comment.findChild<QTimer*>(QString::fromLatin1(kDeferredMenuTimerName));
  ASSERT_NE(pending, nullptr);

  // From the keyboard the menu opens at once.
  QContextMenuEvent key(QContextMenuEvent::Keyboard, at, comment.mapToGlobal(at));
  QCoreApplication::sendEvent(&comment, &key);
  const QStringList items = takeContextMenu();
  EXPECT_TRUE(items.filter(QRegularExpression("^Copy")).size() == 1)
      << items.join('|').toStdString();
  EXPECT_TRUE(items.filter(QRegularExpression("^Paste")).size() == 1);

  // A right click opens it once the double-click interval has passed.
  rightClick(viewport);
  QContextMenuEvent mouse(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
  QCoreApplication::sendEvent(viewport, &mouse);
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  EXPECT_TRUE(pending->isActive());
  EXPECT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }));
  EXPECT_FALSE(takeContextMenu().isEmpty());

  // A right double-click empties the box and opens no menu.
  QCoreApplication::sendEvent(viewport, &mouse);
  QTest::mouseDClick(viewport, Qt::RightButton, Qt::NoModifier, at);
  EXPECT_FALSE(pending->isActive());
  EXPECT_TRUE(comment.toPlainText().isEmpty());
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);

  EXPECT_TRUE(popups.records().empty());  // no help anywhere
  EXPECT_TRUE(comment.toolTip().isEmpty());
}

// --- The printout -------------------------------------------------------------------

QString tool(const char* name) {
  return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

QString runTool(const char* name, const QStringList& args) {
  QProcess process;
  process.start(tool(name), args);
  process.waitForFinished(30000);
  return QString::fromUtf8(process.readAllStandardOutput());
}

TEST_F(Scope, GraphsPdfIsVectorGraphics) {
  if (tool("pdftotext").isEmpty() || tool("pdfimages").isEmpty())
    GTEST_SKIP() << "poppler-utils missing (scripts/install-deps installs them)";
  panel.show();  // SAVE IMAGE is pressed on the panel shown
  scan();
  const QString pdf = QString::fromStdString(dir.file("g.pdf").string());
  ASSERT_TRUE(panel.saveGraphImage(pdf));
  // No picture in it (the headings only), and the axes' labels are text.
  EXPECT_EQ(runTool("pdfimages", {"-list", pdf}).split('\n', Qt::SkipEmptyParts).size(), 2);
  const QString text = runTool("pdftotext", {pdf, "-"});
  EXPECT_TRUE(text.contains("SAMPLES")) << text.toStdString();
  EXPECT_TRUE(text.contains("BIT 5"));
}

// A word of a PDF page and its box, in points from the page's top left corner.
struct PdfWord {
  QString text;
  QRectF box;
};
struct PdfPage {
  QSizeF size;
  std::vector<PdfWord> words;
};

// Every page's words with their boxes (pdftotext -bbox).
std::vector<PdfPage> pdfWords(const QString& file) {
  static const QRegularExpression pageTag(R"re(<page width="([0-9.]+)" height="([0-9.]+)">)re");
  static const QRegularExpression wordTag(
      R"re(<word xMin="([0-9.-]+)" yMin="([0-9.-]+)" xMax="([0-9.-]+)" yMax="([0-9.-]+)">(.*)</word>)re");
  std::vector<PdfPage> pages;
  for (const QString& line : runTool("pdftotext", {"-bbox", file, "-"}).split('\n')) {
    if (const auto m = pageTag.match(line); m.hasMatch()) {
      pages.push_back({QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()), {}});
    } else if (const auto w = wordTag.match(line); w.hasMatch() && !pages.empty()) {
      const QPointF from(w.captured(1).toDouble(), w.captured(2).toDouble());
      const QPointF to(w.captured(3).toDouble(), w.captured(4).toDouble());
      pages.back().words.push_back({w.captured(5), QRectF(from, to)});
    }
  }
  return pages;
}

class ScopePrintout : public Scope {
 protected:
  // Prints into an A4 PDF file with 20 mm margins instead of asking for a printer.
  QString printToPdf(const char* name) {
    const QString file = QString::fromStdString(dir.file(name).string());
    page.setPrinterChooser([file](QPrinter& printer, QWidget*) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(file);
      printer.setPageSize(QPageSize(QPageSize::A4));
      printer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
      return true;
    });
    QTest::mouseClick(&page.printButton(), Qt::LeftButton);
    return file;
  }

  // Every word keeps the page's margins (20 mm = 56.7 pt; half a point for
  // rounding), and all but the foot's keep clear of the foot line.
  static void expectInsideMargins(const std::vector<PdfPage>& pages) {
    constexpr double kMargin = 20 * 72 / 25.4 - 0.5;
    for (std::size_t p = 0; p < pages.size(); ++p) {
      const QSizeF size = pages[p].size;
      ASSERT_FALSE(pages[p].words.empty()) << p;
      // The foot is the last line: its words share the lowest baseline.
      double footTop = 0;
      for (const PdfWord& w : pages[p].words) footTop = std::max(footTop, w.box.top());
      for (const PdfWord& w : pages[p].words) {
        const std::string what = w.text.toStdString() + " on page " + std::to_string(p + 1);
        EXPECT_GE(w.box.left(), kMargin) << what;
        EXPECT_GE(w.box.top(), kMargin) << what;
        EXPECT_GE(size.width() - w.box.right(), kMargin) << what;
        EXPECT_GE(size.height() - w.box.bottom(), kMargin) << what;
        if (w.box.top() < footTop) {
          EXPECT_LT(w.box.bottom(), footTop) << what;
        }
      }
    }
  }

  // The PDF's non-empty text lines.
  QStringList pdfLines(const QString& file) {
    QStringList lines;
    for (const QString& line : runTool("pdftotext", {"-layout", file, "-"}).split('\n')) {
      if (!line.trimmed().isEmpty()) lines << line.trimmed();
    }
    return lines;
  }
};

TEST_F(ScopePrintout, PdfHoldsTheLinesInOrderAndThePanel) {
  if (tool("pdftotext").isEmpty() || tool("pdfimages").isEmpty())
    GTEST_SKIP() << "poppler-utils missing (scripts/install-deps installs them)";
  scan();
  session.sensorId = "LINE 4 INLET";
  page.commentBox().setPlainText("Blue edge 3 samples late.");
  const QString file = printToPdf("report.pdf");
  ASSERT_EQ(popups.records().size(), 1u);
  EXPECT_EQ(popups.records()[0].title, "Info!");
  EXPECT_EQ(popups.records()[0].text, "Print successful!");

  const QStringList lines = pdfLines(file);
  ASSERT_GE(lines.size(), 6) << lines.join('\n').toStdString();
  EXPECT_EQ(lines[0], kReportTitle);
  EXPECT_EQ(lines[1], QString::fromLatin1(kScopeVersion.data(),
                                          static_cast<qsizetype>(kScopeVersion.size())));
  EXPECT_EQ(lines[2], "PANEL ID: LINE 4 INLET");
  EXPECT_EQ(lines[3], "COMMENT:");
  EXPECT_EQ(lines[4], "Blue edge 3 samples late.");
  EXPECT_TRUE(lines.last().endsWith("page 1 of 1")) << lines.last().toStdString();
  // One picture: the panel.
  const QStringList images = runTool("pdfimages", {"-list", file}).split('\n', Qt::SkipEmptyParts);
  EXPECT_EQ(images.size(), 3);  // two heading lines and one image
  EXPECT_EQ(reportLines({"V", "", "", {}}), (QStringList{kReportTitle, "V", ""}));
}

TEST_F(ScopePrintout, EveryTextKeepsThePageMarginsAndTheFootEndsAtTheRightMargin) {
  if (tool("pdftotext").isEmpty()) GTEST_SKIP() << "poppler-utils missing";
  session.sensorId = "LINE 4 INLET";
  QString comment;
  while (comment.size() < kReportCommentMax) comment += "Blue edge 3 samples late. ";
  comment +=
      "Averyveryverylongwordwithoutanyspacethatcannotbreakatawordboundaryatallbutmustbreak"
      "somewhereinsideitselfbecauseitiswiderthanthewholeprintableareaofthepage";
  page.commentBox().setPlainText(comment.right(kReportCommentMax));
  const std::vector<PdfPage> pages = pdfWords(printToPdf("margins.pdf"));
  ASSERT_EQ(pages.size(), 1u);
  expectInsideMargins(pages);
  // "page 1 of 1" ends at the right margin.
  const PdfWord& last = pages[0].words.back();
  EXPECT_EQ(last.text, "1");
  EXPECT_NEAR(pages[0].size.width() - last.box.right(), 20 * 72 / 25.4, 1.0);
}

TEST_F(ScopePrintout, LineMovedToTheNextPageIsPaintedThereOnly) {
  if (tool("pdftotext").isEmpty()) GTEST_SKIP() << "poppler-utils missing";
  QStringList numbered;
  for (int n = 1; numbered.join('\n').size() < kReportCommentMax - 5; ++n)
    numbered << QStringLiteral("L%1").arg(n);
  page.commentBox().setPlainText(numbered.join('\n'));
  const std::vector<PdfPage> pages = pdfWords(printToPdf("pages.pdf"));
  ASSERT_GE(pages.size(), 3u);
  expectInsideMargins(pages);
  // Each line once, in order, page after page.
  QStringList seen;
  for (const PdfPage& p : pages) {
    for (const PdfWord& w : p.words)
      if (w.text.startsWith('L')) seen << w.text;
  }
  EXPECT_EQ(seen, numbered);
  const QString lastFoot = QStringLiteral("%1").arg(pages.size());
  EXPECT_EQ(pages.back().words.back().text, lastFoot);
}

TEST_F(ScopePrintout, PanelPictureIsLosslessAndFinerThanTheScreen) {
  if (tool("pdfimages").isEmpty()) GTEST_SKIP() << "poppler-utils missing";
  scan();
  const QString file = printToPdf("picture.pdf");
  const QStringList rows = runTool("pdfimages", {"-list", file}).split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(rows.size(), 3);
  // page num type width height color comp bpc enc interp object ID x-ppi y-ppi size ratio
  const QStringList image = rows[2].split(' ', Qt::SkipEmptyParts);
  ASSERT_GE(image.size(), 14);
  EXPECT_NE(image[8], "jpeg");
  EXPECT_NE(image[8], "jpx");
  EXPECT_GE(image[3].toInt(), 2 * panel.width());
  EXPECT_GE(image[12].toInt(), 2 * 96);
  EXPECT_GE(image[13].toInt(), 2 * 96);
}

TEST_F(ScopePrintout, WithoutIdAndCommentOnlyTitleVersionAndPanel) {
  if (tool("pdftotext").isEmpty()) GTEST_SKIP() << "poppler-utils missing";
  const QString file = printToPdf("plain.pdf");  // before any capture: the panel as it is
  const QStringList lines = pdfLines(file);
  ASSERT_GE(lines.size(), 3);
  EXPECT_EQ(lines[0], kReportTitle);
  EXPECT_EQ(lines[1], QString::fromLatin1(kScopeVersion.data(),
                                          static_cast<qsizetype>(kScopeVersion.size())));
  EXPECT_FALSE(lines.join('\n').contains("PANEL ID"));
  EXPECT_FALSE(lines.join('\n').contains("COMMENT"));
}

TEST_F(ScopePrintout, LongCommentIsCutTo1023Characters) {
  ScopeReport report;
  report.comment = QString(1500, QLatin1Char('c'));
  const QStringList lines = reportLines(report);
  ASSERT_EQ(lines.size(), 6);
  EXPECT_EQ(lines[3], "COMMENT:");
  EXPECT_EQ(lines[4].size(), 1023);
  EXPECT_EQ(lines[5], "");
}

TEST_F(ScopePrintout, CancelPrintsNothingAndAFailedPrintIsReported) {
  page.setPrinterChooser([](QPrinter&, QWidget*) { return false; });
  QTest::mouseClick(&page.printButton(), Qt::LeftButton);
  EXPECT_TRUE(popups.records().empty());

  const QString file = QString::fromStdString((dir.path() / "no" / "r.pdf").string());
  page.setPrinterChooser([file](QPrinter& printer, QWidget*) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    return true;
  });
  QTest::mouseClick(&page.printButton(), Qt::LeftButton);
  ASSERT_EQ(popups.records().size(), 1u);
  EXPECT_EQ(popups.records()[0].title, "Info!");
  EXPECT_EQ(popups.records()[0].text, "Print error ");
}

TEST_F(ScopePrintout, ReportThatCannotBeCreatedIsAnError) {
  ScopePage lonely(context);  // no graph panel to take the picture of
  lonely.setPrinterChooser([](QPrinter&, QWidget*) {
    ADD_FAILURE() << "no printer may be chosen";
    return false;
  });
  lonely.CBF_ButtonPrintScopeGraph();
  ASSERT_EQ(popups.records().size(), 1u);
  EXPECT_EQ(popups.records()[0].title, "ERROR");
  EXPECT_EQ(popups.records()[0].text, "Could not initialize the report...");
}

}  // namespace
}  // namespace drq::gui
