#include "gui/widgets/Mnemonics.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

#include <algorithm>
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

// A letter, or the digit 0: Alt+1 … Alt+9 open the pages, Alt+0 is free.
bool isLetter(QChar c) {
  return (c.toUpper() >= u'A' && c.toUpper() <= u'Z') || c == u'0';
}

// Alt and the key of `letter`.
QKeySequence altKey(QChar letter) {
  // Qt's keys for A-Z and 0-9 are their characters.
  return QKeySequence(Qt::ALT | static_cast<Qt::Key>(letter.toUpper().unicode()));
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
  const bool ownIsMnemonic = own == altKey(letter);
  button.setText(withMnemonic(button.text(), letter));  // the shortcut is now Alt+letter
  button.setProperty(kLetterProperty, QVariant::fromValue(letter));
  if (!own.isEmpty() && !ownIsMnemonic) {
    button.setShortcut(own);
    auto* mnemonic = new QShortcut(altKey(letter), &button);
    QObject::connect(mnemonic, &QShortcut::activated, &button,
                     [&button] { button.animateClick(); });
  }
  addKeysToToolTip(button, ownIsMnemonic ? QKeySequence() : own, letter);
}

// Gives out the letters by a search, so that every button of every group
// gets one where the texts allow it. The letters the texts mark are given
// first. Then the shared buttons, taking the letters the others need least;
// each choice of theirs is tried until the rest fits. The rest falls apart
// into parts that share no group (a page with the panels it opens beside
// itself, a panel, a page), each searched on its own: the panels' buttons
// first, then the pages', which prefer the letters the fewest panels use (a
// page stands beside any panel). Each button tries the first letters of its words first.
class LetterSearch {
 public:
  LetterSearch(std::span<QAbstractButton* const> shared,
               std::span<const std::vector<QAbstractButton*>> pages,
               std::span<const std::vector<QAbstractButton*>> panels,
               std::span<const std::pair<std::size_t, std::size_t>> beside) {
    for (QAbstractButton* b : shared) sharedOrder_.push_back(slotOf(b, false));
    // Units: the panels, then the pages; each holds its buttons' slots.
    std::vector<std::vector<std::size_t>> units;
    for (const auto& panel : panels) units.push_back(slotsOf(panel, false));
    for (const auto& page : pages) units.push_back(slotsOf(page, true));
    const auto addGroup = [this](std::vector<std::size_t> group) {
      group.insert(group.end(), sharedOrder_.begin(), sharedOrder_.end());
      for (std::size_t s : group) slots_[s].groups.push_back(groups_.size());
      groups_.push_back(std::move(group));
    };
    for (const auto& unit : units) addGroup(unit);
    // A page and a panel beside it: one group, one part.
    std::vector<std::size_t> partOf(units.size());
    for (std::size_t u = 0; u < units.size(); ++u) partOf[u] = u;
    const auto root = [&partOf](std::size_t u) {
      while (partOf[u] != u) u = partOf[u];
      return u;
    };
    for (const auto& [page, panel] : beside) {
      if (page >= pages.size() || panel >= panels.size()) continue;
      std::vector<std::size_t> group = units[panel];
      const auto& pageSlots = units[panels.size() + page];
      group.insert(group.end(), pageSlots.begin(), pageSlots.end());
      addGroup(std::move(group));
      partOf[root(panels.size() + page)] = root(panel);
    }
    std::map<std::size_t, std::vector<std::size_t>> parts;  // by root: panels' parts first
    for (std::size_t u = 0; u < units.size(); ++u) {
      auto& part = parts[root(u)];
      part.insert(part.end(), units[u].begin(), units[u].end());
    }

    // What the pages and panels want: the shared buttons rank by it.
    std::map<QChar, int> demand;
    for (const auto& unit : units)
      for (std::size_t s : unit)
        for (QChar c : candidates(slots_[s].button->text())) ++demand[c];
    for (Slot& slot : slots_) {
      slot.options =
          slot.marked.isNull() ? candidates(slot.button->text()) : std::vector<QChar>{slot.marked};
    }
    for (std::size_t s : sharedOrder_) {
      std::stable_sort(slots_[s].options.begin(), slots_[s].options.end(),
                       [&demand](QChar a, QChar b) { return demand[a] < demand[b]; });
    }
    // Within a part the panels' buttons before the pages', those with fewer
    // letters first; the marked ones are given before the search.
    const auto byOptions = [this](std::size_t a, std::size_t b) {
      if (slots_[a].onPage != slots_[b].onPage) return !slots_[a].onPage;
      return slots_[a].options.size() < slots_[b].options.size();
    };
    std::stable_sort(sharedOrder_.begin(), sharedOrder_.end(), byOptions);
    for (auto& entry : parts) {
      std::vector<std::size_t>& part = entry.second;
      std::erase_if(part, [this](std::size_t s) { return !slots_[s].marked.isNull(); });
      std::stable_sort(part.begin(), part.end(), byOptions);
      parts_.push_back(std::move(part));
    }
    std::erase_if(sharedOrder_, [this](std::size_t s) { return !slots_[s].marked.isNull(); });
    used_.assign(groups_.size(), {});
    chosen_.assign(slots_.size(), QChar());
  }

