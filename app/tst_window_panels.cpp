// The unit panels in the window, where its rules take part: labels sized to their new text,
// the offset label's wording after Open, the exit checks of the two edits when the focus leaves
// them (told in the window's message box), and Tab past a switched-off panel. The window starts
// without a default configuration file: slot #0 checked and switched on, slots #1 to #3
// unchecked and switched off.

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

#include "app/panels/unit_panel.h"
#include "app/window_test_support.h"
#include "testing/as_ordinary_user.h"
#include "testing/qt/test_files.h"
#include "testing/qt/user_input.h"

using namespace vanter::app;
using namespace vanter::testing;
using Kind = DialogCall::Kind;

class WindowPanels : public WindowTestCase {
    Q_OBJECT

private:
    const UnitPanel::Controls& unit(int slot) { return window().unit(slot); }

    void pick(QComboBox* combo, const QString& entry) {
        vanter::testing::pick(combo, entry);
        QVERIFY(shown_->activate());
    }

private Q_SLOTS:
    void init() {
        shown_ = std::make_unique<ShownWindow>();
        QVERIFY(!unit(0).addrEdit->text().isEmpty());
    }
    void cleanup() { shown_.reset(); }

    void labelSwitch_data();
    void labelSwitch();
    void loadingKeepsLabelWording_data();
    void loadingKeepsLabelWording();
    void offsetCheck_data();
    void offsetCheck();
    void fileNameCheck_data();
    void fileNameCheck();
    void switchedOffPanelCantBeEntered();
};

void WindowPanels::labelSwitch_data() {
    QTest::addColumn<QStringList>("picks");
    QTest::addColumn<QString>("label");
    const QString binary = QStringLiteral("Loading offset at EPROM socket");
    const QString target = QStringLiteral("Target System address of EPROM");
    QTest::newRow("Hex") << QStringList{"Hex"} << target;
    QTest::newRow("S-record") << QStringList{"S-record"} << target;
    QTest::newRow("Hex then Binary: no colon") << QStringList{"Hex", "Binary"} << binary;
    QTest::newRow("Binary picked again") << QStringList{"Binary"} << binary;
    QTest::newRow("Binary then S-record") << QStringList{"Binary", "S-record"} << target;
}

void WindowPanels::labelSwitch() {
    QFETCH(QStringList, picks);
    QFETCH(QString, label);
    QCOMPARE(unit(0).addrLabel->text(), QStringLiteral("Loading offset at EPROM socket:"));
    for (const QString& entry : picks) {
        pick(unit(0).formatCombo, entry);
    }
    QCOMPARE(unit(0).addrLabel->text(), label);
    // The label sizes itself to its new text.
    QTRY_COMPARE(unit(0).addrLabel->size(), unit(0).addrLabel->sizeHint());
    // The other slots keep the designed wording.
    for (int slot = 1; slot < vanter::kSlotCount; ++slot) {
        QCOMPARE(unit(slot).addrLabel->text(), QStringLiteral("Loading offset at EPROM socket:"));
    }
}

void WindowPanels::loadingKeepsLabelWording_data() {
    QTest::addColumn<QString>("picked");
    QTest::addColumn<QString>("label");
    QTest::newRow("never picked") << QString() << "Loading offset at EPROM socket:";
    QTest::newRow("Binary picked") << "Binary"
                                   << "Loading offset at EPROM socket";
    QTest::newRow("S-record picked") << "S-record"
                                     << "Target System address of EPROM";
}

void WindowPanels::loadingKeepsLabelWording() {
    QFETCH(QString, picked);
    QFETCH(QString, label);
    if (!picked.isEmpty()) {
        pick(unit(0).formatCombo, picked);
    }
    // Slot #0 in the Hex format.
    const QString file = place_.file(QStringLiteral("hex-slot.in3"));
    QVERIFY(writeFile(file, "1\r\n0\r\n0\r\n4\r\n2\r\n8000\r\nmain.hex\r\nN"));
    dialogs().confirmFile(file);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_O, Qt::ControlModifier);
    QVERIFY(dialogs().errors().empty());
    QCOMPARE(unit(0).formatCombo->currentText(), QStringLiteral("Hex"));
    QCOMPARE(unit(0).addrLabel->text(), label);
}

