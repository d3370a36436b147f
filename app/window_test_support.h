#pragma once

// The window as the program shows it, with test doubles, in a private working folder; and
// the members every window test shares.

#include <QApplication>
#include <QDir>
#include <QObject>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <utility>

#include "app/common/fake_dialogs.h"
#include "app/main_window.h"
#include "testing/fake_driver.h"
#include "testing/qt/readable_configuration.h"

namespace vanter::testing {

// A private working folder (no default configuration file in it) and download script folder
// for the life of a test program.
class TestPlace {
public:
    TestPlace() {
        QDir::setCurrent(folder_.path());
        qputenv("XDG_RUNTIME_DIR", folder_.path().toLocal8Bit());
    }
    QString path() const { return folder_.path(); }
    QString file(const QString& name) const { return folder_.filePath(name); }

private:
    QTemporaryDir folder_;
};

// The window as the program shows it, with test doubles, shown and active.
struct ShownWindow {
    FakeDialogs dialogs;
    FakeDriver driver;
    std::unique_ptr<TVante3_0> window;

    explicit ShownWindow(TVante3_0::Initialisation initialisation = {}) {
        window = std::make_unique<TVante3_0>(dialogs, driver, std::move(initialisation));
        window->show();
        activate();
    }
    // Windows are not re-activated by themselves without a window manager.
    bool activate() {
        window->activateWindow();
        // A popup that was active (a menu) still counts as the window's own activation.
        if (QApplication::activeWindow() != window.get()) {
            QApplication::setActiveWindow(window.get());
        }
        return QTest::qWaitForWindowActive(window.get());
    }
    template <class W> W* find(const char* name) const {
        return window->findChild<W*>(QString::fromLatin1(name));
    }
};

// A window test: its working folder, and the window each test shows.
class WindowTestCase : public QObject {
protected:
    TestPlace place_;
    std::unique_ptr<ShownWindow> shown_;

    TVante3_0& window() { return *shown_->window; }
    FakeDialogs& dialogs() { return shown_->dialogs; }
    FakeDriver& driver() { return shown_->driver; }
};

// The program ended without a window: one error box, captioned as the program's, and the
// program-wide reference cleared. A failed comparison returns from here only: the caller asks
// QTest::currentTestFailed().
inline void expectStartRefused(int result, const FakeDialogs& dialogs, const QString& shown) {
    QCOMPARE(result, 0);
    QCOMPARE(dialogs.calls.size(), std::size_t{1});
    QCOMPARE(dialogs.calls.front().kind, DialogCall::Kind::Error);
    QCOMPARE(dialogs.calls.front().text, shown);
    QCOMPARE(dialogs.calls.front().caption, QStringLiteral("VANTER III"));
    QVERIFY(Vante3_0 == nullptr);
}

} // namespace vanter::testing
