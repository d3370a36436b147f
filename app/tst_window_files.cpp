// The initialisation step and the IniFile commands in the window, as the user runs them: start
// with and without a default configuration file, New, Open, Save and Save As through their
// shortcuts, the Close question, and what the window's controls and panels show and what it
// writes afterwards. Each test has a fresh working folder; dialogs are answered through the
// injected interface.

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/application.h"
#include "app/panels/unit_panel.h"
#include "app/window_test_support.h"
#include "config/in3_file.h"
#include "emulator/script_path.h"
#include "fs/native_name.h"
#include "testing/as_ordinary_user.h"
#include "testing/qt/test_files.h"
#include "testing/qt/user_input.h"

using namespace vanter::app;
using namespace vanter::testing;
using Kind = DialogCall::Kind;

namespace {

const QString kCaptionPrefix = QStringLiteral("VANTER III  v3.b3  -- ");

// The default configuration file: port "0x378", reset "High", slot #0 alone with "27512",
// "Hex", offset 8000 and main.hex.
const QByteArray kDefaultFile = "2\r\n1\r\n0\r\n4\r\n2\r\n8000\r\nmain.hex\r\nN";
// Slot #2 alone, typed port 0x2bc, reset "Low", "2764", "S-record".
const QByteArray kSlot2File = "2bc\r\n0\r\n2\r\n1\r\n3\r\nff00\r\ndata.s19\r\nN";
// Slots #1 and #3, USB.
const QByteArray kSlots1And3File =
    "5\r\n1\r\n1\r\n3\r\n1\r\n0\r\nx.bin\r\nY\r\n3\r\n15\r\n2\r\n1f\r\ny.hex\r\nN";
// What the default configuration saves to.
const QByteArray kDefaultsSaved = "1\r\n0\r\n0\r\n5\r\n1\r\n0\r\n\r\nN";

vanter::Configuration applied(vanter::Configuration config, const QByteArray& file) {
    std::istringstream in(file.toStdString());
    vanter::readConfiguration(in, config);
    return config;
}

} // namespace

// The place is the download script folder; each test works in a folder of its own.
class WindowFileCommands : public WindowTestCase {
    Q_OBJECT

private:
    std::unique_ptr<WorkingFolder> work_;

    QString path(const QString& name) const { return work_->file(name); }
    void start() {
        shown_ = std::make_unique<ShownWindow>();
        QVERIFY(QApplication::focusWidget() != nullptr);
    }
    // A menu command by its shortcut, from wherever the focus is.
    void command(Qt::Key key) {
        QTest::keyClick(QApplication::focusWidget(), key, Qt::ControlModifier);
        settle();
    }
    void open(const QString& name) {
        dialogs().confirmFile(name);
        command(Qt::Key_O);
    }
    void clickIndicator(int slot) { vanter::testing::clickIndicator(window().unit(slot).vanter); }
    QString caption() { return window().windowTitle(); }
    QString saveTarget() { return window().SaveDialog->fileName(); }
    // Whether each slot's panel shows on (its controls enabled).
    std::vector<bool> shownOn() {
        std::vector<bool> on;
        for (int slot = 0; slot < vanter::kSlotCount; ++slot) {
            on.push_back(window().unit(slot).addrEdit->isEnabled());
        }
        return on;
    }
    // The panel flags.
    std::vector<bool> flags() {
        std::vector<bool> on;
        for (int slot = 0; slot < vanter::kSlotCount; ++slot) {
            on.push_back(window().panel(slot).isSwitchedOn());
        }
        return on;
    }
    std::size_t count(Kind kind) { return dialogs().ofKind(kind).size(); }

private Q_SLOTS:
    void init() {
        work_ = std::make_unique<WorkingFolder>(place_.path());
        QVERIFY(work_->isValid());
    }
    void cleanup() {
        shown_.reset();
        work_.reset();
    }

    void lifecycle_data();
    void lifecycle();
    void openListingOnlySlot2KeepsSlot0();
    void namesKeepTheirBytes();
    void newRereadsDefaultFileWithoutUnchecking();
    void newWithoutDefaultFileThenSaveWritesOpenedFile();
    void unreadableOpen_data();
    void unreadableOpen();
    void startUpWithBadDefaultFile_data();
    void startUpWithBadDefaultFile();
    void closeQuestionAnsweredYes_data();
    void closeQuestionAnsweredYes();
    void failedWriteKeepsOldFile_data();
    void failedWriteKeepsOldFile();
    void typedPortThatDoesNotConvert_data();
    void typedPortThatDoesNotConvert();
    void portLineShown_data();
    void portLineShown();
};

