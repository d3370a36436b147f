// The window's commands and boxes: Download and Check from the controls, the error net in a
// button, a menu action and a focus change, the start-up failure, Exit and every answer to
// Close, the controls as a configuration, and the make-up of the message and error boxes.

#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "app/window_test_support.h"
#include "application.h"
#include "config/errors.h"
#include "emulator/script_path.h"
#include "panels/unit_panel.h"
#include "testing/qt/test_files.h"
#include "testing/qt/user_input.h"

using namespace vanter::app;
using namespace vanter::testing;
using Kind = DialogCall::Kind;

Q_DECLARE_METATYPE(vanter::Configuration)

namespace {

// The shape of the application's override cursor, -1 for none.
int overrideShape() {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor == nullptr ? -1 : static_cast<int>(cursor->shape());
}

} // namespace

class WindowCommands : public WindowTestCase {
    Q_OBJECT

private:
    void clickMenu(QMenu* menu, QAction* action) {
        QMenuBar* bar = window().menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, {},
                          bar->actionGeometry(menu->menuAction()).center());
        QTRY_VERIFY(menu->isVisible());
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        QTRY_VERIFY(!menu->isVisible());
        settle();
        // Offscreen, a closed menu does not hand the activation back.
        if (window().isVisible()) {
            QVERIFY(shown_->activate());
        }
    }

private Q_SLOTS:
    void init() { shown_ = std::make_unique<ShownWindow>(); }
    void cleanup() { shown_.reset(); }

    void startUpWithoutDefaultFile();
    void download_data();
    void download();
    void downloadReadsControlsAtClick();
    void check();
    void busyCursor_data();
    void busyCursor();
    void refusalWithoutUnit_data();
    void refusalWithoutUnit();
    void errorNet_data();
    void errorNet();
    void startUpFailure_data();
    void startUpFailure();
    void exitClosesAtOnce_data();
    void exitClosesAtOnce();
    void closeButton_data();
    void closeButton();
    void helpItemsDoNothing();
    void configurationFromControls();
    void showConfiguration();
    void messageBoxes_data();
    void messageBoxes();
    void errorBox();
    void errorBoxText_data();
    void errorBoxText();
};

void WindowCommands::startUpWithoutDefaultFile() {
    TVante3_0& w = window();
    QCOMPARE(w.windowTitle(), QStringLiteral("VANTER III  v3.b3  -- Untitled.in3"));
    QCOMPARE(w.statusText(), QStringLiteral("hello"));
    QCOMPARE(w.messageCaption(), QStringLiteral("VanterIII Message"));
    QCOMPARE(w.currentFileName(), QStringLiteral("Vanter.in3"));
    QVERIFY(dialogs().calls.empty());
    QCOMPARE(Vante3_0, &w);
}

void WindowCommands::download_data() {
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("verdict");
    QTest::newRow("0") << 0 << "Download OK"
                       << "Download OK";
    QTest::newRow("-1") << -1 << "LPT Driver might not be installed"
                        << "Download Fail";
    QTest::newRow("146") << 146 << "Fail to initialize USB port"
                         << "Download Fail";
    QTest::newRow("153") << 153 << "Can't find VANTER III(A)"
                         << "Download Fail";
    QTest::newRow("-2") << -2 << "Download Fail# fffffffe"
                        << "Download Fail";
}

void WindowCommands::download() {
    QFETCH(int, result);
    QFETCH(QString, status);
    QFETCH(QString, verdict);
    driver().helloResult = result;
    QString statusWhileShown;
    dialogs().whileShown = [&](const DialogCall&) {
        statusWhileShown = window().statusText();
    };
    QTest::mouseClick(window().DownloadBut, Qt::LeftButton);
    QCOMPARE(driver().helloCalls, 1);
    QCOMPARE(window().statusText(), status);
    QCOMPARE(dialogs().calls.size(), std::size_t{1});
    const DialogCall& call = dialogs().calls.front();
    QCOMPARE(call.kind, Kind::Message);
    QCOMPARE(call.text, verdict);
    QCOMPARE(call.caption, QStringLiteral("VanterIII Message"));
    QCOMPARE(call.flags, kMbOk);
    // Status text first, then the message.
    QCOMPARE(statusWhileShown, status);
}

