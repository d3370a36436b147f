#include "application.h"

#include <QIcon>
#include <QPixmap>

#include <exception>
#include <memory>

#include "app/common/dialogs.h"
#include "app/common/qt_compat.h"

namespace vanter::app {

namespace {

void showError(Dialogs& dialogs, const QString& what) {
    dialogs.error(nullptr, errorBoxText(what), QString::fromLatin1(kApplicationTitle));
}

// Passes argc through, having set what must be set before QApplication is built.
int& beforeApplication(int& argc) {
    useQt6Defaults();
    return argc;
}

} // namespace

VanterApplication::VanterApplication(int& argc, char** argv, Dialogs& dialogs)
    : QApplication(beforeApplication(argc), argv), dialogs_(dialogs) {}

bool VanterApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        showError(dialogs_, QString::fromLocal8Bit(error.what()));
    } catch (...) {
        showError(dialogs_, QStringLiteral("Unknown error"));
    }
    return false;
}

int runMainWindow(Dialogs& dialogs, vanter::Driver& driver,
                  const TVante3_0::Initialisation& initialisation) {
    std::unique_ptr<TVante3_0> window;
    try {
        window = std::make_unique<TVante3_0>(dialogs, driver, initialisation);
    } catch (const std::exception& error) {
        showError(dialogs, QString::fromLocal8Bit(error.what()));
        return 0;
    } catch (...) {
        showError(dialogs, QStringLiteral("Unknown error"));
        return 0;
    }
    window->show();
    QApplication::exec();
    return 0;
}

int runProgram(Dialogs& dialogs, vanter::Driver& driver) {
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    return runMainWindow(dialogs, driver);
}

} // namespace vanter::app
