#pragma once

// Dialogs that answer from a queue and record every call, for the window's tests.

#include <QString>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "app/common/dialogs.h"

namespace vanter::testing {

struct DialogCall {
    enum class Kind { Message, Error, OpenFile, SaveFile };
    Kind kind;
    QString text;     // message and error: the text; file dialogs: the title
    QString caption;  // message and error
    int flags = 0;    // message
    QString fileName; // file dialogs: the name in the name box when shown
};

class FakeDialogs final : public vanter::app::Dialogs {
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
            return flags == vanter::app::kMbYesNoCancel ? vanter::app::kIdCancel : 1;
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

} // namespace vanter::testing
