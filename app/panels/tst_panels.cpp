// The unit panels as the user works in them: the check box switches the panel, the format
// pick sets the offset label, Browse fills the file name, and the two edits check their text
// when the focus leaves them. The window starts without a default configuration file: slot
// #0 checked and switched on, slots #1 to #3 unchecked and switched off.

#include <QAbstractItemView>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <vector>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

#include "panels/oem_typing.h"
#include "panels/unit_panel.h"
#include "testing/as_ordinary_user.h"
#include "app/window_test_support.h"
#include "testing/qt/user_input.h"

using namespace vanter::app;
using namespace vanter::testing;
using Kind = DialogCall::Kind;

namespace {

const QColor kGrey(128, 128, 128);

// Everything of one panel that the user can see.
struct PanelLook {
    bool checked;
    std::vector<bool> enabled;   // the five controls, then the check box
    std::vector<QColor> colours; // the four labels
    std::vector<bool> labelsOn;  // the labels are never disabled
    QStringList texts;           // list texts, offset label, edit texts

    bool operator==(const PanelLook&) const = default;
};

PanelLook lookOf(const UnitPanel::Controls& unit) {
    PanelLook look;
    look.checked = unit.vanter->isChecked();
    for (QWidget* control :
         std::initializer_list<QWidget*>{unit.epromCombo, unit.formatCombo, unit.addrEdit,
                                         unit.filenameEdit, unit.browseBtn, unit.vanter}) {
        look.enabled.push_back(control->isEnabled());
    }
    for (QLabel* label : {unit.eprom, unit.fileFormat, unit.addrLabel, unit.filename}) {
        look.colours.push_back(label->palette().color(QPalette::WindowText));
        look.labelsOn.push_back(label->isEnabled());
    }
    look.texts << unit.epromCombo->currentText() << unit.formatCombo->currentText()
               << unit.addrLabel->text() << unit.addrEdit->text() << unit.filenameEdit->text();
    return look;
}

} // namespace

class Panels : public WindowTestCase {
    Q_OBJECT

private:
    const UnitPanel::Controls& unit(int slot) { return window().unit(slot); }

    // Opens a list with the mouse and picks an entry with the keys.
    void pick(QComboBox* combo, const QString& entry) {
        QTest::mouseClick(combo, Qt::LeftButton);
        QAbstractItemView* view = combo->view();
        QTRY_VERIFY(view->isVisible());
        QTest::keyClick(view, Qt::Key_Home);
        for (int i = 0; i < combo->findText(entry); ++i) {
            QTest::keyClick(view, Qt::Key_Down);
        }
        QTest::keyClick(view, Qt::Key_Return);
        QTRY_VERIFY(!view->isVisible());
        QCOMPARE(combo->currentText(), entry);
        // Offscreen, Qt 5 leaves the closed list the active window.
        QVERIFY(shown_->activate());
    }

private Q_SLOTS:
    void init() {
        shown_ = std::make_unique<ShownWindow>();
        QVERIFY(!unit(0).addrEdit->text().isEmpty());
    }
    void cleanup() { shown_.reset(); }

    void switchOffAndOnKeepsValues_data();
    void switchOffAndOnKeepsValues();
    void switchTouchesItsOwnSlotOnly_data();
    void switchTouchesItsOwnSlotOnly();
    void onColourFollowsTheSystem();
    void labelSwitch_data();
    void labelSwitch();
    void loadingKeepsLabelWording_data();
    void loadingKeepsLabelWording();
    void offsetCheck_data();
    void offsetCheck();
    void fileNameCheck_data();
    void fileNameCheck();
    void browse_data();
    void browse();
    void switchedOffPanelCantBeEntered();
    void typedFileNamesKeepOemCharacters_data();
    void typedFileNamesKeepOemCharacters();
    void pastedFileNamesKeepOemCharacters();
};

void Panels::switchOffAndOnKeepsValues_data() {
    QTest::addColumn<QString>("way");
    QTest::newRow("mouse") << "mouse";
    QTest::newRow("space key") << "space";
}

void Panels::switchOffAndOnKeepsValues() {
    QFETCH(QString, way);
    const auto toggle = [&] {
        if (way == QLatin1String("mouse")) {
            clickIndicator(unit(0).vanter);
        } else {
            unit(0).vanter->setFocus(Qt::TabFocusReason);
            QTest::keyClick(unit(0).vanter, Qt::Key_Space);
        }
    };
    QFile image(place_.file(QStringLiteral("main.hex")));
    QVERIFY(image.open(QIODevice::WriteOnly));
    image.close();
    pick(unit(0).epromCombo, QStringLiteral("27512"));
    pick(unit(0).formatCombo, QStringLiteral("Hex"));
    replaceText(unit(0).addrEdit, QStringLiteral("fff0"));
    replaceText(unit(0).filenameEdit, QStringLiteral("main.hex"));
    const PanelLook on = lookOf(unit(0));
    QCOMPARE(on.colours, std::vector<QColor>(4, window().palette().color(QPalette::WindowText)));

    toggle();
    const PanelLook off = lookOf(unit(0));
    QVERIFY(!off.checked);
    QVERIFY(!window().panel(0).isSwitchedOn());
    QCOMPARE(off.enabled, (std::vector<bool>{false, false, false, false, false, true}));
    QCOMPARE(off.colours, std::vector<QColor>(4, kGrey));
    QCOMPARE(off.labelsOn, std::vector<bool>(4, true));
    QCOMPARE(off.texts, on.texts);

    toggle();
    QCOMPARE(lookOf(unit(0)), on);
    QVERIFY(window().panel(0).isSwitchedOn());
    QVERIFY(dialogs().calls.empty());
}

