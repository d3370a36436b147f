// The file commands on their own, against a small form that holds a configuration: what they
// show, name and write. The window's own part (shortcuts, controls, panels, the Close question
// and the error net) is tested with the window. Each test has a fresh working folder; dialogs
// are answered through the injected interface.

#include <QDir>
#include <QTest>

#include <memory>

#include "app/common/dialogs.h"
#include "app/common/fake_dialogs.h"
#include "app/filecmds/configuration_form.h"
#include "app/filecmds/file_commands.h"
#include "testing/qt/readable_configuration.h"
#include "testing/qt/test_files.h"

using namespace vanter::app;
using namespace vanter::testing;
using Kind = DialogCall::Kind;

Q_DECLARE_METATYPE(vanter::app::SaveOutcome)

namespace {

const QString kCaptionPrefix = QStringLiteral("VANTER III  v3.b3  -- ");
// The default configuration file: port "0x378", reset "High", slot #0 alone.
const QByteArray kDefaultFile = "2\r\n1\r\n0\r\n4\r\n2\r\n8000\r\nmain.hex\r\nN";
// What the default configuration saves to.
const QByteArray kDefaultsSaved = "1\r\n0\r\n0\r\n5\r\n1\r\n0\r\n\r\nN";

// The form as the window designs it, holding the configuration its controls would show; its
// message box goes to the dialogs as the window's does.
class FakeForm final : public ConfigurationForm {
public:
    explicit FakeForm(Dialogs& dialogs) : dialogs_(dialogs) {}

    vanter::Configuration shown;

    vanter::Configuration configuration() const override { return shown; }
    // The commands hand over the configuration they read into: it leaves unnamed slots alone.
    void showConfiguration(const vanter::Configuration& config) override { shown = config; }
    void showWholeConfiguration(const vanter::Configuration& config) override { shown = config; }
    const QString& currentFileName() const override { return fileName_; }
    void setCurrentFileName(const QString& name) override { fileName_ = name; }
    QString caption() const override { return caption_; }
    void setCaption(const QString& caption) override { caption_ = caption; }
    void setMessageCaption(const QString& caption) override { messageCaption_ = caption; }
    void tell(const QString& text) override {
        dialogs_.message(nullptr, text, messageCaption_, kMbOk);
    }

private:
    Dialogs& dialogs_;
    QString fileName_;
    QString caption_ = kCaptionPrefix + QStringLiteral("Untitled.in3");
    QString messageCaption_;
};

} // namespace

class FileCommandsTest : public QObject {
    Q_OBJECT

private:
    struct Commands {
        FakeDialogs dialogs;
        FileDialog openDialog{FileDialog::Kind::Open, dialogs, nullptr, QStringLiteral("Open")};
        FileDialog saveDialog{FileDialog::Kind::Save, dialogs, nullptr, QStringLiteral("Save")};
        FakeForm form{dialogs};
        FileCommands commands{form, openDialog, saveDialog};
    };
    std::unique_ptr<WorkingFolder> work_;
    std::unique_ptr<Commands> c_;

    QString path(const QString& name) const { return work_->file(name); }
    // The initialisation step, as the window runs it once its controls stand.
    void start() { c_->commands.initialise(); }
    FakeDialogs& dialogs() { return c_->dialogs; }
    FakeForm& form() { return c_->form; }
    QString caption() { return form().caption(); }
    QString saveTarget() { return c_->saveDialog.fileName(); }

private Q_SLOTS:
    void init() {
        work_ = std::make_unique<WorkingFolder>();
        QVERIFY(work_->isValid());
        c_ = std::make_unique<Commands>();
    }
    void cleanup() {
        c_.reset();
        work_.reset();
    }

    void defaultFileFolderDoesNotCount();
    void saveAsName_data();
    void saveAsName();
    void saveWithoutFileNameAsksForOne_data();
    void saveWithoutFileNameAsksForOne();
};