void WindowFileCommands::lifecycle_data() {
    QTest::addColumn<bool>("defaultFile");
    QTest::addColumn<QString>("before"); // "": just started; "opened": after Open of slot2.in3
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("captionEnd");
    QTest::addColumn<QString>("controls"); // "defaults", "unchanged" or the file read
    QTest::addColumn<QString>("written");  // the file written, with `bytes`
    QTest::addColumn<QByteArray>("bytes");
    const QString vanter = QStringLiteral("Vanter.in3");
    const QString opened = QStringLiteral("%opened");
    QTest::newRow("start, default file present")
        << true << ""
        << "start" << vanter << vanter << vanter << "default"
        << "" << QByteArray();
    QTest::newRow("start, no default file") << false << ""
                                            << "start" << vanter << ""
                                            << "Untitled.in3"
                                            << "defaults"
                                            << "" << QByteArray();
    QTest::newRow("New, default file present") << true << "opened"
                                               << "new" << vanter << vanter << vanter << "default"
                                               << "" << QByteArray();
    QTest::newRow("New, no default file") << false << "opened"
                                          << "new" << vanter << opened << opened << "defaults"
                                          << "" << QByteArray();
    QTest::newRow("Open confirmed") << false << ""
                                    << "open"
                                    << "%chosen"
                                    << "%chosen"
                                    << "%chosen"
                                    << "chosen"
                                    << "" << QByteArray();
    QTest::newRow("Open cancelled") << false << "opened"
                                    << "open cancelled" << opened << opened << opened << "unchanged"
                                    << "" << QByteArray();
    QTest::newRow("Save As confirmed") << false << ""
                                       << "save as"
                                       << "%new"
                                       << "%new"
                                       << "%new"
                                       << "unchanged"
                                       << "%new" << kDefaultsSaved;
    QTest::newRow("Save As cancelled")
        << false << "opened"
        << "save as cancelled" << opened << opened << opened << "unchanged"
        << "" << QByteArray();
    QTest::newRow("Save") << false << "opened"
                          << "save" << opened << opened << opened << "unchanged" << opened
                          << QByteArray("2bc\r\n0\r\n0\r\n5\r\n1\r\n0\r\n\r\nY\r\n"
                                        "2\r\n1\r\n3\r\nff00\r\ndata.s19\r\nN");
    QTest::newRow("Save refused") << false << ""
                                  << "save refused" << vanter << ""
                                  << "Untitled.in3"
                                  << "unchanged"
                                  << "" << QByteArray();
    QTest::newRow("Save As refused")
        << true << ""
        << "save as refused" << vanter << vanter << vanter << "unchanged"
        << "" << QByteArray();
}

