#pragma once
// One view of the graph teach (X/Y, X/INT or Y/INT): every recorded sample as
// a point (one SampleScatter), a measurement cursor, and axes framed around
// the samples and the cursor with the same length on both axes.
//
// The cursor marks the newest sample while recording and the selected one
// afterwards. The operator moves it with the mouse: pressed in the plot, it
// jumps to the recorded point nearest to the pointer and follows the pointer
// from point to point (never between them), so that what is let go is
// exactly a recorded point. With the keyboard, Left/Right (Down/Up) step to
// the previous/next recorded point, Home/End to the first/last. Letting go or
// a key step announces cursorCommitted. With nothing recorded the cursor
// stays.
//
// Updates only mark the view dirty in its ReplotScheduler: the layer of the
// samples and the cursor is redrawn at the screen's pace, the whole view only
// when the axes moved. The axes move only when the points leave them (then a
// fifth wider than needed), so a filling view is rarely redrawn whole.

#include <qcustomplot.h>

#include <optional>

#include "core/graph/Framing.h"
#include "core/teach/GraphTeach.h"

namespace drq::gui {

class ReplotScheduler;
class SampleScatter;

class SampleScatterView final : public QCustomPlot {
  Q_OBJECT
 public:
  SampleScatterView(const GraphTeachSamples& samples, GraphTeachView view, const QString& title,
                    ReplotScheduler& scheduler, QWidget* parent = nullptr);

  GraphTeachView view() const { return view_; }
  void setTitle(const QString& title);
  QString title() const;

  // The sample table changed (samples added, or the counter reset): the new
  // points are drawn at the next replot and the axes follow.
  void samplesChanged();
  // Puts the cursor on sample `index` (its point in this view).
  void showSample(std::size_t index);
  // While recording: sample `index` was just stored; it is drawn at the next
  // replot and the cursor moves onto it.
  void showNewSample(std::size_t index);
  // The cursor's position (the co-ordinates of the view) and the sample it
  // was put on last (none before the first).
  ViewPoint cursorPosition() const { return cursor_; }
  std::optional<std::size_t> cursorSample() const { return cursorSample_; }
  SampleScatter& scatter() const { return *scatter_; }

  // The pixel position of a point of the view (tests drive the mouse with it).
  QPoint pixelOf(ViewPoint point) const;

 signals:
  // The operator let go of the cursor he moved, or stepped it with a key.
  void cursorCommitted();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Moves the cursor onto the recorded point nearest to `pixel`.
  void snapTo(const QPointF& pixel);
  void placeCursor(ViewPoint point);
  // Frames the axes around the samples and the cursor.
  void frame();

  const GraphTeachSamples& samples_;
  GraphTeachView view_;
  ReplotScheduler& scheduler_;
  QCPItemText* title_;
  SampleScatter* scatter_;
  QCPLayer* samplesLayer_;
  QCPGraph* cursorGraph_;
  ViewPoint cursor_;
  std::optional<std::size_t> cursorSample_;
  ViewRanges ranges_;
  bool framesSamples_ = false;  // the axes frame samples (not the empty view)
  bool dragging_ = false;
};

}  // namespace drq::gui
