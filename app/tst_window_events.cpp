// When the window's events fire, driven with real key and mouse events: check boxes on every
// change, format lists on user picks only, exit checks on real focus moves only, menu
// shortcuts before the focused control, Enter for the default button, Alt+C for Close.

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyle>
#include <QTest>

#include <algorithm>

#include "panels/unit_panel.h"
#include "app/window_test_support.h"
#include "testing/qt/user_input.h"

using namespace vanter::app;
using namespace vanter::testing;
using Kind = DialogCall::Kind;

namespace {

// Ways of leaving an edit, and whether the edit's exit check must run.
enum class Leave {
    Tab,
    Backtab,
    ClickOtherEdit,
    ClickCombo,
    ClickButton,
    OtherWindow,
    MenuBar,
    MessageBox,
    Enter,
};

} // namespace

Q_DECLARE_METATYPE(Leave)

class WindowEvents : public WindowTestCase {
    Q_OBJECT

private:
    QWidget* control(const QString& name) { return window().findChild<QWidget*>(name); }
    void focus(QWidget* widget) {
        widget->setFocus(Qt::OtherFocusReason);
        QCOMPARE(QApplication::focusWidget(), widget);
    }
    // Each message comes up as a real box, whose event loop runs whatever is queued until the
    // box is answered; `deepest_` counts boxes up at once.
    int boxesUp_ = 0;
    int deepest_ = 0;
    void answerWithRealBoxes() {
        dialogs().whileShown = [this](const DialogCall& call) {
            if (call.kind != Kind::Message) {
                return;
            }
            deepest_ = std::max(deepest_, ++boxesUp_);
            std::unique_ptr<QMessageBox> box(
                makeMessageBox(&window(), call.text, call.caption, kMbOk));
            box->show();
            box->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(box.get()));
            settle();
            QTest::keyClick(box.get(), Qt::Key_Escape);
            QVERIFY(shown_->activate());
            settle();
            --boxesUp_;
        };
    }

private Q_SLOTS:
    void init() {
        boxesUp_ = deepest_ = 0;
        shown_ = std::make_unique<ShownWindow>();
        QVERIFY(QApplication::activeWindow() == shown_->window.get());
    }
    void cleanup() { shown_.reset(); }

    void checkBoxRaisesOnEveryChange_data();
    void checkBoxRaisesOnEveryChange();
    void formatListRaisesOnUserPickOnly_data();
    void formatListRaisesOnUserPickOnly();
    void exitCheck_data();
    void exitCheck();
    void fileNameExitCheck();
    void exitCheckBoxDoesNotRepeat();
    void quickClickWaitsForExitCheck_data();
    void quickClickWaitsForExitCheck();
    void checksTypedAheadComeOneAtATime_data();
    void checksTypedAheadComeOneAtATime();
    void menuShortcutsWin_data();
    void menuShortcutsWin();
    void enterPressesDefaultButton_data();
    void enterPressesDefaultButton();
    void enterOnPushButtonPressesIt_data();
    void enterOnPushButtonPressesIt();
    void enterInOpenListPicksEntry();
    void enterInMenuBarBelongsToMenu();
    void altCPressesClose();
};

void WindowEvents::checkBoxRaisesOnEveryChange_data() {
    QTest::addColumn<QString>("way");
    QTest::newRow("mouse") << "mouse";
    QTest::newRow("space key") << "space";
    QTest::newRow("from code") << "code";
}

void WindowEvents::checkBoxRaisesOnEveryChange() {
    QFETCH(QString, way);
    // Slot #1 starts unchecked and switched off.
    QCheckBox* box = window().unit(1).vanter;
    UnitPanel& panel = window().panel(1);
    const auto toggle = [&] {
        if (way == QLatin1String("mouse")) {
            clickIndicator(box);
        } else if (way == QLatin1String("space")) {
            focus(box);
            QTest::keyClick(box, Qt::Key_Space);
        } else {
            box->setChecked(!box->isChecked());
        }
    };
    QVERIFY(!box->isChecked());
    QVERIFY(!window().unit(1).addrEdit->isEnabled());

    toggle();
    QVERIFY(box->isChecked());
    QVERIFY(panel.isSwitchedOn());
    QVERIFY(window().unit(1).addrEdit->isEnabled());

    toggle();
    QVERIFY(!box->isChecked());
    QVERIFY(!panel.isSwitchedOn());
    QVERIFY(!window().unit(1).addrEdit->isEnabled());

    // Setting the state it has raises nothing: the panel keeps step with its box.
    box->setChecked(false);
    QVERIFY(!panel.isSwitchedOn());
    // Other slots are untouched.
    QVERIFY(window().panel(0).isSwitchedOn());
    QVERIFY(!window().panel(2).isSwitchedOn());
}

