// The program as main() builds it, with the first-paint probe.

#include "app/application.h"
#include "app/common/dialogs.h"
#include "emulator/driver.h"
#include "first_paint_probe.h"

int main(int argc, char** argv) {
    vanter::app::QtDialogs dialogs;
    vanter::app::VanterApplication application(argc, argv, dialogs);
    vanter::bench::FirstPaintProbe probe;
    application.installEventFilter(&probe);
    return vanter::app::runProgram(dialogs, vanter::linkedDriver());
}