void WindowFileCommands::lifecycle() {
    QFETCH(bool, defaultFile);
    QFETCH(QString, before);
    QFETCH(QString, action);
    QFETCH(QString, current);
    QFETCH(QString, target);
    QFETCH(QString, captionEnd);
    QFETCH(QString, controls);
    QFETCH(QString, written);
    QFETCH(QByteArray, bytes);
    const auto resolve = [this](QString name) {
        return name.replace(QLatin1String("%opened"), path(QStringLiteral("slot2.in3")))
            .replace(QLatin1String("%chosen"), path(QStringLiteral("chosen.in3")))
            .replace(QLatin1String("%new"), path(QStringLiteral("new.in3")));
    };
    if (defaultFile) {
        QVERIFY(writeFile(QStringLiteral("Vanter.in3"), kDefaultFile));
    }
    QVERIFY(writeFile(QStringLiteral("slot2.in3"), kSlot2File));
    QVERIFY(writeFile(QStringLiteral("chosen.in3"), kSlots1And3File));

    // The window as designed, before the constructor's initialisation step.
    vanter::Configuration shown;
    if (action != QLatin1String("start")) {
        start();
        if (before == QLatin1String("opened")) {
            open(path(QStringLiteral("slot2.in3")));
        }
        if (action.endsWith(QLatin1String("refused"))) {
            for (int slot = 0; slot < vanter::kSlotCount; ++slot) {
                if (window().unit(slot).vanter->isChecked()) {
                    clickIndicator(slot);
                }
            }
        }
        shown = window().configuration();
        dialogs().calls.clear();
    }
    const QString targetBefore = shown_ ? saveTarget() : QString();
    const QMap<QString, QByteArray> files{{"default", kDefaultFile}, {"chosen", kSlots1And3File}};

    if (action == QLatin1String("start")) {
        start();
    } else if (action == QLatin1String("new")) {
        command(Qt::Key_N);
    } else if (action.startsWith(QLatin1String("open"))) {
        if (action == QLatin1String("open")) {
            dialogs().confirmFile(path(QStringLiteral("chosen.in3")));
        }
        command(Qt::Key_O);
    } else if (action.startsWith(QLatin1String("save as"))) {
        if (action == QLatin1String("save as")) {
            dialogs().confirmFile(path(QStringLiteral("new.in3")));
        }
        command(Qt::Key_A);
    } else {
        command(Qt::Key_S);
    }

    QCOMPARE(window().currentFileName(), resolve(current));
    QCOMPARE(saveTarget(), resolve(target));
    QCOMPARE(caption(), kCaptionPrefix + QDir::toNativeSeparators(resolve(captionEnd)));
    QCOMPARE(window().messageCaption(), QStringLiteral("VanterIII Message"));
    if (controls == QLatin1String("defaults")) {
        QCOMPARE(window().configuration(), vanter::Configuration::defaults());
        QCOMPARE(shownOn(), (std::vector<bool>{true, false, false, false}));
        QCOMPARE(flags(), (std::vector<bool>{true, false, false, false}));
    } else if (controls == QLatin1String("unchanged")) {
        QCOMPARE(window().configuration(), shown);
    } else {
        QCOMPARE(window().configuration(), applied(shown, files.value(controls)));
        // Every checked slot is switched on; at start the others show on as designed, with
        // their flags still off.
        for (int slot = 0; slot < vanter::kSlotCount; ++slot) {
            const bool checked = window().unit(slot).vanter->isChecked();
            QCOMPARE(window().panel(slot).isSwitchedOn(), checked);
            if (checked || action == QLatin1String("start")) {
                QVERIFY(window().unit(slot).addrEdit->isEnabled());
            }
        }
    }

    // Only the refusals show a message; no command here raises an error.
    QCOMPARE(count(Kind::Error), std::size_t{0});
    const bool refused = action.endsWith(QLatin1String("refused"));
    QCOMPARE(count(Kind::Message), std::size_t(refused ? 1 : 0));
    if (refused) {
        QCOMPARE(dialogs().messages().front().text,
                 QStringLiteral("No Vanter is selected: Abort!!"));
        QCOMPARE(dialogs().calls.size(), std::size_t{1});
    }
    if (action.startsWith(QLatin1String("open"))) {
        QCOMPARE(count(Kind::OpenFile), std::size_t{1});
        QVERIFY(dialogs().ofKind(Kind::OpenFile).front().fileName.isEmpty());
    }
    if (action.startsWith(QLatin1String("save as")) && !refused) {
        QCOMPARE(count(Kind::SaveFile), std::size_t{1});
        const DialogCall call = dialogs().ofKind(Kind::SaveFile).front();
        QCOMPARE(call.text, QStringLiteral("Save As"));
        QCOMPARE(call.fileName, targetBefore);
    }

    // Files: the one written, and nothing else touched.
    QCOMPARE(readFile(QStringLiteral("slot2.in3")),
             resolve(written) == path(QStringLiteral("slot2.in3")) ? bytes : kSlot2File);
    QCOMPARE(readFile(QStringLiteral("chosen.in3")), kSlots1And3File);
    if (written == QLatin1String("%new")) {
        QCOMPARE(readFile(QStringLiteral("new.in3")), bytes);
    }
    const QStringList expectedFiles =
        QStringList{"chosen.in3", "slot2.in3"} +
        (written == QLatin1String("%new") ? QStringList{"new.in3"} : QStringList{}) +
        (defaultFile ? QStringList{"Vanter.in3"} : QStringList{});
    QCOMPARE(QDir(work_->path()).entryList(QDir::Files, QDir::Name), [&] {
        QStringList sorted = expectedFiles;
        sorted.sort();
        return sorted;
    }());
    if (defaultFile) {
        QCOMPARE(readFile(QStringLiteral("Vanter.in3")), kDefaultFile);
    }
}

