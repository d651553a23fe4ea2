#pragma once
// The logo area at the top of the main window: the maker's three lines, the
// logo picture and the title line, white on the window's dark header.

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

#include <filesystem>
#include <vector>

namespace drq::gui {

// The logo bitmap's file name.
inline constexpr const char* kLogoFileName = "logoKD.bmp";

class HeaderBar final : public QWidget {
  Q_OBJECT
 public:
  explicit HeaderBar(QWidget* parent = nullptr);

  // ShowLogo: creates the title and maker lines and shows the logo picture
  // from the first of `searchDirs` that holds "logoKD.bmp". A missing bitmap
  // leaves the picture empty.
  void ShowLogo(const std::vector<std::filesystem::path>& searchDirs);

  // ShowInfoText: one text line of the header in the given point size and
  // colour; the title line's label text is the full version.
  QLabel* ShowInfoText(const QString& text, bool isTitle, int pointSize, const QColor& textColor);

  QLabel* picture() const { return picture_; }
  QLabel* title() const { return title_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QVBoxLayout* makerColumn_;
  QHBoxLayout* titleRow_;
  QLabel* picture_;
  QLabel* title_ = nullptr;
  std::vector<QLabel*> makerLines_;
};

}  // namespace drq::gui
