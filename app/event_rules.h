#pragma once

// The keyboard and focus rules of the main window that the toolkit does not give by itself:
// menu shortcuts win over the focused control, Enter presses the default button, and an
// edit's exit check runs only when the focus moves to another control of the window.

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class QAction;
class QKeyEvent;
class QPushButton;
class QWidget;

namespace vanter::app {

class EventRules final : public QObject {
public:
    using ExitHandler = std::function<void(QWidget* edit)>;

    // Watches the whole application for key events aimed at `window`, whose controls stand in
    // `clientArea`.
    EventRules(QWidget* window, QWidget* clientArea, QPushButton* defaultButton,
               ExitHandler onExit);
    ~EventRules() override;

    EventRules(const EventRules&) = delete;
    EventRules& operator=(const EventRules&) = delete;

    // Actions whose shortcuts take precedence over the focused control.
    void addMenuActions(const QList<QAction*>& actions);
    // Runs the exit handler for `edit` when the focus moves from it to another control.
    void watchExit(QWidget* edit);

    // Bracket every handler of the window. While one runs (its message box up) no exit check
    // starts; the pending ones run, in order, once the last handler has ended.
    void handlerStarted() noexcept { ++handlersRunning_; }
    void handlerFinished();
    // Runs the pending checks now, in order, unless a handler is running: before any other
    // handler of the window starts, so that a click or key that came with the focus move never
    // overtakes the check of the edit it left.
    void runPendingChecks();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool belongsToWindow(QObject* object) const;
    bool overridesShortcut(QKeyEvent* event) const;
    bool pressDefaultButton(QKeyEvent* event);
    void focusLeft(QWidget* edit, int reason);

    QWidget* window_;
    QWidget* clientArea_;
    QPointer<QPushButton> defaultButton_;
    ExitHandler onExit_;
    QList<QAction*> menuActions_;
    QList<QWidget*> watchedEdits_;
    QList<QPointer<QWidget>> pendingExits_; // edits left whose checks have not run yet
    int handlersRunning_ = 0;
};

} // namespace vanter::app
