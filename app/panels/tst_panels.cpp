// The unit panels as the user works in them, on a plain widget and wired as the window wires
// them: the check box switches the panel, the format pick sets the offset label, Browse fills
// the file name, and the file name edit keeps to the code page. The panels start as without a
// default configuration file: slot #0 checked and switched on, slots #1 to #3 unchecked and
// switched off. What needs the window's rules is tested with the window.

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include <array>
#include <memory>
#include <vector>

#include "app/common/dialogs.h"
#include "app/common/fake_dialogs.h"
#include "app/panels/oem_typing.h"
#include "app/panels/unit_panel.h"
#include "config/configuration.h"
#include "testing/qt/test_files.h"
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

// The four panels on a plain widget, shown and active.
struct ShownPanels {
    FakeDialogs dialogs;
    QWidget client;
    FileDialog openDialog{FileDialog::Kind::Open, dialogs, &client, QStringLiteral("OpenDialog")};
    std::array<std::unique_ptr<UnitPanel>, vanter::kSlotCount> panels;

    ShownPanels() {
        client.resize(560, 420);
        const vanter::Configuration defaults = vanter::Configuration::defaults();
        for (int slot = 0; slot < vanter::kSlotCount; ++slot) {
            auto& panel = panels.at(static_cast<std::size_t>(slot));
            panel = std::make_unique<UnitPanel>(&client, slot, openDialog);
            UnitPanel* p = panel.get();
            QObject::connect(p, &UnitPanel::switchToggled, p, &UnitPanel::panelSwitch);
            QObject::connect(p, &UnitPanel::formatPicked, p, &UnitPanel::labelSwitch);
            QObject::connect(p, &UnitPanel::browseClicked, p, &UnitPanel::browse);
        }
        // As the window shows the defaults: the boxes first, each change switching its panel.
        for (int slot = 0; slot < vanter::kSlotCount; ++slot) {
            const auto index = static_cast<std::size_t>(slot);
            panels.at(index)->setChecked(defaults.slots.at(index).enabled);
            panels.at(index)->showSettings(defaults.slots.at(index));
        }
        client.show();
        activate();
    }
    // Windows are not re-activated by themselves without a window manager.
    bool activate() {
        client.activateWindow();
        if (QApplication::activeWindow() != &client) {
            QApplication::setActiveWindow(&client);
        }
        return QTest::qWaitForWindowActive(&client);
    }
};

class Panels : public QObject {
    Q_OBJECT

private:
    WorkingFolder place_;
    std::unique_ptr<ShownPanels> shown_;

    QWidget& client() { return shown_->client; }
    FakeDialogs& dialogs() { return shown_->dialogs; }
    UnitPanel& panel(int slot) { return *shown_->panels.at(static_cast<std::size_t>(slot)); }
    const UnitPanel::Controls& unit(int slot) { return panel(slot).controls(); }

    void pick(QComboBox* combo, const QString& entry) {
        vanter::testing::pick(combo, entry);
        QVERIFY(shown_->activate());
    }

private Q_SLOTS:
    void init() {
        shown_ = std::make_unique<ShownPanels>();
        QVERIFY(!unit(0).addrEdit->text().isEmpty());
    }
    void cleanup() { shown_.reset(); }

    void switchOffAndOnKeepsValues_data();
    void switchOffAndOnKeepsValues();
    void switchTouchesItsOwnSlotOnly_data();
    void switchTouchesItsOwnSlotOnly();
    void onColourFollowsTheSystem();
    void browse_data();
    void browse();
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
    QVERIFY(writeFile(place_.file(QStringLiteral("main.hex")), QByteArray()));
    pick(unit(0).epromCombo, QStringLiteral("27512"));
    pick(unit(0).formatCombo, QStringLiteral("Hex"));
    replaceText(unit(0).addrEdit, QStringLiteral("fff0"));
    replaceText(unit(0).filenameEdit, QStringLiteral("main.hex"));
    const PanelLook on = lookOf(unit(0));
    QCOMPARE(on.colours, std::vector<QColor>(4, client().palette().color(QPalette::WindowText)));

    toggle();
    const PanelLook off = lookOf(unit(0));
    QVERIFY(!off.checked);
    QVERIFY(!panel(0).isSwitchedOn());
    QCOMPARE(off.enabled, (std::vector<bool>{false, false, false, false, false, true}));
    QCOMPARE(off.colours, std::vector<QColor>(4, kGrey));
    QCOMPARE(off.labelsOn, std::vector<bool>(4, true));
    QCOMPARE(off.texts, on.texts);

    toggle();
    QCOMPARE(lookOf(unit(0)), on);
    QVERIFY(panel(0).isSwitchedOn());
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
        QCOMPARE(panel(slot).isSwitchedOn(), on);
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