void WindowCommands::downloadReadsControlsAtClick() {
    TVante3_0& w = window();
    w.PrinterCombo->setCurrentIndex(1);
    w.ResetCombo->setCurrentIndex(1);
    w.unit(2).vanter->setChecked(true);
    w.unit(2).epromCombo->setCurrentIndex(3);
    w.unit(2).formatCombo->setCurrentIndex(1);
    w.unit(2).addrEdit->setText(QStringLiteral("8000"));
    w.unit(2).filenameEdit->setText(QStringLiteral("data.hex"));
    w.unit(0).vanter->setChecked(false);
    QTest::mouseClick(w.DownloadBut, Qt::LeftButton);
    QCOMPARE(driver().helloCalls, 1);
    // Where this platform puts the script: the test folder here, c:\$$temp.in3 on Windows.
    const QByteArray script =
        readFile(QString::fromStdWString(vanter::downloadScriptPath().wstring()));
    QCOMPARE(script, QByteArray("2\r\n1\r\n2\r\n4\r\n2\r\n8000\r\ndata.hex\r\nN"));
}

void WindowCommands::check() {
    TVante3_0& w = window();
    w.PrinterCombo->setEditText(QStringLiteral("usb"));
    w.unit(3).vanter->setChecked(true);
    w.unit(3).epromCombo->setCurrentIndex(14);
    driver().checkResult = 0;
    QTest::mouseClick(w.Check, Qt::LeftButton);
    QCOMPARE(driver().checkCalls.size(), std::size_t{2});
    QCOMPARE(driver().checkCalls[0].port, 5);
    QCOMPARE(driver().checkCalls[0].reset, 0);
    QCOMPARE(driver().checkCalls[0].memoryType, 4);
    QCOMPARE(driver().checkCalls[0].slot, 0);
    QCOMPARE(driver().checkCalls[1].memoryType, 14);
    QCOMPARE(driver().checkCalls[1].slot, 3);
    QCOMPARE(w.statusText(), QStringLiteral("Checking Vanter OK"));
    QCOMPARE(dialogs().messages().size(), std::size_t{1});
    QCOMPARE(dialogs().messages().front().text, QStringLiteral("Check OK"));
    QCOMPARE(driver().helloCalls, 0);
}

void WindowCommands::busyCursor_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("raises");
    QTest::addColumn<int>("calls");
    QTest::addColumn<QString>("box");
    QTest::newRow("Download OK") << "DownloadBut" << 0 << false << 1 << "Download OK";
    QTest::newRow("Download fails") << "DownloadBut" << 153 << false << 1 << "Download Fail";
    QTest::newRow("Download raises") << "DownloadBut" << 0 << true << 1 << "The link broke.";
    QTest::newRow("Check OK, two units") << "Check" << 0 << false << 2 << "Check OK";
    QTest::newRow("Check fails at the first") << "Check" << 0x2000 << false << 1 << "Vanter#0 Fail";
    QTest::newRow("Check raises") << "Check" << 0 << true << 1 << "The link broke.";
}

void WindowCommands::busyCursor() {
    QFETCH(QString, command);
    QFETCH(int, result);
    QFETCH(bool, raises);
    QFETCH(int, calls);
    QFETCH(QString, box);
    // A driver that notes the override cursor each call runs under.
    FakeDriver recorder;
    recorder.helloResult = result;
    recorder.checkResult = result;
    std::vector<int> shapes;
    recorder.duringCall = [&] {
        shapes.push_back(overrideShape());
        if (raises) {
            throw std::runtime_error("The link broke");
        }
    };
    window().setDriver(recorder);
    window().unit(1).vanter->setChecked(true);
    std::vector<int> shapesWhileShown;
    dialogs().whileShown = [&](const DialogCall&) {
        shapesWhileShown.push_back(overrideShape());
    };

    QTest::mouseClick(window().findChild<QPushButton*>(command), Qt::LeftButton);
    dialogs().whileShown = nullptr;

    QCOMPARE(shapes, std::vector<int>(std::size_t(calls), int{Qt::WaitCursor}));
    QCOMPARE(dialogs().calls.size(), std::size_t{1});
    QCOMPARE(dialogs().calls.front().text, box);
    // The box comes after the call, under the normal cursor, and none is left behind.
    QCOMPARE(shapesWhileShown, std::vector<int>{-1});
    QCOMPARE(overrideShape(), -1);
}

void WindowCommands::refusalWithoutUnit_data() {
    QTest::addColumn<QString>("command");
    QTest::newRow("Download") << "DownloadBut";
    QTest::newRow("Check") << "Check";
}

