// The live indicators: the newest value at once, repaints paced to the
// screen, fixed sizes.
#include <QEvent>
#include <QTest>

#include <gtest/gtest.h>

#include "gui/widgets/Indicators.h"

namespace drq::gui::test {
namespace {

class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget& widget) { widget.installEventFilter(this); }
  int paints = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return QObject::eventFilter(watched, event);
  }
};

TEST(Indicators, ThousandsOfValuesAreShownAtOnceButPaintedAtTheScreensPace) {
  ValueDisplay display(QStringLiteral("RED"));
  display.show();
  QCoreApplication::processEvents();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&display));
  PaintCounter counter(display);
  const QSize size = display.size();
  for (int v = 1; v <= 2000; ++v) {
    display.setValue(v * 17 - 30000);
    QCoreApplication::processEvents();  // the live loop runs events between frames
  }
  EXPECT_EQ(display.value(), 2000 * 17 - 30000);
  EXPECT_EQ(display.text(), QStringLiteral("4000"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return counter.paints > 0; }, 2000));
  // 2000 values within far less time than 2000 screen refreshes.
  EXPECT_LT(counter.paints, 200);
  EXPECT_EQ(display.size(), size);  // a wider value never resizes the display
  display.setValue(-32768);
  EXPECT_EQ(display.size(), size);
}

}  // namespace
}  // namespace drq::gui::test