void WindowFileCommands::namesKeepTheirBytes() {
    // As a configuration from a Windows machine names its image: in Latin-1, not UTF-8 here.
    const QByteArray file = "1\r\n0\r\n0\r\n5\r\n1\r\n0\r\ncaf\xe9.bin\r\nN";
    QVERIFY(writeFile(QStringLiteral("Vanter.in3"), file));
    const std::filesystem::path image = vanter::pathFromNativeName("caf\xe9.bin");
    { std::ofstream(image) << "image"; }
    // Qt can't remove a name that is not text here, nor the folder that holds it.
    const auto removeImage = qScopeGuard([&] {
        std::error_code ignored;
        std::filesystem::remove(image, ignored);
    });
    start();
    // The file name check finds the file that the name names, and keeps the name.
    QLineEdit* edit = window().unit(0).filenameEdit;
    const QString shown = edit->text();
    clickInto(edit);
    tabOut(edit);
    QVERIFY(dialogs().calls.empty());
    QCOMPARE(edit->text(), shown);

    command(Qt::Key_S);
    QCOMPARE(readFile(QStringLiteral("Vanter.in3")), file);
    QTest::mouseClick(window().DownloadBut, Qt::LeftButton);
    QCOMPARE(driver().helloCalls, 1);
    QFile script(QString::fromStdWString(vanter::downloadScriptPath().wstring()));
    QVERIFY(script.open(QIODevice::ReadOnly));
    QCOMPARE(script.readAll(), file);
}

void WindowFileCommands::openListingOnlySlot2KeepsSlot0() {
    start();
    replaceText(window().unit(0).addrEdit, QStringLiteral("1234"));
    const QString slot2Label = window().unit(2).addrLabel->text();
    QVERIFY(writeFile(QStringLiteral("slot2.in3"), kSlot2File));
    open(path(QStringLiteral("slot2.in3")));
    QCOMPARE(dialogs().calls.size(), std::size_t{1});

    vanter::Configuration expected = vanter::Configuration::defaults();
    expected.port = "0x2bc";
    expected.slots[0].offset = "1234";
    expected.slots[2] = {true, 0, vanter::kSRecordFormat, "ff00", "data.s19"};
    QCOMPARE(window().configuration(), expected);
    // The reader switched on the panel of the box it checked, and no other.
    QCOMPARE(shownOn(), (std::vector<bool>{true, false, true, false}));
    QCOMPARE(flags(), (std::vector<bool>{true, false, true, false}));
    QCOMPARE(window().unit(2).eprom->palette().color(QPalette::WindowText),
             window().palette().color(QPalette::WindowText));
    QCOMPARE(window().unit(2).addrLabel->text(), slot2Label);
}

void WindowFileCommands::newRereadsDefaultFileWithoutUnchecking() {
    QVERIFY(writeFile(QStringLiteral("Vanter.in3"), kDefaultFile));
    start();
    // Slots the default file does not name start unchecked with their panels on.
    QCOMPARE(shownOn(), (std::vector<bool>{true, true, true, true}));
    QCOMPARE(flags(), (std::vector<bool>{true, false, false, false}));
    clickIndicator(1);
    clickIndicator(2);
    replaceText(window().unit(1).addrEdit, QStringLiteral("55"));
    replaceText(window().unit(0).addrEdit, QStringLiteral("99"));
    replaceText(window().PrinterCombo, QStringLiteral("0x2BC"));
    const vanter::Configuration before = window().configuration();

    command(Qt::Key_N);

    vanter::Configuration expected = before;
    expected.port = "0x378";
    expected.slots[0].offset = "8000";
    QCOMPARE(window().configuration(), expected);
    QVERIFY(window().unit(1).vanter->isChecked());
    QVERIFY(window().unit(2).vanter->isChecked());
    // Slot #0 was checked already: reading it raised no switch.
    QCOMPARE(shownOn(), (std::vector<bool>{true, true, true, true}));
    QCOMPARE(flags(), (std::vector<bool>{true, true, true, false}));
    QVERIFY(dialogs().calls.empty());
}

void WindowFileCommands::newWithoutDefaultFileThenSaveWritesOpenedFile() {
    start();
    QVERIFY(writeFile(QStringLiteral("board.in3"), kSlots1And3File));
    open(path(QStringLiteral("board.in3")));
    QCOMPARE(shownOn(), (std::vector<bool>{true, true, false, true}));
    command(Qt::Key_N);
    QCOMPARE(window().configuration(), vanter::Configuration::defaults());
    QCOMPARE(shownOn(), (std::vector<bool>{true, false, false, false}));
    QCOMPARE(caption(),
             kCaptionPrefix + QDir::toNativeSeparators(path(QStringLiteral("board.in3"))));
    command(Qt::Key_S);
    QCOMPARE(readFile(QStringLiteral("board.in3")), kDefaultsSaved);
    QVERIFY(dialogs().messages().empty());
}