void WindowEvents::formatListRaisesOnUserPickOnly_data() {
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("label");
    QTest::newRow("arrow key on the closed list") << "key"
                                                  << "Target System address of EPROM";
    QTest::newRow("pick in the open list") << "popup"
                                           << "Target System address of EPROM";
    QTest::newRow("mouse in the open list") << "mouse"
                                            << "Target System address of EPROM";
    QTest::newRow("index from code") << "code"
                                     << "Loading offset at EPROM socket:";
    QTest::newRow("text from code") << "text"
                                    << "Loading offset at EPROM socket:";
}

void WindowEvents::formatListRaisesOnUserPickOnly() {
    QFETCH(QString, way);
    QFETCH(QString, label);
    QComboBox* combo = window().unit(0).formatCombo;
    QCOMPARE(combo->currentText(), QStringLiteral("Binary"));
    if (way == QLatin1String("key")) {
        focus(combo);
        QTest::keyClick(combo, Qt::Key_Down);
    } else if (way == QLatin1String("popup") || way == QLatin1String("mouse")) {
        focus(combo);
        combo->showPopup();
        QAbstractItemView* view = combo->view();
        QTRY_VERIFY(view->isVisible());
        if (way == QLatin1String("popup")) {
            QTest::keyClick(view, Qt::Key_Down);
            QTest::keyClick(view, Qt::Key_Return);
        } else {
            // The visible part of the row: the item may be laid out wider than the list.
            const QRect item =
                view->visualRect(view->model()->index(2, 0)).intersected(view->viewport()->rect());
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
        }
        QTRY_VERIFY(!view->isVisible());
    } else if (way == QLatin1String("code")) {
        combo->setCurrentIndex(1);
    } else {
        combo->setCurrentText(QStringLiteral("S-record"));
    }
    QVERIFY(combo->currentText() != QLatin1String("Binary"));
    QCOMPARE(window().unit(0).addrLabel->text(), label);
    QCOMPARE(shown_->driver.helloCalls, 0);
}

void WindowEvents::exitCheck_data() {
    QTest::addColumn<Leave>("leave");
    QTest::addColumn<bool>("runs");
    QTest::newRow("Tab") << Leave::Tab << true;
    QTest::newRow("Shift+Tab") << Leave::Backtab << true;
    QTest::newRow("click into another edit") << Leave::ClickOtherEdit << true;
    QTest::newRow("click on a list") << Leave::ClickCombo << true;
    QTest::newRow("click on a button") << Leave::ClickButton << true;
    QTest::newRow("another window activated") << Leave::OtherWindow << false;
    QTest::newRow("menu opened") << Leave::MenuBar << false;
    QTest::newRow("message box appears") << Leave::MessageBox << false;
    QTest::newRow("Enter starts a download") << Leave::Enter << false;
}

