// Row colours across the window: the table attributes page paints the four
// tables that list teach rows and the graphs, automatic mode shows the colour
// patch and lets Teach data to give the taught row the measured colour, and
// the panel settings file stores the same row sections as the table
// attributes file.
#include <QSpinBox>
#include <QTest>

#include "core/attrs/TableAttributesFile.h"
#include "gui/ShellFixture.h"
#include "gui/charts/ColourGraph.h"
#include "gui/common/TextConversion.h"
#include "gui/pages/GroupHoldPage.h"
#include "gui/pages/TableAttributesPage.h"
#include "gui/pages/TeachTablePage.h"
#include "gui/panels/DataPanel.h"
#include "gui/panels/data/TwoDGraphPage.h"
#include "gui/shell/TeachOperations.h"
#include "gui/shell/WindowParts.h"

namespace drq::gui::test {
namespace {

class RowColors : public ShellTest {
 protected:
  void SetUp() override {
    startOffline();
    popups.clearRecords();
  }
  TableAttributesPage& attributes() { return part<TableAttributesPage>(*window); }

  // The colour of teach row `row` in the four tables and in the 2D graph.
  struct Shown {
    std::uint32_t teach, specification, group, hold, graph;
  };
  Shown shown(int row) {
    Shown s{};
    s.teach = part<TeachTablePage>(*window).teachTable()->rowColor(row);
    s.specification = attributes().rowColorCell(row);
    s.group = part<GroupHoldPage>(*window).groupTable()->rowColor(row);
    s.hold = part<GroupHoldPage>(*window).holdTable()->rowColor(row + 1);  // after HOLD FAIL
    ColourGraph& plane = part<DataPanel>(*window).twoDGraphPage().colourPlane();
    if (row < plane.figureCount()) {
      auto* figure = dynamic_cast<QCPItemEllipse*>(plane.figureItem(row));
      if (figure) s.graph = static_cast<std::uint32_t>(figure->pen().color().rgb()) & 0xFFFFFFu;
    }
    return s;
  }
  void expectEverywhere(int row, std::uint32_t rgb) {
    const Shown s = shown(row);
    EXPECT_EQ(s.teach, rgb) << row;
    EXPECT_EQ(s.specification, rgb) << row;
    EXPECT_EQ(s.group, rgb) << row;
    EXPECT_EQ(s.hold, rgb) << row;
    EXPECT_EQ(s.graph, rgb) << row;
    EXPECT_EQ(session.RowColors[static_cast<std::size_t>(row)], rgb) << row;
  }
};

TEST_F(RowColors, SetRowColorPaintsTheFourTablesAndTheGraph) {
  expectEverywhere(5, defaultRowColor(5));
  attributes().rowNumber()->setValue(5);
  attributes().colorSelector()->setColor(0x123456);
  QTest::mouseClick(attributes().setRowColorButton(), Qt::LeftButton);
  expectEverywhere(5, 0x123456);
  expectEverywhere(6, defaultRowColor(6));

  popups.answerConfirm(true);
  attributes().CBF_ButtonTableAttrReset();
  expectEverywhere(5, defaultRowColor(5));
}

TEST_F(RowColors, AutomaticModeDimsTheManualControlsAndShowsTheColourPatch) {
  QWidget* patch = part<DataPanel>(*window).colorPatch();
  EXPECT_FALSE(patch->isVisibleTo(&part<DataPanel>(*window)));  // manual at start
  attributes().rowColorSwitch()->click();
  EXPECT_TRUE(patch->isVisibleTo(&part<DataPanel>(*window)));
  EXPECT_FALSE(attributes().rowNumber()->isEnabled());
  EXPECT_FALSE(attributes().colorSelector()->isEnabled());
  EXPECT_FALSE(attributes().setRowColorButton()->isEnabled());
  attributes().rowColorSwitch()->click();
  EXPECT_FALSE(patch->isVisibleTo(&part<DataPanel>(*window)));
  EXPECT_TRUE(attributes().setRowColorButton()->isEnabled());
}

TEST_F(RowColors, TaughtRowTakesTheMeasuredColourInAutomaticModeOnly) {
  session.live.ColorPatch = 0x3F7FBF;
  part<TeachTablePage>(*window).rowNumber()->setValue(9);
  window->teachOperations().TeachDataTo();
  expectEverywhere(9, defaultRowColor(9));

  attributes().rowColorSwitch()->setChecked(true);
  part<TeachTablePage>(*window).rowNumber()->setValue(9);
  window->teachOperations().TeachDataTo();
  expectEverywhere(9, 0x3F7FBF);
  expectEverywhere(10, defaultRowColor(10));
  EXPECT_TRUE(popups.records().empty());
}

// The row sections of a file, from the first one to the end.
std::string rowSections(const std::string& bytes) {
  const auto at = bytes.find("[TABLE ATTR OF TEACH VECTOR 0]");
  return at == std::string::npos ? std::string() : bytes.substr(at);
}

TEST_F(RowColors, OneChangeOfARowShowsInBothFiles) {
  attributes().rowNumber()->setValue(12);
  attributes().colorSelector()->setColor(0x00AA55);
  attributes().CBF_ButtonSetRowColor();
  attributes().specificationTable()->item(12, 0)->setText(QStringLiteral("Cap \"12\""));

  const auto attributesFile = dir.file("TableAttributes.ini");
  popups.answerFile(2, qStringFromPath(attributesFile));
  ASSERT_EQ(attributes().SaveTableSettings(), 1);
  window->StorePanelSettings();

  const std::string saved = rowSections(drq::test::readFileBytes(attributesFile));
  ASSERT_NE(saved.find("[TABLE ATTR OF TEACH VECTOR 12]\r\nRow color = 43605\r\n"
                       "Row specification = \"Cap \\\"12\\\"\"\r\n"),
            std::string::npos);
  EXPECT_EQ(rowSections(drq::test::readFileBytes(settingsPath())), saved);

  // The panel settings file brings the rows back at the next start.
  window->CleanUp();
  window.reset();
  Session fresh;
  session.RowColors = fresh.RowColors;
  popups.answerChoice(2);
  start();
  expectEverywhere(12, 0x00AA55);
  EXPECT_EQ(attributes().specificationTable()->item(12, 0)->text(), QStringLiteral("Cap \"12\""));
}

TEST_F(RowColors, GetPaintsTheReadColoursEverywhere) {
  const auto file = dir.file("TableAttributes.ini");
  RowColorArray colors = defaultRowColors();
  colors[3] = 0xA0B0C0;
  attrs::RowSpecifications rowTexts;
  ASSERT_TRUE(attrs::writeTableAttributesFile(file, colors, rowTexts).ok());
  popups.answerFile(1, qStringFromPath(file));
  ASSERT_EQ(attributes().GetTableSettings(), 1);
  expectEverywhere(3, 0xA0B0C0);
}

}  // namespace
}  // namespace drq::gui::test