void WindowFileCommands::unreadableOpen_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shown");
    QTest::newRow("a name that does not exist") << "missing.in3"
                                                << "'0x' is not a valid integer value.";
    QTest::newRow("a folder") << "folder"
                              << "'0x' is not a valid integer value.";
    QTest::newRow("an empty file") << "empty.in3"
                                   << "'0x' is not a valid integer value.";
    QTest::newRow("a first line that does not convert") << "garbled.in3"
                                                        << "'0xzz' is not a valid integer value.";
}

void WindowFileCommands::unreadableOpen() {
    QFETCH(QString, name);
    QFETCH(QString, shown);
    QVERIFY(QDir(work_->path()).mkdir(QStringLiteral("folder")));
    QVERIFY(writeFile(QStringLiteral("empty.in3"), QByteArray()));
    QVERIFY(writeFile(QStringLiteral("garbled.in3"), "zz\r\n1\r\n1\r\n3\r\n1\r\n0\r\nx.bin\r\nN"));
    start();
    const vanter::Configuration before = window().configuration();
    const std::vector<bool> panels = shownOn();

    open(path(name));

    QCOMPARE(dialogs().calls.size(), std::size_t{2});
    const DialogCall& error = dialogs().calls.back();
    QCOMPARE(error.kind, Kind::Error);
    QCOMPARE(error.text, shown);
    QCOMPARE(error.caption, QStringLiteral("VANTER III"));
    // The names changed before the reading failed; the controls did not.
    QCOMPARE(window().currentFileName(), path(name));
    QCOMPARE(saveTarget(), path(name));
    QCOMPARE(caption(), kCaptionPrefix + QDir::toNativeSeparators(path(name)));
    QCOMPARE(window().configuration(), before);
    QCOMPARE(shownOn(), panels);
    QVERIFY(window().isVisible());
}

void WindowFileCommands::startUpWithBadDefaultFile_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::newRow("first line does not convert")
        << QByteArray("0x3BC\r\n0\r\n0\r\n5\r\n1\r\n0\r\n\r\nN")
        << "'0x0x3BC' is not a valid integer value.";
    QTest::newRow("empty file") << QByteArray() << "'0x' is not a valid integer value.";
}

void WindowFileCommands::startUpWithBadDefaultFile() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    QVERIFY(writeFile(QStringLiteral("Vanter.in3"), bytes));
    FakeDialogs dialogs;
    FakeDriver driver;
    // Should a window come up after all, its message loop ends at once.
    QTimer stop;
    stop.setSingleShot(true);
    connect(&stop, &QTimer::timeout, qApp, &QCoreApplication::quit);
    stop.start(0);

    const int result = runMainWindow(dialogs, driver);

    expectStartRefused(result, dialogs, shown);
    if (QTest::currentTestFailed()) {
        return;
    }
    for (QWidget* top : QApplication::topLevelWidgets()) {
        QVERIFY(qobject_cast<TVante3_0*>(top) == nullptr);
    }
    QCOMPARE(readFile(QStringLiteral("Vanter.in3")), bytes);
}

void WindowFileCommands::closeQuestionAnsweredYes_data() {
    QTest::addColumn<QString>("situation");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QByteArray>("saved"); // null: the target is not written
    QTest::addColumn<QString>("secondBox");
    QTest::newRow("saved to the file in use") << "target" << true << kDefaultsSaved << "";
    QTest::newRow("no file named, name given") << "name given" << true << kDefaultsSaved << "";
    QTest::newRow("no file named, dialog cancelled: stays")
        << "name cancelled" << false << QByteArray() << "";
    QTest::newRow("no unit enabled: refused, closes")
        << "no unit" << true << QByteArray() << "No Vanter is selected: Abort!!";
    QTest::newRow("writing fails: stays")
        << "unwritable" << false << QByteArray() << "The configuration was not saved to";
    QTest::newRow("typed port not a number: stays")
        << "bad port" << false << QByteArray() << "'lpt1' is not a valid integer value.";
}

