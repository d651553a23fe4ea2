#include "gui/shell/ShellLayout.h"

#include <QShortcut>
#include <QVBoxLayout>

#include "gui/widgets/FocusMark.h"
#include "gui/widgets/PendingEdit.h"

namespace drq::gui {

ShellLayout layOutShell(QMainWindow& window, QWidget* header, QTabWidget* tabs,
                        QWidget* transferBar, std::span<QWidget* const> childPanels,
                        int columnWidth, int totalWidth) {
  auto* central = new QWidget(&window);
  central->setObjectName(QStringLiteral("MainBackground"));
  window.setCentralWidget(central);

  auto* controlColumn = new QWidget();
  controlColumn->setObjectName(QStringLiteral("ControlColumn"));
  auto* controlLayout = new QVBoxLayout(controlColumn);
  controlLayout->setContentsMargins(6, 6, 3, 6);
  controlLayout->setSpacing(6);
  controlLayout->addWidget(tabs, 1);
  controlLayout->addWidget(transferBar);

  ShellLayout out;
  out.displayArea = new QStackedWidget();
  out.displayArea->setObjectName(QStringLiteral("DisplayArea"));
  for (QWidget* panel : childPanels) out.displayArea->addWidget(panel);

  out.splitter = new QSplitter(Qt::Horizontal);
  out.splitter->setObjectName(QStringLiteral("MainSplitter"));
  out.splitter->setChildrenCollapsible(false);
  out.splitter->addWidget(controlColumn);
  out.splitter->addWidget(out.displayArea);
  out.splitter->setStretchFactor(0, 0);
  out.splitter->setStretchFactor(1, 1);
  out.splitter->setSizes({columnWidth, totalWidth - columnWidth});
  out.splitter->handle(1)->setAccessibleName(QStringLiteral("divider"));

  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(header);
  layout->addWidget(out.splitter, 1);
  new FocusMark(window);          // owned by the window
  new PendingEditCommit(window);  // so is this
  return out;
}

void addWindowShortcuts(QWidget& window, QTabWidget& tabs, std::function<void()> resetSize) {
  auto* sizeReset =
      new QShortcut(QKeySequence(kSizeResetKey), &window, nullptr, nullptr, Qt::WindowShortcut);
  sizeReset->setObjectName(QStringLiteral("SizeResetKey"));
  QObject::connect(sizeReset, &QShortcut::activated, &window, std::move(resetSize));
  for (int page = 0; page < tabs.count() && page < 9; ++page) {
    auto* shortcut = new QShortcut(QKeySequence(Qt::ALT | static_cast<Qt::Key>(Qt::Key_1 + page)),
                                   &window, nullptr, nullptr, Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, &tabs, [&tabs, page] {
      if (tabs.isTabVisible(page) && tabs.isTabEnabled(page)) tabs.setCurrentIndex(page);
    });
  }
}

}  // namespace drq::gui
