#include "gui/shell/HeaderBar.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>

#include "core/ToolFiles.h"
#include "gui/common/TextConversion.h"
#include "gui/common/Texts.h"

namespace drq::gui {

namespace {

// The maker's lines.
constexpr const char* kMakerName = "Velmaron colour sensors";
constexpr const char* kMakerProductLine = "DRQ colour sensor series";
constexpr const char* kMakerService = "Service: send the hardware file to your supplier";

constexpr int kMakerPointSize = 9;
constexpr int kTitlePointSize = 17;
constexpr int kHeaderHeight = 63;

}  // namespace

HeaderBar::HeaderBar(QWidget* parent)
    : QWidget(parent),
      makerColumn_(new QVBoxLayout()),
      titleRow_(new QHBoxLayout()),
      picture_(new QLabel(this)) {
  setObjectName(QStringLiteral("HeaderBar"));
  setFixedHeight(kHeaderHeight);
  picture_->setObjectName(QStringLiteral("PictureLogo"));
  picture_->setAccessibleName(QStringLiteral("logo"));
  picture_->hide();

  makerColumn_->setSpacing(0);
  makerColumn_->setContentsMargins(0, 0, 0, 0);
  titleRow_->setSpacing(12);
  titleRow_->setContentsMargins(0, 0, 0, 0);
  titleRow_->addWidget(picture_);

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(15, 4, 15, 4);
  layout->addLayout(makerColumn_);
  layout->addStretch(1);
  layout->addLayout(titleRow_);
  layout->addStretch(1);
}

QLabel* HeaderBar::ShowInfoText(const QString& text, bool isTitle, int pointSize,
                                const QColor& textColor) {
  auto* label = new QLabel(text, this);
  label->setAttribute(Qt::WA_TranslucentBackground);
  QFont font = label->font();
  font.setPointSize(pointSize);
  if (isTitle) font.setBold(true);
  label->setFont(font);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, textColor);
  label->setPalette(palette);
  if (isTitle) {
    label->setObjectName(QStringLiteral("TextTitle"));
    label->setAccessibleName(qStringFromLatin1(kFullScopeVersion));
    titleRow_->addWidget(label);
  } else {
    label->setObjectName(QStringLiteral("TextMaker%1").arg(makerLines_.size() + 1));
    makerColumn_->addWidget(label);
  }
  return label;
}

void HeaderBar::ShowLogo(const std::vector<std::filesystem::path>& searchDirs) {
  const QColor white(0xFF, 0xFF, 0xFF);
  title_ = ShowInfoText(qStringFromLatin1(kScopeVersion), true, kTitlePointSize, white);
  for (const char* line : {kMakerName, kMakerProductLine, kMakerService}) {
    makerLines_.push_back(ShowInfoText(QString::fromLatin1(line), false, kMakerPointSize, white));
  }
  for (const auto& dir : searchDirs) {
    QPixmap logo;
    const auto file = dir / kLogoFileName;
    if (logo.load(QString::fromStdU16String(file.u16string()))) {
      picture_->setPixmap(logo.scaledToHeight(kHeaderHeight - 12, Qt::SmoothTransformation));
      picture_->show();
      break;
    }
  }
}

void HeaderBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QLinearGradient gradient(0, 0, width(), 0);
  gradient.setColorAt(0.0, QColor(0x1B, 0x2B, 0x45));
  gradient.setColorAt(1.0, QColor(0x2E, 0x4A, 0x70));
  painter.fillRect(rect(), gradient);
}

}  // namespace drq::gui
