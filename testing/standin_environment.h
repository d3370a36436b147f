#pragma once

// The stand-in driver library's environment for one test: a private runtime folder with the
// unit memories in it, and none of the simulation settings of whoever runs the tests.

#include <optional>

#include "environment.h"
#include "test_folder.h"

namespace vanter::testing {

struct StandinEnvironment {
    TestFolder runtime;
    ScopedEnv xdg{"XDG_RUNTIME_DIR", runtime.path().string()};
    ScopedEnv units{"VANTER_SIM_UNITS", std::nullopt};
    ScopedEnv noLpt{"VANTER_SIM_NO_LPT", std::nullopt};
    ScopedEnv usbFail{"VANTER_SIM_USB_FAIL", std::nullopt};
    ScopedEnv fault{"VANTER_SIM_FAULT", std::nullopt};
    ScopedEnv transcript{"VANTER_SIM_TRANSCRIPT", std::nullopt};
    ScopedEnv state{"VANTER_SIM_STATE_DIR", (runtime / "state").string()};
};

} // namespace vanter::testing
