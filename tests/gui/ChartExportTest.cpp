// Saving a chart from its right-click menu.
#include <qcustomplot.h>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

#include "app/ScriptedPopups.h"
#include "gui/charts/ChartExport.h"
#include "gui/common/Texts.h"
#include "support/TempDir.h"

namespace drq::gui {
namespace {

class ChartExportTest : public ::testing::Test {
 protected:
  ChartExportTest() {
    chart.resize(320, 200);
    chart.addGraph()->setData({0, 1, 2}, {0, 2, 1});
    chart.replot();
    exporter = installChartMenu(&chart, popups, QStringLiteral("Shows the signal."),
                                QStringLiteral("X/Y graph"), qdir());
  }
  QString qdir() const { return QString::fromStdString(dir.path().string()); }
  QString qfile(const std::string& name) const {
    return QString::fromStdString(dir.file(name).string());
  }

  test::TempDir dir;
  QCustomPlot chart;
  ScriptedPopups popups;
  ChartExport* exporter = nullptr;
};

TEST_F(ChartExportTest, ARightClickOpensTheMenuWithHelpFirst) {
  chart.show();
  QTest::mouseClick(&chart, Qt::RightButton, {}, QPoint(50, 50));
  QMenu* menu = exporter->menu();
  EXPECT_TRUE(menu->isVisible());
  const auto actions = menu->actions();
  ASSERT_EQ(actions.size(), 4);  // Help, separator, PNG, PDF
  EXPECT_EQ(actions[0]->objectName(), "MenuHelp");
  EXPECT_EQ(actions[2]->objectName(), "MenuSavePng");
  EXPECT_EQ(actions[3]->objectName(), "MenuSavePdf");
  EXPECT_TRUE(popups.records().empty());  // the click itself shows no help
  actions[0]->trigger();
  ASSERT_EQ(popups.records().size(), 1u);
  EXPECT_EQ(popups.records()[0].title, QString::fromLatin1(kTitleInfo));
  EXPECT_EQ(popups.records()[0].text, "Shows the signal.");
  EXPECT_EQ(chart.toolTip(), "Shows the signal.");
  EXPECT_EQ(chart.accessibleName(), "X/Y graph");
  menu->hide();
}

TEST_F(ChartExportTest, SavesPngAndPdfUnderTheChosenName) {
  popups.answerFile(2, qfile("graph"));  // no suffix typed: it is added
  EXPECT_TRUE(exporter->saveAs(ChartFormat::Png));
  popups.answerFile(2, qfile("graph.pdf"));
  EXPECT_TRUE(exporter->saveAs(ChartFormat::Pdf));
  EXPECT_TRUE(test::readFileBytes(dir.file("graph.png")).starts_with("\x89PNG\r\n"));
  EXPECT_TRUE(test::readFileBytes(dir.file("graph.pdf")).starts_with("%PDF-"));
  QImage png(qfile("graph.png"));
  EXPECT_GE(png.width(), 640);  // at least twice the chart's size
  const auto files = popups.records(PopupKind::File);
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].file.directory, qdir());
  EXPECT_TRUE(files[0].file.defaultName.startsWith("X-Y graph 2"));
  EXPECT_TRUE(files[0].file.defaultName.endsWith(".png"));
  EXPECT_EQ(files[1].file.filter, "*.pdf");
  EXPECT_EQ(popups.unscripted(), 0);
}

TEST_F(ChartExportTest, CancelDeclineAndFailureLeaveFilesAlone) {
  EXPECT_FALSE(exporter->saveAs(ChartFormat::Png));  // nothing chosen
  ASSERT_TRUE(test::writeFileBytes(dir.file("kept.png"), "old"));
  popups.answerFile(1, qfile("kept.png"));
  popups.answerConfirm(false);
  EXPECT_FALSE(exporter->saveAs(ChartFormat::Png));
  EXPECT_EQ(test::readFileBytes(dir.file("kept.png")), "old");

  popups.clearRecords();
  popups.answerFile(2, qfile("no-such-dir/graph.png"));
  EXPECT_FALSE(exporter->saveAs(ChartFormat::Png));
  const auto messages = popups.records(PopupKind::Message);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].title, QString::fromLatin1(kTitleAttention));
  EXPECT_TRUE(messages[0].text.startsWith("The chart could not be saved as\n"));
  EXPECT_FALSE(std::filesystem::exists(dir.file("no-such-dir")));
}

TEST(ChartFileNames, SafeAndTimed) {
  const QDateTime when(QDate(2026, 12, 8), QTime(9, 5, 7));
  EXPECT_EQ(defaultChartFileName("RGB chart", ChartFormat::Png, when),
            "RGB chart 2026-12-08 09-05-07.png");
  EXPECT_EQ(defaultChartFileName(" X/Y: graph ", ChartFormat::Pdf, when),
            "X-Y- graph 2026-12-08 09-05-07.pdf");
  EXPECT_EQ(defaultChartFileName("", ChartFormat::Png, when), "chart 2026-12-08 09-05-07.png");
}

}  // namespace
}  // namespace drq::gui