void WindowEvents::exitCheck() {
    QFETCH(Leave, leave);
    QFETCH(bool, runs);
    QLineEdit* edit = window().unit(0).addrEdit;
    edit->setText(QStringLiteral("G"));
    focus(edit);

    switch (leave) {
    case Leave::Tab:
        QTest::keyClick(edit, Qt::Key_Tab);
        break;
    case Leave::Backtab:
        QTest::keyClick(edit, Qt::Key_Backtab, Qt::ShiftModifier);
        break;
    case Leave::ClickOtherEdit:
        QTest::mouseClick(window().unit(0).filenameEdit, Qt::LeftButton);
        break;
    case Leave::ClickCombo: {
        QComboBox* combo = window().unit(0).epromCombo;
        QTest::mouseClick(combo, Qt::LeftButton);
        QTRY_VERIFY(combo->view()->isVisible());
        combo->hidePopup();
        break;
    }
    case Leave::ClickButton:
        QTest::mouseClick(window().unit(0).browseBtn, Qt::LeftButton);
        break;
    case Leave::OtherWindow: {
        QWidget other;
        other.resize(100, 100);
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        settle();
        other.close();
        QVERIFY(shown_->activate());
        break;
    }
    case Leave::MenuBar: {
        QMenuBar* bar = window().menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, {},
                          bar->actionGeometry(window().File1->menuAction()).center());
        QTRY_VERIFY(window().File1->isVisible());
        settle();
        QTest::keyClick(window().File1, Qt::Key_Escape);
        QTRY_VERIFY(!window().File1->isVisible());
        break;
    }
    case Leave::MessageBox: {
        std::unique_ptr<QMessageBox> box(
            makeMessageBox(&window(), QStringLiteral("text"), QStringLiteral("caption"), kMbOk));
        box->show();
        box->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(box.get()));
        settle();
        QTest::keyClick(box.get(), Qt::Key_Escape);
        QTRY_VERIFY(!box->isVisible());
        QVERIFY(shown_->activate());
        break;
    }
    case Leave::Enter:
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(shown_->driver.helloCalls, 1);
        QCOMPARE(QApplication::focusWidget(), edit);
        break;
    }
    settle();

    const bool checked = !dialogs().messages().empty() &&
                         dialogs().messages().front().text == QLatin1String("Invalid HEX number");
    QCOMPARE(checked, runs);
    QCOMPARE(edit->text(), runs ? QStringLiteral("0") : QStringLiteral("G"));
    if (runs) {
        QCOMPARE(dialogs().messages().size(), std::size_t{1});
        QCOMPARE(dialogs().messages().front().caption, QStringLiteral("VanterIII Message"));
        QCOMPARE(dialogs().messages().front().flags, kMbOk);
        // The check leaves the focus where the user put it.
        QVERIFY(QApplication::focusWidget() != edit);
    }
}

void WindowEvents::fileNameExitCheck() {
    QLineEdit* edit = window().unit(0).filenameEdit;
    edit->setText(place_.file(QStringLiteral("no-such-image.hex")));
    focus(edit);
    QTest::keyClick(edit, Qt::Key_Tab);
    settle();
    QCOMPARE(QApplication::focusWidget(), window().unit(0).browseBtn);
    QCOMPARE(dialogs().messages().size(), std::size_t{1});
    QCOMPARE(dialogs().messages().front().text, QStringLiteral("Invalid Filename"));
    QVERIFY(edit->text().isEmpty());
}

void WindowEvents::exitCheckBoxDoesNotRepeat() {
    // The next control also holds a bad text; while the check's box is up, neither check
    // runs again.
    QLineEdit* offset = window().unit(0).addrEdit;
    QLineEdit* name = window().unit(0).filenameEdit;
    offset->setText(QStringLiteral("xyz"));
    name->setText(QStringLiteral("no-such-image.hex"));
    answerWithRealBoxes();
    focus(offset);
    QTest::keyClick(offset, Qt::Key_Tab);
    settle();
    dialogs().whileShown = nullptr;
    QCOMPARE(QApplication::focusWidget(), name);
    QCOMPARE(dialogs().messages().size(), std::size_t{1});
    QCOMPARE(offset->text(), QStringLiteral("0"));
    QCOMPARE(name->text(), QStringLiteral("no-such-image.hex"));
}

void WindowEvents::quickClickWaitsForExitCheck_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("offset");
    QTest::addColumn<QString>("message");
    QTest::newRow("Download, bad offset") << "DownloadBut"
                                          << "12g"
                                          << "Invalid HEX number";
    QTest::newRow("Check, bad offset") << "Check"
                                       << "12g"
                                       << "Invalid HEX number";
    QTest::newRow("Download, good offset") << "DownloadBut"
                                           << "12"
                                           << "Download OK";
}

void WindowEvents::quickClickWaitsForExitCheck() {
    QFETCH(QString, button);
    QFETCH(QString, offset);
    QFETCH(QString, message);
    QLineEdit* edit = window().unit(0).addrEdit;
    replaceText(edit, offset);
    // Press and release both delivered before any queued work runs: a tap, or a click made
    // while the window was busy.
    auto* target = window().findChild<QPushButton*>(button);
    QTest::mousePress(target, Qt::LeftButton);
    QTest::mouseRelease(target, Qt::LeftButton);
    settle();
    QCOMPARE(QApplication::focusWidget(), target);
    const bool refused = message == QLatin1String("Invalid HEX number");
    QCOMPARE(driver().helloCalls + static_cast<int>(driver().checkCalls.size()), refused ? 0 : 1);
    QCOMPARE(dialogs().messages().size(), std::size_t{1});
    QCOMPARE(dialogs().messages().front().text, message);
    QCOMPARE(edit->text(), refused ? QStringLiteral("0") : offset);
}

