#pragma once

// The application object and the start-up sequence of the program.

#include <QApplication>

#include "main_window.h"

namespace vanter::app {

class Dialogs;

// The last-resort error net: an error that escaped every handler's own net is shown in the
// error box here. The handlers' nets make this path exceptional.
class VanterApplication final : public QApplication {
public:
    VanterApplication(int& argc, char** argv, Dialogs& dialogs);
    bool notify(QObject* receiver, QEvent* event) override;

private:
    Dialogs& dialogs_;
};

// Builds the main window, shows it and runs the message loop until it closes. An error while
// the window is built is shown in the error box and the window is never shown. Returns 0.
int runMainWindow(Dialogs& dialogs, vanter::Driver& driver,
                  const TVante3_0::Initialisation& initialisation = {});

// The whole program; a QApplication (or VanterApplication) must exist.
int runProgram(Dialogs& dialogs, vanter::Driver& driver);

} // namespace vanter::app
