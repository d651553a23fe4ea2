#include "gui/pages/OffsetPage.h"

#include <QHBoxLayout>

#include "gui/Help.h"

namespace drq::gui {

namespace {
constexpr const char* kHelpClose = "Close PANEL and return to MAIN PANEL. ";
}

OffsetPage::OffsetPage(ShellContext& context, QWidget* parent)
    : TabPage(context, QStringLiteral("OFFSET"), parent),
      closeButton_(new QPushButton(QStringLiteral("CLOSE"), this)) {
  setObjectName(QStringLiteral("OffsetPage"));
  closeButton_->setObjectName(QStringLiteral("ButtonCloseOffsetCompensation"));
  installHelp(closeButton_, context.popups, QString::fromLatin1(kHelpClose));
  connect(closeButton_, &QPushButton::clicked, this, &OffsetPage::closeRequested);
  pageLayout()->addStretch(1);
  auto* row = new QHBoxLayout();
  row->addStretch(1);
  row->addWidget(closeButton_);
  pageLayout()->addLayout(row);
}

}  // namespace drq::gui