void WindowCommands::refusalWithoutUnit() {
    QFETCH(QString, command);
    window().unit(0).vanter->setChecked(false);
    QTest::mouseClick(window().findChild<QPushButton*>(command), Qt::LeftButton);
    QCOMPARE(dialogs().messages().size(), std::size_t{1});
    QCOMPARE(dialogs().messages().front().text, QStringLiteral("No Vanter is selected: Abort!!"));
    QCOMPARE(window().statusText(), QStringLiteral("hello"));
    QCOMPARE(driver().helloCalls, 0);
    QVERIFY(driver().checkCalls.empty());
}

void WindowCommands::errorNet_data() {
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("shown");
    QTest::newRow("Download button") << "download"
                                     << "'lpt1' is not a valid integer value.";
    QTest::newRow("Check button") << "check"
                                  << "'lpt1' is not a valid integer value.";
    QTest::newRow("Save menu item") << "save menu"
                                    << "'lpt1' is not a valid integer value.";
    QTest::newRow("Save shortcut") << "save key"
                                   << "'lpt1' is not a valid integer value.";
    QTest::newRow("Open menu item") << "open"
                                    << "'0x' is not a valid integer value.";
    QTest::newRow("focus change") << "focus"
                                  << "No box today.";
}

void WindowCommands::errorNet() {
    QFETCH(QString, where);
    QFETCH(QString, shown);
    TVante3_0& w = window();
    w.PrinterCombo->setEditText(QStringLiteral("lpt1"));
    QFile::remove(place_.file(QStringLiteral("net.in3")));
    w.SaveDialog->setFileName(place_.file(QStringLiteral("net.in3")));
    if (where == QLatin1String("download")) {
        QTest::mouseClick(w.DownloadBut, Qt::LeftButton);
    } else if (where == QLatin1String("check")) {
        QTest::mouseClick(w.Check, Qt::LeftButton);
    } else if (where == QLatin1String("save menu")) {
        clickMenu(w.File1, w.Save1);
    } else if (where == QLatin1String("save key")) {
        QTest::keyClick(w.unit(0).addrEdit, Qt::Key_S, Qt::ControlModifier);
    } else if (where == QLatin1String("open")) {
        dialogs().confirmFile(place_.file(QStringLiteral("missing.in3")));
        clickMenu(w.File1, w.Open1);
    } else {
        // The offset check's message box fails: an error inside a focus change.
        dialogs().whileShown = [](const DialogCall& call) {
            if (call.kind == Kind::Message) {
                throw vanter::Error("No box today");
            }
        };
        w.unit(0).addrEdit->setText(QStringLiteral("G"));
        w.unit(0).addrEdit->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(w.unit(0).addrEdit, Qt::Key_Tab);
        settle();
    }
    dialogs().whileShown = nullptr;

    QCOMPARE(dialogs().errors().size(), std::size_t{1});
    QCOMPARE(dialogs().errors().front().text, shown);
    QCOMPARE(dialogs().errors().front().caption, QStringLiteral("VANTER III"));
    QCOMPARE(driver().helloCalls, 0);
    QVERIFY(driver().checkCalls.empty());
    QCOMPARE(w.statusText(), QStringLiteral("hello"));
    QVERIFY(!QFile::exists(place_.file(QStringLiteral("net.in3"))));

    // The program goes on: the menus and buttons still work.
    dialogs().calls.clear();
    w.PrinterCombo->setCurrentIndex(0);
    w.SaveDialog->setFileName(place_.file(QStringLiteral("net.in3")));
    QTest::keyClick(w.unit(0).filenameEdit, Qt::Key_S, Qt::ControlModifier);
    QVERIFY(QFile::exists(place_.file(QStringLiteral("net.in3"))));
    QTest::mouseClick(w.DownloadBut, Qt::LeftButton);
    QCOMPARE(driver().helloCalls, 1);
    QVERIFY(dialogs().errors().empty());
    QVERIFY(w.isVisible());
}

void WindowCommands::startUpFailure_data() {
    QTest::addColumn<QString>("cause");
    QTest::addColumn<QString>("shown");
    QTest::newRow("initialisation raises") << "raise"
                                           << "The step failed.";
    QTest::newRow("default file unreadable") << "file"
                                             << "'0xzz' is not a valid integer value.";
}