void WindowEvents::checksTypedAheadComeOneAtATime_data() {
    QTest::addColumn<QStringList>("keys"); // typed before the first check has run
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("Tab, Tab") << QStringList{"Tab", "Tab"}
                              << QStringList{"Invalid HEX number", "Invalid Filename"};
    // A check still pending runs before any other handler; a command whose key met its box is
    // dropped, as the box would have taken the key. Enter skips only the check of the edit
    // that keeps the focus.
    QTest::newRow("Tab, Enter") << QStringList{"Tab", "Enter"} << QStringList{"Invalid HEX number"};
    // The box changed state: its panel switch follows the checks, which run first.
    QTest::newRow("Tab, Shift+Tab to the box, Space")
        << QStringList{"Tab", "Backtab", "Backtab", "Backtab", "Backtab", "Space"}
        << QStringList{"Invalid HEX number", "Invalid Filename"};
    QTest::newRow("Tab, Alt+C") << QStringList{"Tab", "Alt+C"} << QStringList{"Invalid HEX number"};
}

void WindowEvents::checksTypedAheadComeOneAtATime() {
    QFETCH(QStringList, keys);
    QFETCH(QStringList, messages);
    QLineEdit* offset = window().unit(0).addrEdit;
    QLineEdit* name = window().unit(0).filenameEdit;
    offset->setText(QStringLiteral("G"));
    name->setText(place_.file(QStringLiteral("no-such-image.hex")));
    answerWithRealBoxes();
    QTest::mouseClick(offset, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), offset);

    const QMap<QString, QPair<Qt::Key, Qt::KeyboardModifiers>> key{
        {"Tab", {Qt::Key_Tab, Qt::NoModifier}},
        {"Backtab", {Qt::Key_Backtab, Qt::ShiftModifier}},
        {"Enter", {Qt::Key_Return, Qt::NoModifier}},
        {"Space", {Qt::Key_Space, Qt::NoModifier}},
        {"Alt+C", {Qt::Key_C, Qt::AltModifier}}};
    dialogs().answers.push_back(kIdNo); // to the Close question
    for (const QString& typed : keys) {
        QTest::keyClick(QApplication::focusWidget(), key[typed].first, key[typed].second);
    }
    settle();
    dialogs().whileShown = nullptr;

    QStringList shown;
    for (const DialogCall& call : dialogs().messages()) {
        shown << call.text;
    }
    QCOMPARE(shown, messages);
    QCOMPARE(deepest_, messages.isEmpty() ? 0 : 1);
    QCOMPARE(window().isVisible(),
             !messages.contains(QStringLiteral("Do you want to save the change?")));
    QCOMPARE(
        offset->text(),
        QString::fromLatin1(messages.contains(QStringLiteral("Invalid HEX number")) ? "0" : "G"));
    QCOMPARE(name->text().isEmpty(), messages.contains(QStringLiteral("Invalid Filename")));
}

void WindowEvents::menuShortcutsWin_data() {
    QTest::addColumn<QString>("focusName");
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<QString>("command");
    const QKeySequence ctrlA = QKeySequence::fromString(QStringLiteral("Ctrl+A"));
    for (const char* name : {"AddrEdit1", "FilenameEdit1", "PrinterCombo", "ResetCombo", "Vanter1",
                             "EpromCombo1", "DownloadBut"}) {
        QTest::addRow("Ctrl+A in %s", name) << name << ctrlA << "saveAs";
    }
    for (const char* name : {"AddrEdit1", "PrinterCombo"}) {
        QTest::addRow("Ctrl+N in %s", name)
            << name << QKeySequence::fromString(QStringLiteral("Ctrl+N")) << "new";
        QTest::addRow("Ctrl+O in %s", name)
            << name << QKeySequence::fromString(QStringLiteral("Ctrl+O")) << "open";
        QTest::addRow("Ctrl+S in %s", name)
            << name << QKeySequence::fromString(QStringLiteral("Ctrl+S")) << "save";
        QTest::addRow("Ctrl+H in %s", name)
            << name << QKeySequence::fromString(QStringLiteral("Ctrl+H")) << "nothing";
    }
}

