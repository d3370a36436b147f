#include "driver.h"

#include "portgate.h"

namespace vanter {

namespace {

// Calls straight into the library the program was linked against.
class LinkedDriver final : public Driver {
public:
    std::int32_t sayHello() override { return SayHello(); }
    std::int32_t checkVT(std::int32_t port, std::int32_t reset, std::int32_t memoryType,
                         std::int32_t slot) override {
        return CheckVT(port, reset, memoryType, slot);
    }
};

} // namespace

Driver& linkedDriver() {
    static LinkedDriver driver;
    return driver;
}

} // namespace vanter