void WindowCommands::startUpFailure() {
    QFETCH(QString, cause);
    QFETCH(QString, shown);
    shown_.reset();
    FakeDialogs dialogs;
    FakeDriver driver;
    TVante3_0* seen = nullptr;
    TVante3_0::Initialisation initialisation;
    if (cause == QLatin1String("raise")) {
        initialisation = [&seen](TVante3_0& window) {
            // The program-wide reference already names the window under construction.
            seen = Vante3_0;
            QCOMPARE(seen, &window);
            throw std::runtime_error("The step failed");
        };
    } else {
        QVERIFY(writeFile(place_.file(QStringLiteral("Vanter.in3")),
                          "zz\r\n0\r\n0\r\n5\r\n1\r\n0\r\n\r\nN"));
    }

    const int result = runMainWindow(dialogs, driver, initialisation);
    QFile::remove(place_.file(QStringLiteral("Vanter.in3")));

    expectStartRefused(result, dialogs, shown);
    if (QTest::currentTestFailed()) {
        return;
    }
    for (QWidget* top : QApplication::topLevelWidgets()) {
        QVERIFY(!top->isVisible());
    }
    QVERIFY(cause != QLatin1String("raise") || seen != nullptr);
}

void WindowCommands::exitClosesAtOnce_data() {
    QTest::addColumn<QString>("way");
    QTest::newRow("Exit menu item") << "menu";
    QTest::newRow("Exit by keyboard") << "keys";
    QTest::newRow("window close button") << "close";
}

void WindowCommands::exitClosesAtOnce() {
    QFETCH(QString, way);
    TVante3_0& w = window();
    if (way == QLatin1String("menu")) {
        clickMenu(w.File1, w.Exit1);
    } else if (way == QLatin1String("keys")) {
        QTest::keyClick(w.unit(0).addrEdit, Qt::Key_I, Qt::AltModifier);
        QTRY_VERIFY(w.File1->isVisible());
        QTest::keyClick(w.File1, Qt::Key_X);
        settle();
    } else {
        QVERIFY(w.close());
    }
    QTRY_VERIFY(!w.isVisible());
    QVERIFY(dialogs().calls.empty());
}

void WindowCommands::closeButton_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("situation");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("written");
    QTest::addColumn<QString>("secondBox");
    QTest::newRow("Yes saves and closes") << kIdYes << "" << true << true << "";
    QTest::newRow("Yes refused by Save closes")
        << kIdYes << "no unit" << true << false << "No Vanter is selected: Abort!!";
    QTest::newRow("Yes without save target, name dialog cancelled, stays")
        << kIdYes << "no target" << false << false << "Save As";
    QTest::newRow("Yes with a Save error stays")
        << kIdYes << "bad port" << false << false << "'lpt1' is not a valid integer value.";
    QTest::newRow("No closes") << kIdNo << "" << true << false << "";
    QTest::newRow("Cancel stays") << kIdCancel << "" << false << false << "";
}

void WindowCommands::closeButton() {
    QFETCH(int, answer);
    QFETCH(QString, situation);
    QFETCH(bool, closes);
    QFETCH(bool, written);
    QFETCH(QString, secondBox);
    TVante3_0& w = window();
    const QString target = place_.file(QStringLiteral("close.in3"));
    QFile::remove(target);
    if (situation != QLatin1String("no target")) {
        w.SaveDialog->setFileName(target);
    }
    if (situation == QLatin1String("no unit")) {
        w.unit(0).vanter->setChecked(false);
    } else if (situation == QLatin1String("bad port")) {
        w.PrinterCombo->setEditText(QStringLiteral("lpt1"));
    }
    w.unit(0).filenameEdit->setText(QStringLiteral("kept.bin"));
    dialogs().answers.push_back(answer);

    QTest::mouseClick(w.CloseBut, Qt::LeftButton);
    settle();

    QVERIFY(!dialogs().calls.empty());
    const DialogCall& question = dialogs().calls.front();
    QCOMPARE(question.kind, Kind::Message);
    QCOMPARE(question.text, QStringLiteral("Do you want to save the change?"));
    QCOMPARE(question.caption, QStringLiteral("VanterIII Message"));
    QCOMPARE(question.flags, kMbYesNoCancel);
    QCOMPARE(dialogs().calls.size(), std::size_t(secondBox.isEmpty() ? 1 : 2));
    if (!secondBox.isEmpty()) {
        QCOMPARE(dialogs().calls.back().text, secondBox);
    }
    QCOMPARE(w.isVisible(), !closes);
    QCOMPARE(QFile::exists(target), written);
    if (written) {
        QCOMPARE(readFile(target), QByteArray("1\r\n0\r\n0\r\n5\r\n1\r\n0\r\nkept.bin\r\nN"));
    }
    QCOMPARE(w.unit(0).filenameEdit->text(), QStringLiteral("kept.bin"));
}