void WindowEvents::menuShortcutsWin() {
    QFETCH(QString, focusName);
    QFETCH(QKeySequence, keys);
    QFETCH(QString, command);
    TVante3_0& w = window();
    const QString target = place_.file(QStringLiteral("saved.in3"));
    w.SaveDialog->setFileName(target);
    QFile::remove(target);

    w.unit(0).addrEdit->setText(QStringLiteral("FFF0"));
    w.unit(0).filenameEdit->setText(QStringLiteral("image.bin"));
    w.PrinterCombo->setEditText(QStringLiteral("USB"));
    QWidget* focused = control(focusName);
    focus(focused);
    auto* edit = qobject_cast<QLineEdit*>(focused);
    if (edit != nullptr) {
        edit->setCursorPosition(1);
    }

    QTest::keySequence(focused, keys);
    settle();

    const auto calls = dialogs().calls;
    if (command == QLatin1String("saveAs")) {
        QCOMPARE(calls.size(), std::size_t{1});
        QCOMPARE(calls.front().kind, Kind::SaveFile);
        QCOMPARE(calls.front().text, QStringLiteral("Save As"));
    } else if (command == QLatin1String("open")) {
        QCOMPARE(calls.size(), std::size_t{1});
        QCOMPARE(calls.front().kind, Kind::OpenFile);
    } else if (command == QLatin1String("save")) {
        QVERIFY(calls.empty());
        QVERIFY(QFile::exists(target));
    } else if (command == QLatin1String("new")) {
        QVERIFY(calls.empty());
        QCOMPARE(w.PrinterCombo->currentText(), QStringLiteral("0x3BC"));
        QCOMPARE(w.unit(0).addrEdit->text(), QStringLiteral("0x0000"));
    } else {
        QVERIFY(calls.empty());
        QVERIFY(!QFile::exists(target));
    }
    if (command != QLatin1String("new")) {
        // The focused control did not see the key.
        QCOMPARE(w.unit(0).addrEdit->text(), QStringLiteral("FFF0"));
        QCOMPARE(w.PrinterCombo->currentText(), QStringLiteral("USB"));
        if (edit != nullptr) {
            QVERIFY(!edit->hasSelectedText());
            QCOMPARE(edit->cursorPosition(), 1);
        }
    }
    QCOMPARE(QApplication::focusWidget(), focused);
}

void WindowEvents::enterPressesDefaultButton_data() {
    QTest::addColumn<QString>("focusName");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("downloads");
    for (const char* name : {"AddrEdit1", "FilenameEdit1", "PrinterCombo", "ResetCombo", "Vanter1",
                             "EpromCombo1", "FormatCombo1"}) {
        QTest::addRow("Enter in %s", name) << name << int(Qt::Key_Return) << 0 << true;
        QTest::addRow("keypad Enter in %s", name)
            << name << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << true;
    }
    QTest::newRow("Shift+Enter") << "AddrEdit1" << int(Qt::Key_Return) << int(Qt::ShiftModifier)
                                 << false;
    QTest::newRow("Ctrl+Enter") << "AddrEdit1" << int(Qt::Key_Return) << int(Qt::ControlModifier)
                                << false;
    QTest::newRow("Alt+Enter") << "AddrEdit1" << int(Qt::Key_Return) << int(Qt::AltModifier)
                               << false;
}

void WindowEvents::enterPressesDefaultButton() {
    QFETCH(QString, focusName);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, downloads);
    TVante3_0& w = window();
    // A bad offset shows that the edit's exit check does not run.
    w.unit(0).addrEdit->setText(QStringLiteral("G"));
    QWidget* focused = control(focusName);
    focus(focused);
    const QString text = w.PrinterCombo->currentText();

    QTest::keyClick(focused, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    settle();

    QCOMPARE(shown_->driver.helloCalls, downloads ? 1 : 0);
    QCOMPARE(QApplication::focusWidget(), focused);
    QCOMPARE(w.unit(0).addrEdit->text(), QStringLiteral("G"));
    QCOMPARE(w.PrinterCombo->currentText(), text);
    QCOMPARE(w.PrinterCombo->count(), 5);
    if (downloads) {
        QCOMPARE(w.statusText(), QStringLiteral("Download OK"));
        QCOMPARE(dialogs().messages().size(), std::size_t{1});
        QCOMPARE(dialogs().messages().front().text, QStringLiteral("Download OK"));
    } else {
        QVERIFY(dialogs().calls.empty());
    }
}