void WindowPanels::offsetCheck_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    const auto row = [](const char* name, const QString& text, bool accepted) {
        QTest::newRow(name) << text << accepted;
    };
    row("empty", "", true);
    row("0", "0", true);
    row("0x0000", "0x0000", true);
    row("FFF0", "FFF0", true);
    row("fff0", "fff0", true);
    row("0x1F", "0x1F", true);
    row("0X1f", "0X1f", true);
    row("0x alone", "0x", true);
    row("0X alone", "0X", true);
    row("-FF", "-FF", true);
    row("+0x10", "+0x10", true);
    row("one leading blank", " FF", true);
    row("one significant digit after zeros", "00000000001", true);
    row("eight significant digits", "FFFFFFFF", true);
    row("a long text from a file", QString(78, u'0') + u'1', true);
    // Nine significant digits do not fit 32 bits: the file would hold another value.
    row("nine significant digits", "123456789", false);
    row("one trailing blank", "FF ", false);
    row("blanks only", "   ", false);
    row("plus alone", "+", false);
    row("minus alone", "-", false);
    row("G", "G", false);
    row("x1F", "x1F", false);
    row("0xG", "0xG", false);
    row("0x0x1", "0x0x1", false);
    row("00x1", "00x1", false);
    row("1 2", "1 2", false);
    row("ten significant digits", "123456789A", false);
    row("ten F", "FFFFFFFFFF", false);
    row("non-ASCII digit", QStringLiteral("1\u00b2"), false);
}

void WindowPanels::offsetCheck() {
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QLineEdit* edit = unit(0).addrEdit;
    if (text.size() <= 10) {
        replaceText(edit, text);
    } else {
        // Longer than the user may type: a text loaded from a configuration file.
        window().showConfiguration([&] {
            vanter::Configuration config = window().configuration();
            config.slots[0].offset = text.toStdString();
            return config;
        }());
        clickInto(edit);
    }
    QCOMPARE(edit->text(), text);
    QString shownWhileBoxUp;
    dialogs().whileShown = [&](const DialogCall&) {
        shownWhileBoxUp = edit->text();
    };

    tabOut(edit);

    // The focus stays where the user put it.
    QCOMPARE(QApplication::focusWidget(), unit(0).filenameEdit);
    if (accepted) {
        QVERIFY(dialogs().calls.empty());
        QCOMPARE(edit->text(), text);
    } else {
        QCOMPARE(dialogs().calls.size(), std::size_t{1});
        const DialogCall& call = dialogs().calls.front();
        QCOMPARE(call.kind, Kind::Message);
        QCOMPARE(call.text, QStringLiteral("Invalid HEX number"));
        QCOMPARE(call.caption, QStringLiteral("VanterIII Message"));
        QCOMPARE(call.flags, kMbOk);
        // The message first, the reset after the box is closed.
        QCOMPARE(shownWhileBoxUp, text);
        QCOMPARE(edit->text(), QStringLiteral("0"));
    }
}

void WindowPanels::fileNameCheck_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("empty") << "" << true;
    QTest::newRow("existing file, full path") << "%dir/image.bin" << true;
    QTest::newRow("existing file, relative to the working folder") << "image.bin" << true;
    QTest::newRow("missing file") << "%dir/missing.bin" << false;
    QTest::newRow("a folder") << "%dir/sub" << false;
    QTest::newRow("a trailing blank is part of the name") << "image.bin " << false;
    QTest::newRow("a file that can't be opened") << "%dir/locked.bin" << false;
