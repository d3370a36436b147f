// The last-resort error net of the application object: an error that escaped every handler
// is shown in the error box, and the program goes on.

#include <QFileDialog>
#include <QMessageBox>
#include <QTest>

#include <memory>
#include <stdexcept>

#include "application.h"
#include "app/window_test_support.h"
#include "testing/qt/user_input.h"

using namespace vanter::app;
using namespace vanter::testing;

namespace {

FakeDialogs* theDialogs = nullptr;

// An object whose event handler raises an error that nothing of its own catches.
class Raising final : public QObject {
public:
    int events = 0;
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User) {
            ++events;
            throw std::runtime_error("Escaped the handler");
        }
        return QObject::event(event);
    }
};

} // namespace

class Application : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { theDialogs->calls.clear(); }

    void errorEscapingAHandlerIsShown() {
        Raising raising;
        QEvent event(QEvent::User);
        QVERIFY(!QCoreApplication::sendEvent(&raising, &event));
        QCOMPARE(raising.events, 1);
        QCOMPARE(theDialogs->calls.size(), std::size_t{1});
        QCOMPARE(theDialogs->calls.front().kind, DialogCall::Kind::Error);
        QCOMPARE(theDialogs->calls.front().text, QStringLiteral("Escaped the handler."));
        QCOMPARE(theDialogs->calls.front().caption, QStringLiteral("VANTER III"));
    }

    void programGoesOnAfterwards() {
        Raising raising;
        QCoreApplication::postEvent(&raising, new QEvent(QEvent::User));
        QCoreApplication::postEvent(&raising, new QEvent(QEvent::User));
        QCoreApplication::processEvents();
        QCOMPARE(raising.events, 2);
        QCOMPARE(theDialogs->calls.size(), std::size_t{2});
    }

    // As in Qt 6, also built with Qt 5.
    void dialogsHaveNoHelpButton() {
        QFileDialog dialog;
        QVERIFY(!dialog.windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
        std::unique_ptr<QMessageBox> box(
            makeMessageBox(nullptr, QStringLiteral("text"), QStringLiteral("caption"), kMbOk));
        QVERIFY(!box->windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
    }

    void applicationTitle() {
        FakeDriver driver;
        int result = -1;
        // The window closes itself as soon as the loop runs.
        QMetaObject::invokeMethod(
            qApp, [] { Vante3_0->close(); }, Qt::QueuedConnection);
        TestPlace place;
        result = runProgram(*theDialogs, driver);
        QCOMPARE(result, 0);
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("VANTER III"));
        QVERIFY(theDialogs->calls.empty());
        QVERIFY(Vante3_0 == nullptr);
    }
};

int main(int argc, char** argv) {
    FakeDialogs dialogs;
    theDialogs = &dialogs;
    VanterApplication application(argc, argv, dialogs);
    Application test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