void WindowFileCommands::closeQuestionAnsweredYes() {
    QFETCH(QString, situation);
    QFETCH(bool, closes);
    QFETCH(QByteArray, saved);
    QFETCH(QString, secondBox);
    start();
    const QString target = path(QStringLiteral("close.in3"));
    if (situation == QLatin1String("target")) {
        window().SaveDialog->setFileName(target);
    } else if (situation == QLatin1String("name given")) {
        dialogs().confirmFile(target);
    } else if (situation == QLatin1String("no unit")) {
        clickIndicator(0);
    } else if (situation == QLatin1String("unwritable")) {
        window().SaveDialog->setFileName(path(QStringLiteral("no-folder/close.in3")));
    } else if (situation == QLatin1String("bad port")) {
        window().SaveDialog->setFileName(target);
        replaceText(window().PrinterCombo, QStringLiteral("lpt1"));
    }
    const vanter::Configuration before = window().configuration();
    dialogs().answers.push_back(kIdYes);

    QTest::mouseClick(window().CloseBut, Qt::LeftButton);
    settle();

    QCOMPARE(dialogs().calls.front().text, QStringLiteral("Do you want to save the change?"));
    QCOMPARE(window().isVisible(), !closes);
    QCOMPARE(readFile(QStringLiteral("close.in3")),
             saved.isNull() ? QByteArray("<missing>") : saved);
    if (!secondBox.isEmpty()) {
        QVERIFY(dialogs().calls.size() >= 2);
        QVERIFY2(dialogs().calls.back().text.startsWith(secondBox),
                 qPrintable(dialogs().calls.back().text));
    }
    QCOMPARE(window().configuration(), before);
}

void WindowFileCommands::failedWriteKeepsOldFile_data() {
    QTest::addColumn<QString>("way");  // "save": to the file in use; "save as": to `name`
    QTest::addColumn<QString>("name"); // the file that can't be written
    QTest::addColumn<QString>("cause");
    QTest::newRow("folder does not exist") << "save as"
                                           << "no-folder/x.in3"
                                           << "";
    QTest::newRow("name of a folder") << "save as"
                                      << "sub"
                                      << "";
    QTest::newRow("file name with a line feed") << "save"
                                                << "board.in3"
                                                << "line feed";
    QTest::newRow("file name with Ctrl-Z") << "save"
                                           << "board.in3"
                                           << "ctrl-z";
    QTest::newRow("folder not writable") << "save"
                                         << "locked/board.in3"
                                         << "locked";
}

void WindowFileCommands::failedWriteKeepsOldFile() {
    QFETCH(QString, way);
    QFETCH(QString, name);
    QFETCH(QString, cause);
    QDir folder(work_->path());
    QVERIFY(folder.mkdir(QStringLiteral("sub")));
    QVERIFY(folder.mkdir(QStringLiteral("locked")));
    const QByteArray old = "previous\r\ncontents";
    QVERIFY(writeFile(QStringLiteral("board.in3"), old));
    QVERIFY(writeFile(QStringLiteral("locked/board.in3"), old));
    QFile::setPermissions(path(QStringLiteral("locked")),
                          QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const auto unlock = qScopeGuard([&] {
        QFile::setPermissions(path(QStringLiteral("locked")), QFileDevice::ReadOwner |
                                                                  QFileDevice::WriteOwner |
                                                                  QFileDevice::ExeOwner);
    });
    const AsOrdinaryUser asOrdinaryUser; // root too is refused the locked folder
    if (cause == QLatin1String("locked")) {
        QFile probe(path(QStringLiteral("locked/probe")));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            QSKIP("This user writes into folders whatever their permissions say");
        }
    }
    start();
    if (cause == QLatin1String("line feed") || cause == QLatin1String("ctrl-z")) {
        // A file name that the configuration file can't hold, as the file dialog gives it.
        dialogs().confirmFile(path(cause == QLatin1String("line feed")
                                       ? QStringLiteral("a\nb.bin")
                                       : QStringLiteral("a\x1a.bin")));
        QTest::mouseClick(window().unit(0).browseBtn, Qt::LeftButton);
    }
    if (way == QLatin1String("save")) {
        window().SaveDialog->setFileName(path(name));
    } else {
        dialogs().confirmFile(path(name));
    }
    const vanter::Configuration before = window().configuration();
    dialogs().calls.clear();

    command(way == QLatin1String("save") ? Qt::Key_S : Qt::Key_A);

    const std::vector<DialogCall> messages = dialogs().messages();
    QCOMPARE(messages.size(), std::size_t{1});
    QCOMPARE(messages.front().flags, kMbOk);
    QCOMPARE(messages.front().caption, QStringLiteral("VanterIII Message"));
    QVERIFY2(messages.front().text.startsWith(
                 QStringLiteral("The configuration was not saved to \"") +
                 QDir::toNativeSeparators(path(name)) + QStringLiteral("\".\n")),
             qPrintable(messages.front().text));
    // Every line names the file with the platform's separators.
    QVERIFY(QDir::separator() == u'/' || !messages.front().text.contains(path(name)));
    QVERIFY(dialogs().errors().empty());
    // The old file is as it was, nothing was left beside it, and the window keeps its values.
    QCOMPARE(readFile(QStringLiteral("board.in3")), old);
    QCOMPARE(readFile(QStringLiteral("locked/board.in3")), old);
    QCOMPARE(folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             (QStringList{"board.in3", "locked", "sub"}));
    QVERIFY(QDir(path(QStringLiteral("sub"))).isEmpty());
    QCOMPARE(window().configuration(), before);
    QVERIFY(window().isVisible());
}

