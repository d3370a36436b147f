#include "busy_cursor_driver.h"

#include <QCursor>
#include <QGuiApplication>

namespace vanter::app {

namespace {

// The wait cursor over every window of the program while it lives.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

std::int32_t BusyCursorDriver::sayHello() {
    const WaitCursor busy;
    return driver_->sayHello();
}

std::int32_t BusyCursorDriver::checkVT(std::int32_t port, std::int32_t reset,
                                       std::int32_t memoryType, std::int32_t slot) {
    const WaitCursor busy;
    return driver_->checkVT(port, reset, memoryType, slot);
}

} // namespace vanter::app