#ifndef Q_OS_WIN
    // Neither name can be made on Windows. Opening the pipe would wait for a writer.
    QTest::newRow("a named pipe, refused at once") << "%dir/pipe" << false;
    QTest::newRow("a name that starts with ':' is a file, not a resource") << ":image.bin" << true;
#endif
}

void WindowPanels::fileNameCheck() {
    QFETCH(QString, name);
    QFETCH(bool, accepted);
    QTemporaryDir dir(place_.file(QStringLiteral("names-XXXXXX")));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    for (const char* file : {"image.bin", "locked.bin"}) {
        QVERIFY(writeFile(dir.filePath(QString::fromLatin1(file)), QByteArray("\x01\x02", 2)));
    }
#ifndef Q_OS_WIN
    QVERIFY(QFile::copy(dir.filePath(QStringLiteral("image.bin")),
                        dir.path() + QStringLiteral("/:image.bin")));
    QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe"))).constData(), 0600),
             0);
#endif
    QFile::setPermissions(dir.filePath(QStringLiteral("locked.bin")), QFileDevice::WriteOwner);
    const AsOrdinaryUser asOrdinaryUser; // root too is refused locked.bin
    if (name.endsWith(QLatin1String("locked.bin")) &&
        QFile(dir.filePath(QStringLiteral("locked.bin"))).open(QIODevice::ReadOnly)) {
        QSKIP("This user reads files whatever their permissions say");
    }
#ifdef Q_OS_WIN
    if (name.endsWith(QLatin1Char(' '))) {
        QSKIP("Windows drops trailing blanks from file names: the driver opens the same file");
    }
#endif
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    name.replace(QLatin1String("%dir"), dir.path());

    QLineEdit* edit = unit(0).filenameEdit;
    replaceText(edit, name);
    QString shownWhileBoxUp;
    dialogs().whileShown = [&](const DialogCall&) {
        shownWhileBoxUp = edit->text();
    };
    tabOut(edit);
    QDir::setCurrent(previous);

    QCOMPARE(QApplication::focusWidget(), unit(0).browseBtn);
    if (accepted) {
        QVERIFY(dialogs().calls.empty());
        QCOMPARE(edit->text(), name);
    } else {
        QCOMPARE(dialogs().calls.size(), std::size_t{1});
        const DialogCall& call = dialogs().calls.front();
        QCOMPARE(call.kind, Kind::Message);
        QCOMPARE(call.text, QStringLiteral("Invalid Filename"));
        QCOMPARE(call.caption, QStringLiteral("VanterIII Message"));
        QCOMPARE(call.flags, kMbOk);
        QCOMPARE(shownWhileBoxUp, name);
        QVERIFY(edit->text().isEmpty());
    }
    // The slot's other controls are untouched.
    QCOMPARE(unit(0).addrEdit->text(), QStringLiteral("0x0000"));
}

void WindowPanels::switchedOffPanelCantBeEntered() {
    // Slot #1 is off; its edits hold texts that both checks would refuse.
    unit(1).addrEdit->setText(QStringLiteral("G"));
    unit(1).filenameEdit->setText(place_.file(QStringLiteral("missing.bin")));
    QTest::mouseClick(unit(1).addrEdit, Qt::LeftButton);
    QTest::mouseClick(unit(1).filenameEdit, Qt::LeftButton);
    QVERIFY(QApplication::focusWidget() != unit(1).addrEdit);
    QVERIFY(QApplication::focusWidget() != unit(1).filenameEdit);

    // Tab goes from the check box straight to the next slot's.
    unit(1).vanter->setFocus(Qt::TabFocusReason);
    tabOut(unit(1).vanter);
    QCOMPARE(QApplication::focusWidget(), unit(2).vanter);
    tabOut(unit(2).vanter);
    QCOMPARE(QApplication::focusWidget(), unit(3).vanter);

    QVERIFY(dialogs().calls.empty());
    QCOMPARE(unit(1).addrEdit->text(), QStringLiteral("G"));
}

QTEST_MAIN(WindowPanels)
#include "tst_window_panels.moc"