void Panels::switchTouchesItsOwnSlotOnly_data() {
    QTest::addColumn<int>("slot");
    for (int slot = 0; slot < vanter::kSlotCount; ++slot) {
        QTest::addRow("slot #%d", slot) << slot;
    }
}

void Panels::switchTouchesItsOwnSlotOnly() {
    QFETCH(int, slot);
    // Slots #0 and #2 on, #1 and #3 off, with values of their own.
    clickIndicator(unit(2).vanter);
    for (int k = 0; k < vanter::kSlotCount; ++k) {
        unit(k).addrEdit->setText(QString::number(k + 1));
    }
    std::vector<PanelLook> before;
    for (int k = 0; k < vanter::kSlotCount; ++k) {
        before.push_back(lookOf(unit(k)));
    }
    for (int round = 0; round < 2; ++round) {
        clickIndicator(unit(slot).vanter);
        for (int k = 0; k < vanter::kSlotCount; ++k) {
            if (k != slot) {
                QCOMPARE(lookOf(unit(k)), before.at(static_cast<std::size_t>(k)));
            }
        }
        const bool on = unit(slot).vanter->isChecked();
        QCOMPARE(window().panel(slot).isSwitchedOn(), on);
        QCOMPARE(unit(slot).addrEdit->isEnabled(), on);
    }
    QCOMPARE(lookOf(unit(slot)), before.at(static_cast<std::size_t>(slot)));
}

void Panels::onColourFollowsTheSystem() {
    // Switched on means the system's window-text colour, whatever it is now; off stays grey.
    const QPalette system = QApplication::palette();
    QPalette changed = system;
    changed.setColor(QPalette::WindowText, QColor(10, 20, 200));
    QApplication::setPalette(changed);
    const auto colour = [](QLabel* label) {
        return label->palette().color(QPalette::WindowText);
    };
    QTRY_COMPARE(colour(unit(0).addrLabel), QColor(10, 20, 200));
    QCOMPARE(colour(unit(1).addrLabel), kGrey);
    // Switched off and on again, the label follows the system colour still.
    clickIndicator(unit(0).vanter);
    clickIndicator(unit(0).vanter);
    QCOMPARE(colour(unit(0).eprom), QColor(10, 20, 200));
    QApplication::setPalette(system);
    QTRY_COMPARE(colour(unit(0).eprom), system.color(QPalette::WindowText));
    QCOMPARE(colour(unit(1).eprom), kGrey);
}

