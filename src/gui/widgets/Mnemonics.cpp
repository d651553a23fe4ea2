#include "gui/widgets/Mnemonics.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QComboBox>
#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

#include <algorithm>
#include <functional>
#include <map>
#include <set>

namespace drq::gui {

namespace {

constexpr const char* kLetterProperty = "drqMnemonic";

// The position of the single '&' that marks a mnemonic ("&&" is a literal
// ampersand), or -1.
int mnemonicPosition(const QString& text) {
  for (int i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != u'&') continue;
    if (text[i + 1] == u'&') {
      ++i;
      continue;
    }
    return i;
  }
  return -1;
}

bool isLetter(QChar c) {
  return c.toUpper() >= u'A' && c.toUpper() <= u'Z';
}

// The letters a text offers, the first letters of its words first.
std::vector<QChar> candidates(const QString& text) {
  std::vector<QChar> out;
  const auto add = [&out](QChar c) {
    c = c.toUpper();
    if (isLetter(c) && std::find(out.begin(), out.end(), c) == out.end()) out.push_back(c);
  };
  for (int i = 0; i < text.size(); ++i)
    if (i == 0 || !text[i - 1].isLetterOrNumber()) add(text[i]);
  for (QChar c : text) add(c);
  return out;
}

// `text` with '&' before the first occurrence of `letter`, a word's first
// letter preferred.
QString withMnemonic(const QString& text, QChar letter) {
  int at = -1;
  for (int i = 0; i < text.size() && at < 0; ++i)
    if (text[i].toUpper() == letter && (i == 0 || !text[i - 1].isLetterOrNumber())) at = i;
  for (int i = 0; i < text.size() && at < 0; ++i)
    if (text[i].toUpper() == letter) at = i;
  if (at < 0) return text;
  QString out = text;
  out.insert(at, u'&');
  return out;
}

void addKeysToToolTip(QAbstractButton& button, const QKeySequence& own, QChar letter) {
  const QString tip = button.toolTip();
  QStringList keys;
  // A help text that names the function key already ("Shortcut Key: F9.")
  // is not told it twice.
  const QString ownText = own.toString(QKeySequence::NativeText);
  if (!own.isEmpty() && !tip.contains(ownText)) keys << ownText;
  keys << QStringLiteral("Alt+") + letter;
  const QString line = QStringLiteral("Keys: ") + keys.join(QStringLiteral(", "));
  button.setToolTip(tip.isEmpty() ? line : tip + QStringLiteral("\n\n") + line);
}

// Sets the mnemonic for `letter`, keeping a shortcut the button had.
void applyMnemonic(QAbstractButton& button, QChar letter) {
  const QKeySequence own = button.shortcut();
  const bool ownIsMnemonic = own == QKeySequence(Qt::ALT | (Qt::Key_A + (letter.unicode() - u'A')));
  button.setText(withMnemonic(button.text(), letter));  // the shortcut is now Alt+letter
  button.setProperty(kLetterProperty, QVariant::fromValue(letter));
  if (!own.isEmpty() && !ownIsMnemonic) {
    button.setShortcut(own);
    auto* mnemonic =
        new QShortcut(QKeySequence(Qt::ALT | (Qt::Key_A + (letter.unicode() - u'A'))), &button);
    QObject::connect(mnemonic, &QShortcut::activated, &button,
                     [&button] { button.animateClick(); });
  }
  addKeysToToolTip(button, ownIsMnemonic ? QKeySequence() : own, letter);
}

// Matches buttons to free letters so that as many as possible get one
// (augmenting paths; each button tries its preferred letters first).
class LetterMatching {
 public:
  // `rank` orders a button's letters (lower first; equal ranks keep the
  // order of candidates()).
  LetterMatching(const std::vector<QAbstractButton*>& buttons, const std::set<QChar>& taken,
                 const std::function<int(QChar)>& rank)
      : buttons_(buttons) {
    for (QAbstractButton* b : buttons) {
      std::vector<QChar> free;
      for (QChar c : candidates(b->text()))
        if (!taken.count(c)) free.push_back(c);
      std::stable_sort(free.begin(), free.end(),
                       [&rank](QChar a, QChar b2) { return rank(a) < rank(b2); });
      options_.push_back(std::move(free));
    }
    assigned_.assign(buttons.size(), QChar());
    for (std::size_t i = 0; i < buttons.size(); ++i) {
      visited_.clear();
      place(i);
    }
  }
  QChar letterOf(std::size_t i) const { return assigned_[i]; }

 private:
  bool place(std::size_t i) {
    for (QChar c : options_[i]) {
      if (!visited_.insert(c).second) continue;
      const auto owner = owner_.find(c);
      if (owner == owner_.end() || place(owner->second)) {
        owner_[c] = i;
        assigned_[i] = c;
        return true;
      }
    }
    return false;
  }