void WindowCommands::helpItemsDoNothing() {
    TVante3_0& w = window();
    clickMenu(w.Help1, w.Contents1);
    clickMenu(w.Help1, w.About1);
    QTest::keyClick(w.unit(0).addrEdit, Qt::Key_H, Qt::ControlModifier);
    settle();
    QVERIFY(dialogs().calls.empty());
    QVERIFY(w.isVisible());
    QCOMPARE(w.unit(0).addrEdit->text(), QStringLiteral("0x0000"));
}

void WindowCommands::configurationFromControls() {
    TVante3_0& w = window();
    w.PrinterCombo->setEditText(QStringLiteral("usb"));
    w.ResetCombo->setCurrentIndex(1);
    w.unit(1).vanter->setChecked(true);
    w.unit(1).epromCombo->setCurrentIndex(-1);
    w.unit(1).formatCombo->setCurrentIndex(2);
    w.unit(1).addrEdit->setText(QStringLiteral(" -FF"));
    w.unit(1).filenameEdit->setText(QStringLiteral("caf\u00e9.hex"));

    const vanter::Configuration config = w.configuration();
    QCOMPARE(config.port, std::string("usb"));
    QCOMPARE(config.resetLevel, 1);
    QVERIFY(config.slots[0].enabled);
    QCOMPARE(config.slots[0].memoryType, 4);
    QCOMPARE(config.slots[0].fileFormat, 0);
    QCOMPARE(config.slots[0].offset, std::string("0x0000"));
    QVERIFY(config.slots[1].enabled);
    QCOMPARE(config.slots[1].memoryType, -1);
    QCOMPARE(config.slots[1].fileFormat, 2);
    QCOMPARE(config.slots[1].offset, std::string(" -FF"));
    QCOMPARE(config.slots[1].fileName, QStringLiteral("caf\u00e9.hex").toLocal8Bit().toStdString());
    QVERIFY(!config.slots[2].enabled);
    QVERIFY(!config.slots[3].enabled);
}

void WindowCommands::showConfiguration() {
    TVante3_0& w = window();
    // Slot #0 on with its values; slot #2 off; the record enables slots #1 and #2 only.
    w.unit(0).filenameEdit->setText(QStringLiteral("zero.bin"));
    w.unit(2).filenameEdit->setText(QStringLiteral("two-before.bin"));
    vanter::Configuration config = w.configuration();
    config.port = "0x2bc";
    config.resetLevel = 2;
    config.slots[0].enabled = false;
    config.slots[0].fileName = "ignored.bin";
    config.slots[1] = {true, 13, 1, std::string(79, '1'), "one.hex"};
    config.slots[2] = {true, 15, 0, "ff", "two.bin"};

    w.showConfiguration(config);
    settle();

    QCOMPARE(w.PrinterCombo->currentText(), QStringLiteral("0x2bc"));
    QCOMPARE(w.PrinterCombo->count(), 5);
    QCOMPARE(w.ResetCombo->currentIndex(), -1);
    // Never unchecks, and leaves a slot it does not enable as it was.
    QVERIFY(w.unit(0).vanter->isChecked());
    QCOMPARE(w.unit(0).filenameEdit->text(), QStringLiteral("zero.bin"));
    // Newly checked boxes switched their panels on.
    QVERIFY(w.unit(1).vanter->isChecked());
    QVERIFY(w.panel(1).isSwitchedOn());
    QVERIFY(w.unit(1).addrEdit->isEnabled());
    QCOMPARE(w.unit(1).epromCombo->currentText(), QStringLiteral("16M"));
    QCOMPARE(w.unit(1).formatCombo->currentText(), QStringLiteral("Hex"));
    QCOMPARE(w.unit(1).addrEdit->text(), QString(79, u'1'));
    QCOMPARE(w.unit(1).filenameEdit->text(), QStringLiteral("one.hex"));
    QVERIFY(w.panel(2).isSwitchedOn());
    QCOMPARE(w.unit(2).epromCombo->currentIndex(), -1);
    QCOMPARE(w.unit(2).formatCombo->currentText(), QStringLiteral("Binary"));
    // Selecting from code raises no label switch; setting texts runs no check.
    QCOMPARE(w.unit(1).addrLabel->text(), QStringLiteral("Loading offset at EPROM socket:"));
    QVERIFY(dialogs().calls.empty());

    // Showing it again changes nothing: a box already checked raises nothing.
    w.showConfiguration(config);
    QVERIFY(w.panel(1).isSwitchedOn());
    QVERIFY(w.panel(2).isSwitchedOn());
    // A list entry comes back as the entry.
    config.port = "0x378";
    w.showConfiguration(config);
    QCOMPARE(w.PrinterCombo->currentIndex(), 1);
    config.port.clear();
    w.showConfiguration(config);
    QCOMPARE(w.PrinterCombo->currentIndex(), -1);
    QVERIFY(w.PrinterCombo->currentText().isEmpty());
}