void WindowFileCommands::typedPortThatDoesNotConvert_data() {
    QTest::addColumn<Qt::Key>("key");
    QTest::newRow("Save") << Qt::Key_S;
    QTest::newRow("Save As") << Qt::Key_A;
}

void WindowFileCommands::typedPortThatDoesNotConvert() {
    QFETCH(Qt::Key, key);
    QVERIFY(writeFile(QStringLiteral("board.in3"), kSlot2File));
    QVERIFY(writeFile(QStringLiteral("other.in3"), kDefaultFile));
    start();
    open(path(QStringLiteral("board.in3")));
    replaceText(window().PrinterCombo, QStringLiteral("lpt1"));
    dialogs().confirmFile(path(QStringLiteral("other.in3")));
    dialogs().calls.clear();

    command(key);

    const std::vector<DialogCall> errors = dialogs().errors();
    QCOMPARE(errors.size(), std::size_t{1});
    QCOMPARE(errors.front().text, QStringLiteral("'lpt1' is not a valid integer value."));
    QVERIFY(dialogs().messages().empty());
    QCOMPARE(readFile(QStringLiteral("board.in3")), kSlot2File);
    QCOMPARE(readFile(QStringLiteral("other.in3")), kDefaultFile);
    // Save As has taken the new name before writing.
    const QString named =
        path(key == Qt::Key_A ? QStringLiteral("other.in3") : QStringLiteral("board.in3"));
    QCOMPARE(window().currentFileName(), named);
    QCOMPARE(caption(), kCaptionPrefix + QDir::toNativeSeparators(named));
}

void WindowFileCommands::portLineShown_data() {
    QTest::addColumn<QString>("typed"); // into the port box before Open; empty: nothing typed
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QByteArray>("saved"); // the port line that Save writes back
    // Shown as formed, "0x" and the line, also where another spelling is in the list; the
    // number is the same.
    QTest::newRow("3bc") << "" << QByteArray("3bc") << "0x3bc" << QByteArray("1");
    QTest::newRow("3BC") << "" << QByteArray("3BC") << "0x3BC" << QByteArray("1");
    QTest::newRow("2bc") << "" << QByteArray("2bc") << "0x2bc" << QByteArray("2bc");
    QTest::newRow("1 after a typed port")
        << "USB2" << QByteArray("1") << "0x3BC" << QByteArray("1");
}

void WindowFileCommands::portLineShown() {
    QFETCH(QString, typed);
    QFETCH(QByteArray, line);
    QFETCH(QString, shown);
    QFETCH(QByteArray, saved);
    const QByteArray rest = "\r\n0\r\n0\r\n5\r\n1\r\n0\r\n\r\nN";
    QVERIFY(writeFile(QStringLiteral("port.in3"), line + rest));
    start();
    if (!typed.isEmpty()) {
        replaceText(window().PrinterCombo, typed);
    }
    open(path(QStringLiteral("port.in3")));
    QCOMPARE(window().PrinterCombo->currentText(), shown);
    command(Qt::Key_S);
    QCOMPARE(readFile(QStringLiteral("port.in3")), saved + rest);
    QVERIFY(dialogs().errors().empty());
}

QTEST_MAIN(WindowFileCommands)
#include "tst_window_files.moc"