void FileCommandsTest::defaultFileFolderDoesNotCount() {
    QVERIFY(QDir(work_->path()).mkdir(QStringLiteral("Vanter.in3")));
    start();
    QCOMPARE(caption(), kCaptionPrefix + QStringLiteral("Untitled.in3"));
    QCOMPARE(form().configuration(), vanter::Configuration::defaults());
    QVERIFY(saveTarget().isEmpty());
    QVERIFY(dialogs().calls.empty());
}

void FileCommandsTest::saveAsName_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("existing");
    QTest::newRow("no extension added") << "board" << QByteArray();
    QTest::newRow("existing file replaced without a question")
        << "old.in3" << QByteArray("old bytes");
    QTest::newRow("the default file's own name") << "Vanter.in3" << kDefaultFile;
}

void FileCommandsTest::saveAsName() {
    QFETCH(QString, name);
    QFETCH(QByteArray, existing);
    start();
    if (!existing.isNull()) {
        QVERIFY(writeFile(name, existing));
    }
    dialogs().confirmFile(path(name));
    QCOMPARE(c_->commands.saveAs(), SaveOutcome::Saved);
    QCOMPARE(readFile(name), kDefaultsSaved);
    QCOMPARE(QDir(work_->path()).entryList(QDir::Files), QStringList{name});
    QCOMPARE(caption(), kCaptionPrefix + QDir::toNativeSeparators(path(name)));
    QCOMPARE(form().currentFileName(), path(name));
    QCOMPARE(dialogs().calls.size(), std::size_t{1});
}

void FileCommandsTest::saveWithoutFileNameAsksForOne_data() {
    QTest::addColumn<QString>("situation");
    QTest::addColumn<SaveOutcome>("outcome");
    QTest::newRow("name confirmed") << "confirmed" << SaveOutcome::Saved;
    QTest::newRow("dialog cancelled") << "cancelled" << SaveOutcome::NotSaved;
    QTest::newRow("no unit enabled: refused before any dialog")
        << "no unit" << SaveOutcome::Refused;
}

void FileCommandsTest::saveWithoutFileNameAsksForOne() {
    QFETCH(QString, situation);
    QFETCH(SaveOutcome, outcome);
    start();
    QVERIFY(saveTarget().isEmpty());
    if (situation == QLatin1String("no unit")) {
        form().shown.slots[0].enabled = false; // the user unchecked slot #0
    } else if (situation == QLatin1String("confirmed")) {
        dialogs().confirmFile(path(QStringLiteral("named.in3")));
    }
    QCOMPARE(c_->commands.save(), outcome);

    if (situation == QLatin1String("no unit")) {
        QCOMPARE(dialogs().calls.size(), std::size_t{1});
        QCOMPARE(dialogs().calls.front().text, QStringLiteral("No Vanter is selected: Abort!!"));
    } else {
        QCOMPARE(dialogs().calls.size(), std::size_t{1});
        QCOMPARE(dialogs().calls.front().kind, Kind::SaveFile);
        QCOMPARE(dialogs().calls.front().text, QStringLiteral("Save As"));
    }
    if (situation == QLatin1String("confirmed")) {
        QCOMPARE(readFile(QStringLiteral("named.in3")), kDefaultsSaved);
        QCOMPARE(caption(),
                 kCaptionPrefix + QDir::toNativeSeparators(path(QStringLiteral("named.in3"))));
        QCOMPARE(form().currentFileName(), path(QStringLiteral("named.in3")));
        // The file is named now: the next Save writes without a question.
        form().shown.slots[0].offset = "fff0";
        QCOMPARE(c_->commands.save(), SaveOutcome::Saved);
        QCOMPARE(dialogs().calls.size(), std::size_t{1});
        QCOMPARE(readFile(QStringLiteral("named.in3")),
                 QByteArray("1\r\n0\r\n0\r\n5\r\n1\r\nfff0\r\n\r\nN"));
    } else {
        QVERIFY(QDir(work_->path()).entryList(QDir::Files).isEmpty());
        QCOMPARE(caption(), kCaptionPrefix + QStringLiteral("Untitled.in3"));
        QVERIFY(saveTarget().isEmpty());
    }
}

QTEST_MAIN(FileCommandsTest)
#include "tst_file_commands.moc"
