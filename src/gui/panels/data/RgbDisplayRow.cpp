#include "gui/panels/data/RgbDisplayRow.h"

#include <QHBoxLayout>

#include "gui/panels/data/LiveTexts.h"
#include "gui/popups/Help.h"

namespace drq::gui {

RgbDisplayRow::RgbDisplayRow(const QString& namePrefix, Popups& popups, QWidget* parent)
    : QWidget(parent) {
  const char* captions[] = {"RED", "GREEN", "BLUE"};
  const char* names[] = {"Red", "Green", "Blue"};
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(6);
  for (std::size_t c = 0; c < displays_.size(); ++c) {
    auto* display = new ValueDisplay(QString::fromLatin1(captions[c]), this);
    display->setObjectName(namePrefix + QLatin1String(names[c]));
    installHelp(display, popups, QString::fromLatin1(kHelpDispRgb));
    displays_[c] = display;
    layout->addWidget(display);
  }
  layout->addStretch(1);
}

void RgbDisplayRow::showFrame(const LiveFrame& frame) {
  displays_[0]->setValue(frame[FrameWord::Red]);
  displays_[1]->setValue(frame[FrameWord::Green]);
  displays_[2]->setValue(frame[FrameWord::Blue]);
}

}  // namespace drq::gui
