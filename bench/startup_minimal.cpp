// The reference: a minimal Qt 6 main window of the same size showing one line of text, with
// the first-paint probe. With the argument "bare" it shows no text at all, so that the font
// machinery is never started.

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

#include <cstring>

#include "first_paint_probe.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    vanter::bench::FirstPaintProbe probe;
    application.installEventFilter(&probe);
    QMainWindow window;
    if (argc < 2 || std::strcmp(argv[1], "bare") != 0) {
        window.setCentralWidget(new QLabel(QStringLiteral("hello")));
    }
    window.resize(553, 517);
    window.show();
    QApplication::exec();
    return 0;
}