void WindowCommands::messageBoxes_data() {
    QTest::addColumn<int>("flags");
    QTest::addColumn<QString>("press");
    QTest::addColumn<int>("answer");
    QTest::newRow("OK by Enter") << kMbOk << "enter" << 1;
    QTest::newRow("OK by Escape") << kMbOk << "escape" << 1;
    QTest::newRow("Yes") << kMbYesNoCancel << "Yes" << kIdYes;
    QTest::newRow("Yes by Enter") << kMbYesNoCancel << "enter" << kIdYes;
    QTest::newRow("No") << kMbYesNoCancel << "No" << kIdNo;
    QTest::newRow("Cancel") << kMbYesNoCancel << "Cancel" << kIdCancel;
    QTest::newRow("Escape") << kMbYesNoCancel << "escape" << kIdCancel;
    QTest::newRow("close button") << kMbYesNoCancel << "close" << kIdCancel;
}

void WindowCommands::messageBoxes() {
    QFETCH(int, flags);
    QFETCH(QString, press);
    QFETCH(int, answer);
    std::unique_ptr<QMessageBox> box(makeMessageBox(&window(), QStringLiteral("Text"),
                                                    QStringLiteral("VanterIII Message"), flags));
    QCOMPARE(box->windowTitle(), QStringLiteral("VanterIII Message"));
    QCOMPARE(box->text(), QStringLiteral("Text"));
    QCOMPARE(box->icon(), QMessageBox::NoIcon);
    QCOMPARE(box->windowModality(), Qt::ApplicationModal);
    QCOMPARE(box->standardButtons(),
             flags == kMbOk ? QMessageBox::StandardButtons(QMessageBox::Ok)
                            : QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    box->show();
    box->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(box.get()));
    if (press == QLatin1String("enter")) {
        QTest::keyClick(box.get(), Qt::Key_Return);
    } else if (press == QLatin1String("escape")) {
        QTest::keyClick(box.get(), Qt::Key_Escape);
    } else if (press == QLatin1String("close")) {
        box->close();
    } else {
        const QMessageBox::StandardButton button = press == QLatin1String("Yes") ? QMessageBox::Yes
                                                   : press == QLatin1String("No")
                                                       ? QMessageBox::No
                                                       : QMessageBox::Cancel;
        QTest::mouseClick(box->button(button), Qt::LeftButton);
    }
    QTRY_VERIFY(!box->isVisible());
    QCOMPARE(messageAnswer(*box), answer);
}

void WindowCommands::errorBox() {
    std::unique_ptr<QMessageBox> box(
        makeErrorBox(nullptr, QStringLiteral("Bad."), QStringLiteral("VANTER III")));
    QCOMPARE(box->windowTitle(), QStringLiteral("VANTER III"));
    QCOMPARE(box->icon(), QMessageBox::Critical);
    QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(box->windowModality(), Qt::ApplicationModal);
}

void WindowCommands::errorBoxText_data() {
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << "Bad value"
                            << "Bad value.";
    QTest::newRow("quote") << "'x' is not a valid integer value"
                           << "'x' is not a valid integer value.";
    QTest::newRow("full stop") << "Done."
                               << "Done.";
    QTest::newRow("exclamation mark sorts before") << "Abort!"
                                                   << "Abort!";
    QTest::newRow("closing parenthesis sorts before") << "Failed (2)"
                                                      << "Failed (2)";
    QTest::newRow("slash sorts after") << "c:/"
                                       << "c:/.";
    QTest::newRow("digit sorts after") << "Code 7"
                                       << "Code 7.";
    QTest::newRow("empty") << ""
                           << "";
}

void WindowCommands::errorBoxText() {
    QFETCH(QString, what);
    QFETCH(QString, shown);
    QCOMPARE(vanter::app::errorBoxText(what), shown);
}

QTEST_MAIN(WindowCommands)
#include "tst_window_commands.moc"
