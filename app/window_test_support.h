#pragma once

// Test doubles for the window's Qt Test programs: dialogs that answer from a queue and record
// every call, and a scripted driver. Also a window set up as the program shows it.

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "app/common/dialogs.h"
#include "emulator/driver.h"
#include "main_window.h"

namespace vanter::app::testing {

struct DialogCall {
    enum class Kind { Message, Error, OpenFile, SaveFile };
    Kind kind;
    QString text;     // message and error: the text; file dialogs: the title
    QString caption;  // message and error
    int flags = 0;    // message
    QString fileName; // file dialogs: the name in the name box when shown
};

class FakeDialogs final : public Dialogs {
public:
    std::deque<int> answers; // message answers; default OK/Cancel
    // File dialog answers, in order; with none queued a dialog is cancelled.
    void confirmFile(const QString& name) { fileAnswers_.push_back({true, name}); }
    void cancelFile() { fileAnswers_.push_back({false, QString()}); }
    std::vector<DialogCall> calls;
    std::function<void(const DialogCall&)> whileShown; // runs while a dialog is "up"

    int message(QWidget*, const QString& text, const QString& caption, int flags) override {
        record({DialogCall::Kind::Message, text, caption, flags, {}});
        if (answers.empty()) {
            return flags == kMbYesNoCancel ? kIdCancel : 1;
        }
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void error(QWidget*, const QString& text, const QString& caption) override {
        record({DialogCall::Kind::Error, text, caption, 0, {}});
    }
    std::optional<QString> openFileName(QWidget*, const QString& fileName) override {
        record({DialogCall::Kind::OpenFile, {}, {}, 0, fileName});
        return nextFile();
    }
    std::optional<QString> saveFileName(QWidget*, const QString& title,
                                        const QString& fileName) override {
        record({DialogCall::Kind::SaveFile, title, {}, 0, fileName});
        return nextFile();
    }

    std::vector<DialogCall> ofKind(DialogCall::Kind kind) const {
        std::vector<DialogCall> found;
        for (const DialogCall& call : calls) {
            if (call.kind == kind) {
                found.push_back(call);
            }
        }
        return found;
    }
    std::vector<DialogCall> messages() const { return ofKind(DialogCall::Kind::Message); }
    std::vector<DialogCall> errors() const { return ofKind(DialogCall::Kind::Error); }

private:
    void record(const DialogCall& call) {
        calls.push_back(call);
        if (whileShown) {
            whileShown(call);
        }
    }
    struct FileAnswer {
        bool confirmed;
        QString name;
    };
    std::optional<QString> nextFile() {
        if (fileAnswers_.empty()) {
            return std::nullopt;
        }
        const FileAnswer answer = fileAnswers_.front();
        fileAnswers_.pop_front();
        if (!answer.confirmed) {
            return std::nullopt;
        }
        return answer.name;
    }
    std::deque<FileAnswer> fileAnswers_;
};

class FakeDriver final : public vanter::Driver {
public:
    struct CheckCall {
        std::int32_t port, reset, memoryType, slot;
    };
    std::int32_t helloResult = 0;
    std::int32_t checkResult = 0;
    int helloCalls = 0;
    std::vector<CheckCall> checkCalls;

    std::int32_t sayHello() override {
        ++helloCalls;
        return helloResult;
    }
    std::int32_t checkVT(std::int32_t port, std::int32_t reset, std::int32_t memoryType,
                         std::int32_t slot) override {
        checkCalls.push_back({port, reset, memoryType, slot});
        return checkResult;
    }
};

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

} // namespace vanter::app::testing