void Panels::labelSwitch_data() {
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

void Panels::labelSwitch() {
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

void Panels::loadingKeepsLabelWording_data() {
    QTest::addColumn<QString>("picked");
    QTest::addColumn<QString>("label");
    QTest::newRow("never picked") << QString() << "Loading offset at EPROM socket:";
    QTest::newRow("Binary picked") << "Binary"
                                   << "Loading offset at EPROM socket";
    QTest::newRow("S-record picked") << "S-record"
                                     << "Target System address of EPROM";
}

void Panels::loadingKeepsLabelWording() {
    QFETCH(QString, picked);
    QFETCH(QString, label);
    if (!picked.isEmpty()) {
        pick(unit(0).formatCombo, picked);
    }
    // Slot #0 in the Hex format.
    const QString file = place_.file(QStringLiteral("hex-slot.in3"));
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write("1\r\n0\r\n0\r\n4\r\n2\r\n8000\r\nmain.hex\r\nN");
    out.close();
    dialogs().confirmFile(file);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_O, Qt::ControlModifier);
    QVERIFY(dialogs().errors().empty());
    QCOMPARE(unit(0).formatCombo->currentText(), QStringLiteral("Hex"));
    QCOMPARE(unit(0).addrLabel->text(), label);
}

void Panels::offsetCheck_data() {
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

void Panels::offsetCheck() {
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

void Panels::fileNameCheck_data() {
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

void Panels::fileNameCheck() {
    QFETCH(QString, name);
    QFETCH(bool, accepted);
    QTemporaryDir dir(place_.file(QStringLiteral("names-XXXXXX")));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    for (const char* file : {"image.bin", "locked.bin"}) {
        QFile out(dir.filePath(QString::fromLatin1(file)));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("\x01\x02", 2);
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

void Panels::browse_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("after");
    QTest::newRow("existing file") << "old.bin" << true << "%dir/image.bin"
                                   << "%dir/image.bin";
    QTest::newRow("relative name: full path") << "" << true << "image.bin"
                                              << "%cwd/image.bin";
    QTest::newRow("typed name that does not exist") << "" << true << "%dir/none.bin"
                                                    << "%dir/none.bin";
    QTest::newRow("name outside the code page: not filtered")
        << "" << true << QStringLiteral("%dir/\u20ac.bin") << QStringLiteral("%dir/\u20ac.bin");
    QTest::newRow("cancelled") << "old.bin" << false << ""
                               << "old.bin";
    QTest::newRow("cancelled, empty") << "" << false << ""
                                      << "";
}

void Panels::browse() {
    QFETCH(QString, before);
    QFETCH(bool, confirmed);
    QFETCH(QString, chosen);
    QFETCH(QString, after);
    const QString dir = place_.path();
    chosen.replace(QLatin1String("%dir"), dir);
    after.replace(QLatin1String("%dir"), dir).replace(QLatin1String("%cwd"), QDir::currentPath());
    // As Windows users write names: C:\fw\rom.bin; the dialog returns C:/fw/rom.bin.
    if (confirmed) {
        after = QDir::toNativeSeparators(after);
    }

    QLineEdit* edit = unit(0).filenameEdit;
    edit->setText(before);
    // An earlier choice does not show in the name box.
    dialogs().confirmFile(place_.file(QStringLiteral("earlier.bin")));
    QTest::mouseClick(unit(1).vanter, Qt::LeftButton, {}, QPoint(6, 8));
    QTest::mouseClick(unit(1).browseBtn, Qt::LeftButton);
    if (confirmed) {
        dialogs().confirmFile(chosen);
    } else {
        dialogs().cancelFile();
    }
    QTest::mouseClick(unit(0).browseBtn, Qt::LeftButton);
    settle();

    QCOMPARE(dialogs().calls.size(), std::size_t{2});
    const DialogCall& call = dialogs().calls.back();
    QCOMPARE(call.kind, Kind::OpenFile);
    QVERIFY(call.fileName.isEmpty());
    QCOMPARE(edit->text(), after);
    // Not checked: the focus is on the button, no message.
    QCOMPARE(QApplication::focusWidget(), unit(0).browseBtn);
}

void Panels::switchedOffPanelCantBeEntered() {
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

void Panels::typedFileNamesKeepOemCharacters_data() {
    QTest::addColumn<QString>("before"); // set by the program
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("after");
    QTest::newRow("plain ASCII") << "" << 0 << "main_1.hex"
                                 << "main_1.hex";
    QTest::newRow("letters of the code page")
        << "" << 0 << QStringLiteral("M\u00fcller \u00e9t\u00e9 \u00a3\u00bd\u00b0.bin")
        << QStringLiteral("M\u00fcller \u00e9t\u00e9 \u00a3\u00bd\u00b0.bin");
    QTest::newRow("box drawing and Greek of the code page")
        << "" << 0 << QStringLiteral("\u2502\u03b1\u03a9") << QStringLiteral("\u2502\u03b1\u03a9");
    QTest::newRow("euro sign dropped") << "" << 0 << QStringLiteral("a\u20acb") << "ab";
    QTest::newRow("Latin-1 letter not in the code page dropped")
        << "" << 0 << QStringLiteral("\u00c0\u00e7") << QStringLiteral("\u00e7");
    QTest::newRow("letter outside Latin-1 dropped") << "" << 0 << QStringLiteral("\u017e1") << "1";
    QTest::newRow("character beyond 16 bits dropped")
        << "" << 0 << QString::fromUcs4(U"x\U0001F600y") << "xy";
    QTest::newRow("program's text kept, typed in the middle")
        << QStringLiteral("\u20ac.bin") << 1 << QStringLiteral("\u20acz")
        << QStringLiteral("\u20acz.bin");
}

void Panels::typedFileNamesKeepOemCharacters() {
    QFETCH(QString, before);
    QFETCH(int, cursor);
    QFETCH(QString, typed);
    QFETCH(QString, after);
    QLineEdit* edit = unit(0).filenameEdit;
    edit->setText(before);
    clickInto(edit);
    edit->setCursorPosition(cursor);
    type(edit, typed);
    QCOMPARE(edit->text(), after);
    // The cursor stays behind what was typed.
    QCOMPARE(edit->cursorPosition(), static_cast<int>(after.size() - before.size() + cursor));
}

void Panels::pastedFileNamesKeepOemCharacters() {
    QLineEdit* edit = unit(0).filenameEdit;
    replaceText(edit, QStringLiteral("ab"));
    QGuiApplication::clipboard()->setText(QStringLiteral("\u00e9\u20ac/x"));
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit->text(), QStringLiteral("\u00e9/xab"));
    QCOMPARE(edit->cursorPosition(), 3);
    QCOMPARE(keepOemCharacters(QStringLiteral("\u00ff\u0100\u00a0\u0192\u25a0\u25a1")),
             QStringLiteral("\u00ff\u00a0\u0192\u25a0"));
}

QTEST_MAIN(Panels)
#include "tst_panels.moc"
