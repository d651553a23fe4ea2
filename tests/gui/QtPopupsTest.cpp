// The real popups: they stay on the screen however long their text, and their
// buttons answer as the interface promises.
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "core/attrs/RowAttributeSections.h"
#include "gui/common/TextConversion.h"
#include "gui/common/Texts.h"
#include "gui/popups/QtPopups.h"

namespace drq::gui::test {
namespace {

// What the open popup showed, taken while it is open.
struct Seen {
  QRect geometry;
  QRect buttons;  // the button row, in global coordinates
  bool scrolls = false;
  bool textIsTabStop = false;
  bool everyButtonHasALetter = true;
  QStringList buttonTexts;
  QString defaultButton;
};

// Runs `show` (which opens one modal popup) and, once the popup is open,
// records it and then `answer`s it.
Seen whileOpen(const std::function<void()>& show, const std::function<void(QDialog&)>& answer) {
  Seen seen;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog) {
      ADD_FAILURE() << "no popup open";
      return;
    }
    seen.geometry = dialog->frameGeometry();
    if (auto* box = dialog->findChild<QDialogButtonBox*>()) {
      seen.buttons = QRect(box->mapToGlobal(QPoint(0, 0)), box->size());
      for (QAbstractButton* b : box->buttons()) {
        seen.buttonTexts << b->text().remove('&');
        seen.everyButtonHasALetter = seen.everyButtonHasALetter && b->text().contains('&');
        auto* push = qobject_cast<QPushButton*>(b);
        if (push && push->isDefault()) seen.defaultButton = b->text().remove('&');
      }
    }
    if (auto* area = dialog->findChild<QScrollArea*>(QStringLiteral("PopupTextArea"))) {
      seen.scrolls = area->verticalScrollBar()->isVisible();
      seen.textIsTabStop = (area->focusPolicy() & Qt::TabFocus) != 0;
      EXPECT_FALSE(area->accessibleName().isEmpty());
    }
    answer(*dialog);
  });
  show();
  return seen;
}

void press(QDialog& dialog, const QString& text) {
  for (QAbstractButton* b : dialog.findChild<QDialogButtonBox*>()->buttons()) {
    if (b->text().remove('&') == text) {
      b->click();
      return;
    }
  }
  ADD_FAILURE() << "no button " << text.toStdString();
}

void escape(QDialog& dialog) {
  QTest::keyClick(&dialog, Qt::Key_Escape);
}

TEST(QtPopupsTest, LongListScrollsAndEveryPopupStaysOnTheScreen) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  std::vector<std::size_t> everyRow;
  for (std::size_t row = 0; row < kTeachRows; ++row) everyRow.push_back(row);
  const QString list = qStringFromLatin1(attrs::missingRowsReport(everyRow));
  const QString wide = QStringLiteral("ATTENTION! ") + QString(400, QLatin1Char('w'));

  QtPopups popups;
  for (const QString& text : {list, wide}) {
    const Seen seen = whileOpen([&] { popups.MessagePopup(QStringLiteral("Attention!"), text); },
                                [](QDialog& d) { press(d, QStringLiteral("OK")); });
    EXPECT_TRUE(screen.contains(seen.geometry)) << seen.geometry.height();
    EXPECT_TRUE(screen.contains(seen.buttons));
    EXPECT_EQ(seen.buttonTexts, QStringList{QStringLiteral("OK")});
  }
  const Seen longList =
      whileOpen([&] { EXPECT_TRUE(popups.ConfirmPopup(QStringLiteral("?"), list)); },
                [](QDialog& d) { press(d, QStringLiteral("Yes")); });
  EXPECT_TRUE(screen.contains(longList.geometry));
  EXPECT_TRUE(longList.scrolls);
  // The arrow keys scroll a long text: Tab reaches it; a short one is no
  // stop on the way to the buttons, which have their letters.
  EXPECT_TRUE(longList.textIsTabStop);
  EXPECT_TRUE(longList.everyButtonHasALetter);

  const Seen shortText =
      whileOpen([&] { popups.MessagePopup(QStringLiteral("Info"), QStringLiteral("Done.")); },
                [](QDialog& d) { press(d, QStringLiteral("OK")); });
  EXPECT_FALSE(shortText.scrolls);
  EXPECT_FALSE(shortText.textIsTabStop);
  EXPECT_LT(shortText.geometry.height(), screen.height() / 2);
}

TEST(QtPopupsTest, QuestionsAnswerNoByDefaultAndChoicesByNumber) {
  QtPopups popups;
  const QString text = QString::fromLatin1(kConfirmResetTable);
  Seen seen = whileOpen([&] { EXPECT_FALSE(popups.ConfirmPopup(QStringLiteral("?"), text)); },
                        [](QDialog& d) { press(d, QStringLiteral("No")); });
  EXPECT_EQ(seen.defaultButton, QStringLiteral("No"));
  whileOpen([&] { EXPECT_FALSE(popups.ConfirmPopup(QStringLiteral("?"), text)); }, escape);

  const QStringList choices{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};
  seen = whileOpen(
      [&] { EXPECT_EQ(popups.GenericMessagePopup(QStringLiteral("?"), text, choices, 2, 3), 2); },
      [](QDialog& d) { press(d, QStringLiteral("B")); });
  EXPECT_EQ(seen.buttonTexts, choices);
  EXPECT_EQ(seen.defaultButton, QStringLiteral("B"));
  whileOpen(
      [&] { EXPECT_EQ(popups.GenericMessagePopup(QStringLiteral("?"), text, choices, 2, 3), 3); },
      escape);
}

// Once a popup has closed, the window under it is active again with the focus
// where it was: its shortcuts work at once (Alt+1 switches, it does not type
// "1" into the field). Without a window manager nothing else gives it back.
TEST(QtPopupsTest, TheWindowUnderAPopupGetsTheKeyboardBack) {
  QWidget window;
  auto* layout = new QVBoxLayout(&window);
  layout->addWidget(new QLineEdit(&window));
  auto* field = new QLineEdit(&window);
  layout->addWidget(field);
  int switched = 0;
  const auto* shortcut = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_1), &window);
  QObject::connect(shortcut, &QShortcut::activated, [&switched] { ++switched; });
  window.show();
  QApplication::setActiveWindow(&window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  field->setFocus();

  QtPopups popups(&window);
  const QString title = QStringLiteral("Attention!");
  const QString text = QStringLiteral("Done.");
  const std::vector<std::function<void()>> shows = {
      [&] { popups.MessagePopup(title, text); },
      [&] { popups.ConfirmPopup(title, text); },
      [&] { popups.GenericMessagePopup(title, text, {QStringLiteral("A")}, 1, 1); },
      [&] { popups.PromptPopup(title, text, 8); },
      [&] {
        popups.FileSelectPopup({QDir::tempPath(), {}, QStringLiteral("*.ini"), title, false});
      },
  };
  for (std::size_t i = 0; i < shows.size(); ++i) {
    whileOpen(shows[i], escape);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window)) << "popup " << i;
    EXPECT_EQ(QApplication::focusWidget(), field) << "popup " << i;
    QTest::keyClick(window.windowHandle(), Qt::Key_1, Qt::AltModifier);
    EXPECT_EQ(switched, static_cast<int>(i) + 1) << "popup " << i;
    EXPECT_TRUE(field->text().isEmpty()) << "popup " << i;
  }
}

}  // namespace
}  // namespace drq::gui::test
