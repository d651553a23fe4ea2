#pragma once
// Small painted indicators for the live displays. Each one has a fixed size
// (or a fixed height) so that a new value never makes the panel lay itself
// out again. The live loop feeds them thousands of times a second: each keeps
// the newest value at once (value(), text()), but repaints at most once per
// screen refresh, and only when what it shows changed.

#include <QBasicTimer>
#include <QColor>
#include <QRect>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <optional>

namespace drq::gui {

// Time between two repaints of an indicator, milliseconds.
inline constexpr int kIndicatorRefreshMs = 16;

// Repaints a widget at most every kIndicatorRefreshMs.
class PacedRepaint {
 public:
  explicit PacedRepaint(QWidget& widget) : widget_(widget) {}
  // The widget's look changed: repaint it at the next refresh.
  void request() { request(widget_.rect()); }
  // Only `area` (widget coordinates) changed: repaint that at the next
  // refresh, together with whatever else was asked for until then.
  void request(const QRect& area) {
    area_ = area_.united(area);
    if (!timer_.isActive()) timer_.start(kIndicatorRefreshMs, Qt::CoarseTimer, &widget_);
  }
  // Call from the widget's timerEvent; true when the event was this timer's.
  bool handle(int timerId) {
    if (timerId != timer_.timerId()) return false;
    timer_.stop();
    widget_.update(area_);
    area_ = QRect();
    return true;
  }

 private:
  QWidget& widget_;
  QBasicTimer timer_;
  QRect area_;
};

// A numeric indicator: an optional caption above a sunken box with the value
// right-aligned in it. The box is wide enough for `digits` digits; a longer
// value ("-32768") is drawn in a smaller font. Its accessible name follows
// the caption, with the value after it ("RED 1152"), unless the owner sets one (needed when there
// is no caption).
class ValueDisplay final : public QWidget {
  Q_OBJECT
 public:
  explicit ValueDisplay(const QString& caption, QWidget* parent = nullptr, int digits = 5);

  // Shows `value`; repaints only when it differs from the value shown.
  void setValue(int value);
  int value() const { return value_; }
  // The text in the box ("" until the first value).
  QString text() const;

  void setCaption(const QString& caption);
  const QString& caption() const { return caption_; }

  // The box's background and the colour of the accent stripe along its top
  // (none: no stripe).
  void setColors(std::optional<QColor> accent, const QColor& background);
  std::optional<QColor> accentColor() const { return accent_; }
  QColor backgroundColor() const { return background_; }

  QSize sizeHint() const override { return size(); }

 signals:
  // A left double click on the display.
  void doubleClicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  void updateSize();
  void nameAfterCaption();
  QFont valueFont() const;

  PacedRepaint repaint_{*this};
  QString caption_;
  QString captionName_;  // the accessible name last derived from the caption
  int digits_;
  int captionHeight_ = 0;  // 0 without a caption
  int value_ = 0;
  bool hasValue_ = false;
  std::optional<QColor> accent_;
  QColor background_{Qt::white};
};

// A round LED with its caption beside it (accessible name "<caption> LED").
class Led final : public QWidget {
  Q_OBJECT
 public:
  Led(const QString& caption, const QColor& onColor, QWidget* parent = nullptr);

  void setLit(bool lit);
  bool isLit() const { return lit_; }
  const QString& caption() const { return caption_; }
  QSize sizeHint() const override { return size(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  PacedRepaint repaint_{*this};
  QString caption_;
  QColor onColor_;
  bool lit_ = false;
};

// A horizontal level bar from 0 to `maximum` in one colour; values outside
// the range are drawn at its ends (the value itself is kept as given). The
// owner names it (setAccessibleName); "level" until then.
class LevelBar final : public QWidget {
  Q_OBJECT
 public:
  LevelBar(const QColor& color, int maximum, QWidget* parent = nullptr);

  void setValue(int value);
  int value() const { return value_; }
  int maximum() const { return maximum_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  PacedRepaint repaint_{*this};
  QColor color_;
  int maximum_;
  int value_ = 0;
};

// A rectangle painted in one colour (0xRRGGBB); accessible name "colour
// patch" unless the owner sets another.
class ColorPatchView final : public QWidget {
  Q_OBJECT
 public:
  explicit ColorPatchView(QWidget* parent = nullptr);

  void setColor(std::uint32_t rgb);
  std::uint32_t color() const { return rgb_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  PacedRepaint repaint_{*this};
  std::uint32_t rgb_ = 0;
};

// 0xRRGGBB as an opaque QColor.
inline QColor rgbColor(std::uint32_t rgb) {
  return QColor::fromRgb(static_cast<QRgb>((rgb & 0xFFFFFFu) | 0xFF000000u));
}

}  // namespace drq::gui
