#pragma once

#include <cstdint>

namespace vanter {

// What the Download and Check commands ask of the driver library. The program uses the
// linked library; tests use a scripted fake.
class Driver {
public:
    virtual ~Driver() = default;
    virtual std::int32_t sayHello() = 0;
    virtual std::int32_t checkVT(std::int32_t port, std::int32_t reset, std::int32_t memoryType,
                                 std::int32_t slot) = 0;
};

// The driver library linked into the program.
Driver& linkedDriver();

} // namespace vanter