  const std::vector<QAbstractButton*>& buttons_;
  std::vector<std::vector<QChar>> options_;
  std::vector<QChar> assigned_;
  std::map<QChar, std::size_t> owner_;
  std::set<QChar> visited_;
};

// Gives the buttons without a mnemonic one, avoiding `taken` and preferring
// the letters `rank` puts first; adds the letters used to `taken`.
void assignWithin(const std::vector<QAbstractButton*>& buttons, std::set<QChar>& taken,
                  const std::function<int(QChar)>& rank) {
  std::vector<QAbstractButton*> open;
  for (QAbstractButton* b : buttons) {
    const int at = mnemonicPosition(b->text());
    if (at >= 0) {
      const QChar letter = b->text()[at + 1].toUpper();
      taken.insert(letter);
      if (!b->property(kLetterProperty).isValid()) {
        b->setProperty(kLetterProperty, QVariant::fromValue(letter));
        addKeysToToolTip(*b, {}, letter);
      }
    } else {
      open.push_back(b);
    }
  }
  const LetterMatching matching(open, taken, rank);
  for (std::size_t i = 0; i < open.size(); ++i) {
    const QChar letter = matching.letterOf(i);
    if (letter.isNull()) continue;
    taken.insert(letter);
    applyMnemonic(*open[i], letter);
  }
}

}  // namespace

void assignMnemonics(std::span<QAbstractButton* const> shared,
                     std::span<const std::vector<QAbstractButton*>> pages,
                     std::span<const std::vector<QAbstractButton*>> panels) {
  // Letters the groups' own mnemonics hold are kept from the shared buttons,
  // which take the letters the other buttons need least.
  std::set<QChar> sharedTaken;
  std::map<QChar, int> demand;
  for (const auto& groups : {pages, panels}) {
    for (const auto& group : groups) {
      for (QAbstractButton* b : group) {
        if (const int at = mnemonicPosition(b->text()); at >= 0)
          sharedTaken.insert(b->text()[at + 1].toUpper());
        for (QChar c : candidates(b->text())) ++demand[c];
      }
    }
  }
  assignWithin(std::vector<QAbstractButton*>(shared.begin(), shared.end()), sharedTaken,
               [&demand](QChar c) { return demand[c]; });
  std::set<QChar> sharedLetters;
  for (QAbstractButton* b : shared)
    if (const QChar c = mnemonicLetter(*b); !c.isNull()) sharedLetters.insert(c);
  // A panel is shown beside any page: a page prefers letters no panel uses.
  std::set<QChar> panelLetters;
  for (const auto& group : panels) {
    std::set<QChar> taken = sharedLetters;
    assignWithin(group, taken, [](QChar) { return 0; });
    for (QAbstractButton* b : group)
      if (const QChar c = mnemonicLetter(*b); !c.isNull()) panelLetters.insert(c);
  }
  for (const auto& group : pages) {
    std::set<QChar> taken = sharedLetters;
    assignWithin(group, taken, [&panelLetters](QChar c) { return panelLetters.count(c) ? 1 : 0; });
  }
}

void setTextKeepingMnemonic(QAbstractButton& button, const QString& text) {
  const QChar letter = mnemonicLetter(button);
  const QKeySequence own = button.shortcut();
  const bool ownIsMnemonic =
      !letter.isNull() && own == QKeySequence(Qt::ALT | (Qt::Key_A + (letter.unicode() - u'A')));
  button.setText(letter.isNull() ? text : withMnemonic(text, letter));
  if (!own.isEmpty() && !ownIsMnemonic) button.setShortcut(own);
}

namespace {

// One of a set of mutually exclusive toggles.
bool isChoice(const QAbstractButton& b) {
  return b.isCheckable() && (b.autoExclusive() || (b.group() && b.group()->exclusive()));
}

std::vector<QAbstractButton*> pushButtonsOf(QWidget& root) {
  const auto found = root.findChildren<QPushButton*>();
  return {found.begin(), found.end()};
}

}  // namespace

void setUpKeyboardAccess(QWidget& window, QWidget& shared, std::span<QWidget* const> pages,
                         std::span<QWidget* const> panels) {
  const auto buttonsOf = [](std::span<QWidget* const> roots) {
    std::vector<std::vector<QAbstractButton*>> out;
    for (QWidget* root : roots)
      if (root) out.push_back(pushButtonsOf(*root));
    return out;
  };
  // The shared buttons' toggles (the transfer bar's memory and parameter-set
  // choices) get none. Their letters would be taken from every page and
  // panel, and each one their texts offer is needed there: a button would
  // lose its letter, or a page's letter would stand beside the same letter
  // of a panel (the key then only moves the focus between the two). The
  // parameter sets differ only by a digit, which Alt+1…9 hold. Tab reaches
  // each toggle and Space chooses it.
  std::vector<QAbstractButton*> sharedButtons;
  for (QAbstractButton* b : pushButtonsOf(shared))
    if (!isChoice(*b)) sharedButtons.push_back(b);
  assignMnemonics(sharedButtons, buttonsOf(pages), buttonsOf(panels));
  for (QAbstractItemView* view : window.findChildren<QAbstractItemView*>())
    view->setTabKeyNavigation(false);
  for (QComboBox* combo : window.findChildren<QComboBox*>()) {
    QLineEdit* edit = combo->lineEdit();
    if (edit && edit->accessibleName().isEmpty()) edit->setAccessibleName(combo->accessibleName());
  }
}

QChar mnemonicLetter(const QAbstractButton& button) {
  const QVariant v = button.property(kLetterProperty);
  return v.isValid() ? v.value<QChar>() : QChar();
}

}  // namespace drq::gui
