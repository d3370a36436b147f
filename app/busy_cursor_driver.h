#pragma once

#include <cstdint>

#include "emulator/driver.h"

namespace vanter::app {

// The driver as the window calls it: the wait cursor shows for exactly the duration of each
// call, which blocks the window (on real units, for seconds), and goes on every way out of it.
class BusyCursorDriver final : public vanter::Driver {
public:
    explicit BusyCursorDriver(vanter::Driver& driver) noexcept : driver_(&driver) {}

    void wrap(vanter::Driver& driver) noexcept { driver_ = &driver; }

    std::int32_t sayHello() override;
    std::int32_t checkVT(std::int32_t port, std::int32_t reset, std::int32_t memoryType,
                         std::int32_t slot) override;

private:
    vanter::Driver* driver_;
};

} // namespace vanter::app