  // Searches; where the texts leave no letter for every button (or the
  // search takes too long), as many as possible get one instead.
  void run() {
    for (bool allowNone : {false, true}) {
      allowNone_ = allowNone;
      steps_ = 0;
      std::fill(chosen_.begin(), chosen_.end(), QChar());
      for (auto& u : used_) u.clear();
      for (std::size_t s = 0; s < slots_.size(); ++s)
        if (!slots_[s].marked.isNull() && isFree(s, slots_[s].marked)) take(s, slots_[s].marked);
      if (searchShared(0)) return;
    }
  }

  // The buttons and their letters ('\0': none).
  std::vector<std::pair<QAbstractButton*, QChar>> result() const {
    std::vector<std::pair<QAbstractButton*, QChar>> out;
    for (std::size_t s = 0; s < slots_.size(); ++s) out.emplace_back(slots_[s].button, chosen_[s]);
    return out;
  }

 private:
  struct Slot {
    QAbstractButton* button = nullptr;
    QChar marked;  // the letter its text marks already
    std::vector<QChar> options;
    std::vector<std::size_t> groups;
    bool onPage = false;
  };

  // Far more than this tool's window needs; past it the search stops and
  // gives out what it can.
  static constexpr long kMaxSteps = 1'000'000;

  std::size_t slotOf(QAbstractButton* b, bool onPage) {
    if (const auto found = index_.find(b); found != index_.end()) return found->second;
    Slot slot;
    slot.button = b;
    slot.onPage = onPage;
    if (const int at = mnemonicPosition(b->text()); at >= 0)
      slot.marked = b->text()[at + 1].toUpper();
    index_.emplace(b, slots_.size());
    slots_.push_back(std::move(slot));
    return slots_.size() - 1;
  }
  std::vector<std::size_t> slotsOf(const std::vector<QAbstractButton*>& buttons, bool onPage) {
    std::vector<std::size_t> out;
    for (QAbstractButton* b : buttons) out.push_back(slotOf(b, onPage));
    return out;
  }

  bool isFree(std::size_t s, QChar c) const {
    for (std::size_t g : slots_[s].groups)
      if (used_[g].count(c)) return false;
    return true;
  }
  void take(std::size_t s, QChar c) {
    chosen_[s] = c;
    for (std::size_t g : slots_[s].groups) used_[g].insert(c);
  }
  void give(std::size_t s) {
    if (chosen_[s].isNull()) return;
    for (std::size_t g : slots_[s].groups) used_[g].erase(chosen_[s]);
    chosen_[s] = QChar();
  }
  bool outOfSteps() { return !allowNone_ && ++steps_ > kMaxSteps; }

  // A page's letters: those the fewest panels have taken first (a letter is
  // unique within a panel, so each button that has it is another panel).
  std::vector<QChar> optionsOf(std::size_t s) const {
    std::vector<QChar> options = slots_[s].options;
    if (!slots_[s].onPage) return options;
    std::map<QChar, int> panelsWith;
    for (std::size_t o = 0; o < slots_.size(); ++o)
      if (!slots_[o].onPage && !chosen_[o].isNull()) ++panelsWith[chosen_[o]];
    const auto panels = [&panelsWith](QChar c) {
      const auto found = panelsWith.find(c);
      return found == panelsWith.end() ? 0 : found->second;
    };
    std::stable_sort(options.begin(), options.end(),
                     [&panels](QChar a, QChar b) { return panels(a) < panels(b); });
    return options;
  }

