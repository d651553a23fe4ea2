#include "gui/popups/Help.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>

namespace drq::gui {

namespace {

class RightClickFilter final : public QObject {
 public:
  RightClickFilter(QWidget* control, Popups* popups, QString title, QString text,
                   std::function<void()> onDoubleClick)
      : QObject(control),
        control_(control),
        popups_(popups),
        title_(std::move(title)),
        text_(std::move(text)),
        onDoubleClick_(std::move(onDoubleClick)) {
    pending_.setObjectName(QString::fromLatin1(kDeferredHelpTimerName));
    pending_.setSingleShot(true);
    pending_.setInterval(QApplication::doubleClickInterval());
    connect(&pending_, &QTimer::timeout, this, &RightClickFilter::showHelp);
    control->installEventFilter(this);
    for (QWidget* child : control->findChildren<QWidget*>()) child->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::RightButton) return false;
        handleRight(event->type());
        return true;
      }
      case QEvent::ContextMenu: {
        // The platform turns the context-menu key into this event.
        auto* menu = static_cast<QContextMenuEvent*>(event);
        if (menu->reason() == QContextMenuEvent::Keyboard && popups_) showHelp();
        return true;
      }
      case QEvent::KeyPress: {
        // Shift+F10, the other context-menu key, no platform turns into one.
        auto* key = static_cast<QKeyEvent*>(event);
        if (!popups_ || key->key() != Qt::Key_F10 ||
            (key->modifiers() & ~Qt::KeypadModifier) != Qt::ShiftModifier)
          return false;
        showHelp();
        return true;
      }
      default:
        break;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  void handleRight(QEvent::Type type) {
    if (type == QEvent::MouseButtonPress) {
      swallowRelease_ = false;
      return;
    }
    if (type == QEvent::MouseButtonDblClick) {
      pending_.stop();
      swallowRelease_ = true;
      if (onDoubleClick_) onDoubleClick_();
      return;
    }
    if (swallowRelease_) {
      swallowRelease_ = false;
      return;
    }
    if (!popups_) return;
    if (onDoubleClick_) {
      pending_.start();
    } else {
      showHelp();
    }
  }

  void showHelp() {
    if (!popups_ || !control_) return;
    popups_->MessagePopup(title_, text_);
  }

  QPointer<QWidget> control_;
  Popups* popups_;
  QString title_;
  QString text_;
  std::function<void()> onDoubleClick_;
  QTimer pending_{this};  // a child, so that the wait can be seen from outside
  bool swallowRelease_ = false;
};

// Holds a mouse context-menu request back for the double-click interval and
// hands it on unless a right double-click came in between.
class DeferredMenuFilter final : public QObject {
 public:
  DeferredMenuFilter(QWidget* control, std::function<void()> onDoubleClick)
      : QObject(control), onDoubleClick_(std::move(onDoubleClick)) {
    pending_.setObjectName(QString::fromLatin1(kDeferredMenuTimerName));
    pending_.setSingleShot(true);
    connect(&pending_, &QTimer::timeout, this, &DeferredMenuFilter::openMenu);
    control->installEventFilter(this);
    for (QWidget* child : control->findChildren<QWidget*>()) child->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
      pending_.stop();
      if (onDoubleClick_) onDoubleClick_();
      return true;
    }
    if (event->type() == QEvent::ContextMenu && !handingOn_) {
      auto* menu = static_cast<QContextMenuEvent*>(event);
      if (menu->reason() != QContextMenuEvent::Mouse) return false;
      target_ = qobject_cast<QWidget*>(watched);
      pos_ = menu->pos();
      globalPos_ = menu->globalPos();
      modifiers_ = menu->modifiers();
      pending_.start(QApplication::doubleClickInterval());
      return true;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  void openMenu() {
    if (!target_) return;
    QContextMenuEvent menu(QContextMenuEvent::Mouse, pos_, globalPos_, modifiers_);
    handingOn_ = true;
    QCoreApplication::sendEvent(target_, &menu);
    handingOn_ = false;
  }

  std::function<void()> onDoubleClick_;
  QTimer pending_{this};  // a child, so that the wait can be seen from outside
  QPointer<QWidget> target_;
  QPoint pos_;
  QPoint globalPos_;
  Qt::KeyboardModifiers modifiers_;
  bool handingOn_ = false;
};

}  // namespace

void installHelp(QWidget* control, Popups& popups, const QString& text, const QString& title) {
  control->setToolTip(text);
  new RightClickFilter(control, &popups, title, text, {});
}

void installHelpWithRightDoubleClick(QWidget* control, Popups& popups, const QString& text,
                                     std::function<void()> onRightDoubleClick,
                                     const QString& title) {
  control->setToolTip(text);
  new RightClickFilter(control, &popups, title, text, std::move(onRightDoubleClick));
}

void installRightDoubleClick(QWidget* control, std::function<void()> onRightDoubleClick) {
  new RightClickFilter(control, nullptr, QString(), QString(), std::move(onRightDoubleClick));
}

void installRightDoubleClickKeepingMenu(QWidget* control,
                                        std::function<void()> onRightDoubleClick) {
  new DeferredMenuFilter(control, std::move(onRightDoubleClick));
}

}  // namespace drq::gui
