#pragma once
// A colour selector (0xRRGGBB): a swatch button painted in the colour that
// opens a colour dialog, and beside it the colour as text ("0xRRGGBB") that
// can be typed. colorChanged follows every change of the value, however it
// came (dialog, typing, setColor).

#include <QLineEdit>
#include <QPointer>
#include <QToolButton>
#include <QWidget>

#include <cstdint>
#include <functional>

class QColorDialog;

namespace drq::gui {

class ColorSelector final : public QWidget {
  Q_OBJECT
 public:
  explicit ColorSelector(QWidget* parent = nullptr);

  std::uint32_t color() const { return rgb_; }
  // Shows `rgb` (low 24 bits); colorChanged follows when it differs.
  void setColor(std::uint32_t rgb);

  QToolButton* swatch() const { return swatch_; }
  QLineEdit* hexEdit() const { return hex_; }

  // Opens the colour dialog on the current colour without blocking (the
  // swatch's click). The colour chosen there becomes the value; cancelling
  // changes nothing. While it is open, dialog() returns it.
  void openDialog();
  QColorDialog* dialog() const;

  // "0xRRGGBB" (upper-case digits) and back. fromText accepts "0x" (or "0X",
  // or nothing) followed by one to six hexadecimal digits, blanks around them
  // allowed; anything else gives false and leaves `rgb` alone.
  static QString toText(std::uint32_t rgb);
  static bool fromText(const QString& text, std::uint32_t& rgb);

 signals:
  void colorChanged(std::uint32_t rgb);

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void showColor();
  void commitText();

  QToolButton* swatch_;
  QLineEdit* hex_;
  QPointer<QColorDialog> dialog_;
  std::uint32_t rgb_ = 0;
};

// Opens a colour dialog on `initial` without blocking; `chosen` runs with the
// colour the operator accepts. The dialog offers the 15 default row colours as
// its custom colours and deletes itself when closed.
QColorDialog* openColorDialog(QWidget* parent, std::uint32_t initial, const QString& title,
                              std::function<void(std::uint32_t)> chosen);

}  // namespace drq::gui
