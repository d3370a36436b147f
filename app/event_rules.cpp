#include "event_rules.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcutEvent>
#include <QWidget>

#include "app/common/qt_compat.h"

namespace vanter::app {

EventRules::EventRules(QWidget* window, QWidget* clientArea, QPushButton* defaultButton,
                       ExitHandler onExit)
    : QObject(window), window_(window), clientArea_(clientArea), defaultButton_(defaultButton),
      onExit_(std::move(onExit)) {
    qApp->installEventFilter(this);
}

EventRules::~EventRules() {
    if (qApp != nullptr) {
        qApp->removeEventFilter(this);
    }
}

void EventRules::addMenuActions(const QList<QAction*>& actions) {
    menuActions_ += actions;
}

void EventRules::watchExit(QWidget* edit) {
    // The application-wide filter sees its focus events too.
    watchedEdits_.append(edit);
}

bool EventRules::belongsToWindow(QObject* object) const {
    auto* widget = qobject_cast<QWidget*>(object);
    return widget != nullptr && widget->window() == window_;
}

bool EventRules::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // A line edit claims Ctrl+A for select-all; the menu's Save As must win.
        if (belongsToWindow(watched) && overridesShortcut(static_cast<QKeyEvent*>(event))) {
            event->ignore();
            return true;
        }
        break;
    case QEvent::KeyPress:
        if (belongsToWindow(watched) && pressDefaultButton(static_cast<QKeyEvent*>(event))) {
            return true;
        }
        break;
    case QEvent::Shortcut:
        // A button's mnemonic (Alt+C) presses it at once and leaves the focus where it is.
        if (auto* button = qobject_cast<QAbstractButton*>(watched);
            button != nullptr && belongsToWindow(button) &&
            !static_cast<QShortcutEvent*>(event)->isAmbiguous()) {
            button->click();
            return true;
        }
        break;
    case QEvent::FocusOut:
        if (auto* edit = qobject_cast<QWidget*>(watched); edit && watchedEdits_.contains(edit)) {
            focusLeft(edit, static_cast<QFocusEvent*>(event)->reason());
        }
        break;
    default:
        break;
    }
    return false;
}

bool EventRules::overridesShortcut(QKeyEvent* event) const {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const QKeySequence pressed = keyChord(modifiers, Qt::Key(event->key()));
    for (const QAction* action : menuActions_) {
        if (action->isEnabled() && !action->shortcut().isEmpty() && action->shortcut() == pressed) {
            return true;
        }
    }
    return false;
}

bool EventRules::pressDefaultButton(QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        return false;
    }
    if ((event->modifiers() &
         (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0) {
        return false;
    }
    // In an open drop-down list Enter picks the entry; in the menu bar it belongs to the menu.
    QWidget* focus = QApplication::focusWidget();
    if (QApplication::activePopupWidget() != nullptr || focus == nullptr ||
        !clientArea_->isAncestorOf(focus)) {
        return false;
    }
    if (auto* button = qobject_cast<QPushButton*>(focus)) {
        button->click();
    } else if (defaultButton_ && defaultButton_->isEnabled()) {
        defaultButton_->click();
    }
    event->accept();
    return true;
}

void EventRules::focusLeft(QWidget* edit, int reason) {
    // Focus moves that a handler causes (its box opening, a control it disables) are its own.
    if (handlersRunning_ > 0) {
        return;
    }
    switch (reason) {
    case Qt::MouseFocusReason:
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason:
    case Qt::OtherFocusReason:
        break;
    default:
        // Deactivation, a menu or popup, a message box: the focus has not moved to a control.
        return;
    }
    // The reason alone is not enough: a combo's popup takes the focus with reason Other.
    QWidget* next = QApplication::focusWidget();
    if (next == nullptr || next == edit || next->window() != window_ ||
        qobject_cast<QMenuBar*>(next) != nullptr) {
        return;
    }
    // After the focus change has completed: a box opened by the check must not keep the next
    // control from getting its focus. Checks typed ahead wait for each other.
    pendingExits_.append(edit);
    QMetaObject::invokeMethod(this, &EventRules::runPendingChecks, Qt::QueuedConnection);
}

void EventRules::handlerFinished() {
    if (--handlersRunning_ == 0 && !pendingExits_.isEmpty()) {
        QMetaObject::invokeMethod(this, &EventRules::runPendingChecks, Qt::QueuedConnection);
    }
}

void EventRules::runPendingChecks() {
    while (handlersRunning_ == 0 && !pendingExits_.isEmpty()) {
        const QPointer<QWidget> edit = pendingExits_.takeFirst();
        // A control switched off meanwhile, or whose window has closed, can't be left by the user.
        if (!edit || !edit->isEnabled() || !edit->isVisible()) {
            continue;
        }
        handlerStarted();
        onExit_(edit);
        handlerFinished();
    }
}

} // namespace vanter::app
