#include "dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

#include <memory>

namespace vanter::app {

QMessageBox* makeMessageBox(QWidget* parent, const QString& text, const QString& caption,
                            int flags) {
    auto* box = new QMessageBox(parent);
    box->setWindowModality(Qt::ApplicationModal);
    box->setIcon(QMessageBox::NoIcon);
    box->setWindowTitle(caption);
    box->setText(text);
    box->setTextFormat(Qt::PlainText);
    if (flags == kMbYesNoCancel) {
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box->setDefaultButton(QMessageBox::Yes);
        // Escape and the title bar's close button both answer Cancel.
        box->setEscapeButton(QMessageBox::Cancel);
    } else {
        box->setStandardButtons(QMessageBox::Ok);
        box->setDefaultButton(QMessageBox::Ok);
        box->setEscapeButton(QMessageBox::Ok);
    }
    return box;
}

QMessageBox* makeErrorBox(QWidget* parent, const QString& text, const QString& caption) {
    auto* box = new QMessageBox(parent);
    box->setWindowModality(Qt::ApplicationModal);
    box->setIcon(QMessageBox::Critical);
    box->setWindowTitle(caption);
    box->setText(text);
    box->setTextFormat(Qt::PlainText);
    box->setStandardButtons(QMessageBox::Ok);
    box->setEscapeButton(QMessageBox::Ok);
    return box;
}

int messageAnswer(const QMessageBox& box) {
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Yes:
        return kIdYes;
    case QMessageBox::No:
        return kIdNo;
    case QMessageBox::Ok:
        return 1;
    default:
        return kIdCancel;
    }
}

QString errorBoxText(const QString& what) {
    if (!what.isEmpty() && what.back() > QChar(u'.')) {
        return what + u'.';
    }
    return what;
}

int QtDialogs::message(QWidget* parent, const QString& text, const QString& caption, int flags) {
    std::unique_ptr<QMessageBox> box(makeMessageBox(parent, text, caption, flags));
    box->exec();
    return messageAnswer(*box);
}

void QtDialogs::error(QWidget* parent, const QString& text, const QString& caption) {
    std::unique_ptr<QMessageBox> box(makeErrorBox(parent, text, caption));
    box->exec();
}

namespace {

std::optional<QString> runFileDialog(QFileDialog& dialog, const QString& fileName) {
    // The user may name a file that does not exist yet, in a folder that does not exist.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setWindowModality(Qt::ApplicationModal);
    if (!fileName.isEmpty()) {
        dialog.selectFile(fileName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

} // namespace

std::optional<QString> QtDialogs::openFileName(QWidget* parent, const QString& fileName) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    return runFileDialog(dialog, fileName);
}

std::optional<QString> QtDialogs::saveFileName(QWidget* parent, const QString& title,
                                               const QString& fileName) {
    QFileDialog dialog(parent, title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // An existing file is replaced without a question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    return runFileDialog(dialog, fileName);
}

} // namespace vanter::app

namespace vanter::app {

FileDialog::FileDialog(Kind kind, Dialogs& dialogs, QWidget* owner, const QString& name)
    : QObject(owner), kind_(kind), dialogs_(dialogs), owner_(owner) {
    setObjectName(name);
}

bool FileDialog::execute() {
    const std::optional<QString> chosen = kind_ == Kind::Open
                                              ? dialogs_.openFileName(owner_, fileName_)
                                              : dialogs_.saveFileName(owner_, title_, fileName_);
    if (!chosen) {
        return false;
    }
    fileName_ = *chosen;
    return true;
}

} // namespace vanter::app
