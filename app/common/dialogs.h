#pragma once

// Every modal dialog of the program goes through this interface: the program shows the real
// boxes, tests queue answers and record what was asked.

#include <QString>

#include <optional>

class QMessageBox;
class QWidget;

namespace vanter::app {

// Message box flags and answers, with the values that the program's messages use.
inline constexpr int kMbOk = 0;
inline constexpr int kMbYesNoCancel = 3;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

// The application title; also the caption of the error box.
inline constexpr const char* kApplicationTitle = "VANTER III";

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Application-modal message box. flags kMbOk: OK only; kMbYesNoCancel: Yes, No, Cancel.
    // Returns kIdYes, kIdNo or kIdCancel (Escape and the close button answer kIdCancel);
    // an OK box returns 1.
    virtual int message(QWidget* parent, const QString& text, const QString& caption,
                        int flags) = 0;

    // The error box: text as given, a stop icon and OK.
    virtual void error(QWidget* parent, const QString& text, const QString& caption) = 0;

    // The system's file-open dialog with `fileName` in its name box; nothing on cancel.
    virtual std::optional<QString> openFileName(QWidget* parent, const QString& fileName) = 0;

    // The system's file-save dialog with `title` (empty: the system's own) and `fileName`.
    virtual std::optional<QString> saveFileName(QWidget* parent, const QString& title,
                                                const QString& fileName) = 0;
};

// The real dialogs.
class QtDialogs final : public Dialogs {
public:
    int message(QWidget* parent, const QString& text, const QString& caption, int flags) override;
    void error(QWidget* parent, const QString& text, const QString& caption) override;
    std::optional<QString> openFileName(QWidget* parent, const QString& fileName) override;
    std::optional<QString> saveFileName(QWidget* parent, const QString& title,
                                        const QString& fileName) override;
};

// The boxes QtDialogs shows, built but not shown, so that their make-up can be tested.
QMessageBox* makeMessageBox(QWidget* parent, const QString& text, const QString& caption,
                            int flags);
QMessageBox* makeErrorBox(QWidget* parent, const QString& text, const QString& caption);
// The answer code of a closed message box.
int messageAnswer(const QMessageBox& box);

// The error box text: a full stop is added when the last character sorts after it.
QString errorBoxText(const QString& what);

} // namespace vanter::app

#include <QObject>

namespace vanter::app {

// A file dialog object of the window: it keeps its file name between showings (the save
// dialog's name is the file that Save writes to) and shows through the Dialogs interface.
class FileDialog : public QObject {
public:
    enum class Kind { Open, Save };

    FileDialog(Kind kind, Dialogs& dialogs, QWidget* owner, const QString& name);

    const QString& fileName() const noexcept { return fileName_; }
    void setFileName(const QString& fileName) { fileName_ = fileName; }
    const QString& title() const noexcept { return title_; }
    void setTitle(const QString& title) { title_ = title; }

    // Shows the dialog modally; true and the chosen name in fileName() when confirmed.
    bool execute();

private:
    Kind kind_;
    Dialogs& dialogs_;
    QWidget* owner_;
    QString fileName_;
    QString title_;
};

} // namespace vanter::app