  // Gives the slots from `at` on letters; true when all fit (with
  // allowNone_, some may get none: always true).
  template <typename Rest>
  bool searchSlots(const std::vector<std::size_t>& order, std::size_t at, const Rest& rest) {
    if (at == order.size()) return rest();
    if (outOfSteps()) return false;
    const std::size_t s = order[at];
    for (QChar c : optionsOf(s)) {
      if (!isFree(s, c)) continue;
      take(s, c);
      if (searchSlots(order, at + 1, rest)) return true;
      give(s);
      if (steps_ > kMaxSteps) return false;
    }
    return allowNone_ && searchSlots(order, at + 1, rest);
  }

  bool searchShared(std::size_t at) {
    return searchSlots(sharedOrder_, at, [this] { return searchParts(); });
  }

  // The parts, each on its own; none fitting undoes those before it.
  bool searchParts() {
    for (std::size_t p = 0; p < parts_.size(); ++p) {
      if (searchSlots(parts_[p], 0, [] { return true; })) continue;
      for (std::size_t q = 0; q < p; ++q)
        for (std::size_t s : parts_[q]) give(s);
      return false;
    }
    return true;
  }

  std::vector<Slot> slots_;
  std::map<QAbstractButton*, std::size_t> index_;
  std::vector<std::vector<std::size_t>> groups_;
  std::vector<std::size_t> sharedOrder_;
  std::vector<std::vector<std::size_t>> parts_;
  std::vector<std::set<QChar>> used_;
  std::vector<QChar> chosen_;
  bool allowNone_ = false;
  long steps_ = 0;
};

}  // namespace

void assignMnemonics(std::span<QAbstractButton* const> shared,
                     std::span<const std::vector<QAbstractButton*>> pages,
                     std::span<const std::vector<QAbstractButton*>> panels,
                     std::span<const std::pair<std::size_t, std::size_t>> beside) {
  LetterSearch search(shared, pages, panels, beside);
  search.run();
  for (const auto& [button, letter] : search.result()) {
    if (letter.isNull()) continue;
    if (mnemonicPosition(button->text()) >= 0) {
      // Its text marks it already: only the property and the tooltip.
      if (!button->property(kLetterProperty).isValid()) {
        button->setProperty(kLetterProperty, QVariant::fromValue(letter));
        addKeysToToolTip(*button, {}, letter);
      }
      continue;
    }
    applyMnemonic(*button, letter);
  }
}

void setTextKeepingMnemonic(QAbstractButton& button, const QString& text) {
  const QChar letter = mnemonicLetter(button);
  const QKeySequence own = button.shortcut();
  const bool ownIsMnemonic = !letter.isNull() && own == altKey(letter);
  button.setText(letter.isNull() ? text : withMnemonic(text, letter));
  if (!own.isEmpty() && !ownIsMnemonic) button.setShortcut(own);
}

namespace {

std::vector<QAbstractButton*> pushButtonsOf(QWidget& root) {
  const auto found = root.findChildren<QPushButton*>();
  return {found.begin(), found.end()};
}

}  // namespace

void setUpKeyboardAccess(QWidget& window, QWidget& shared, std::span<QWidget* const> pages,
                         std::span<QWidget* const> panels,
                         std::span<const std::pair<std::size_t, std::size_t>> beside) {
  const auto buttonsOf = [](std::span<QWidget* const> roots) {
    std::vector<std::vector<QAbstractButton*>> out;
    for (QWidget* root : roots)
      out.push_back(root ? pushButtonsOf(*root) : std::vector<QAbstractButton*>{});
    return out;
  };
  // The shared toggles (the transfer bar's memory and parameter-set choices)
  // take part too: their letters are taken from every page and panel.
  const std::vector<QAbstractButton*> sharedButtons = pushButtonsOf(shared);
  assignMnemonics(sharedButtons, buttonsOf(pages), buttonsOf(panels), beside);
  for (QAbstractItemView* view : window.findChildren<QAbstractItemView*>())
    view->setTabKeyNavigation(false);
  for (QComboBox* combo : window.findChildren<QComboBox*>()) {
    QLineEdit* edit = combo->lineEdit();
    if (!edit || !edit->accessibleName().isEmpty()) continue;
    // The combo box's name: its own, else its label's (a form's buddy). Not
    // its accessible Name, which is its current text where it has no name.
    QString name = combo->accessibleName();
    if (name.isEmpty()) {
      for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (label->buddy() != combo) continue;
        name = QString(label->text()).remove(u'&');
        break;
      }
    }
    edit->setAccessibleName(name);
  }
}

QChar mnemonicLetter(const QAbstractButton& button) {
  const QVariant v = button.property(kLetterProperty);
  return v.isValid() ? v.value<QChar>() : QChar();
}

}  // namespace drq::gui