void WindowEvents::enterOnPushButtonPressesIt_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("helloCalls");
    QTest::addColumn<int>("checkCalls");
    QTest::addColumn<int>("dialogKind");
    QTest::newRow("DownloadBut") << "DownloadBut" << 1 << 0 << int(Kind::Message);
    QTest::newRow("Check") << "Check" << 0 << 1 << int(Kind::Message);
    QTest::newRow("BrowseBtn1") << "BrowseBtn1" << 0 << 0 << int(Kind::OpenFile);
    QTest::newRow("CloseBut") << "CloseBut" << 0 << 0 << int(Kind::Message);
}

void WindowEvents::enterOnPushButtonPressesIt() {
    QFETCH(QString, button);
    QFETCH(int, helloCalls);
    QFETCH(int, checkCalls);
    QFETCH(int, dialogKind);
    QWidget* focused = control(button);
    focus(focused);
    QTest::keyClick(focused, Qt::Key_Return);
    QCOMPARE(shown_->driver.helloCalls, helloCalls);
    QCOMPARE(int(shown_->driver.checkCalls.size()), checkCalls);
    QCOMPARE(dialogs().calls.size(), std::size_t{1});
    QCOMPARE(int(dialogs().calls.front().kind), dialogKind);
    QCOMPARE(QApplication::focusWidget(), focused);
    QVERIFY(window().isVisible());
}

void WindowEvents::enterInOpenListPicksEntry() {
    QComboBox* combo = window().unit(0).epromCombo;
    focus(combo);
    combo->showPopup();
    QTRY_VERIFY(combo->view()->isVisible());
    QTest::keyClick(combo->view(), Qt::Key_Down);
    QTest::keyClick(combo->view(), Qt::Key_Return);
    QTRY_VERIFY(!combo->view()->isVisible());
    settle();
    QCOMPARE(combo->currentText(), QStringLiteral("27020"));
    QCOMPARE(shown_->driver.helloCalls, 0);
    QVERIFY(dialogs().calls.empty());
}

void WindowEvents::enterInMenuBarBelongsToMenu() {
    // A style with keyboard navigation in the menu bar: Alt gives the bar the focus.
    const QString style = QApplication::style()->objectName();
    QApplication::setStyle(QStringLiteral("Windows"));
    const auto restore = qScopeGuard([&] { QApplication::setStyle(style); });
    QLineEdit* edit = window().unit(0).addrEdit;
    focus(edit);
    QTest::keyClick(edit, Qt::Key_Alt);
    QTRY_COMPARE(QApplication::focusWidget(), window().menuBar());

    QTest::keyClick(window().menuBar(), Qt::Key_Return);
    QTRY_VERIFY(window().File1->isVisible());
    QTest::keyClick(window().File1, Qt::Key_Escape);
    QTRY_VERIFY(!window().File1->isVisible());

    QCOMPARE(shown_->driver.helloCalls, 0);
    QVERIFY(dialogs().calls.empty());
}

void WindowEvents::altCPressesClose() {
    QLineEdit* edit = window().unit(0).filenameEdit;
    focus(edit);
    edit->setText(QStringLiteral("no-such-image.hex"));
    QTest::keyClick(edit, Qt::Key_C, Qt::AltModifier);
    settle();
    // Close is pressed without taking the focus: the edit's exit check does not run.
    QCOMPARE(QApplication::focusWidget(), edit);
    QCOMPARE(dialogs().messages().size(), std::size_t{1});
    QCOMPARE(dialogs().messages().front().text, QStringLiteral("Do you want to save the change?"));
    QCOMPARE(dialogs().messages().front().flags, kMbYesNoCancel);
    // Cancelled: the window stays.
    QVERIFY(window().isVisible());
    QCOMPARE(edit->text(), QStringLiteral("no-such-image.hex"));
}

QTEST_MAIN(WindowEvents)
#include "tst_window_events.moc"
