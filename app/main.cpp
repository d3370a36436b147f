// VANTER III: the control program for a chain of EPROM/SRAM emulator units.
// There are no command-line options; the result is 0 in every case.

#include "app/common/dialogs.h"
#include "application.h"
#include "emulator/driver.h"

int main(int argc, char** argv) {
    vanter::app::QtDialogs dialogs;
    vanter::app::VanterApplication application(argc, argv, dialogs);
    return vanter::app::runProgram(dialogs, vanter::linkedDriver());
}
