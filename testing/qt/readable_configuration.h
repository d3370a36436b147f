#pragma once

// Readable failures of QCOMPARE on configurations.

#include <QtGlobal>

#include "config/configuration.h"
#include "testing/configuration_text.h"

namespace vanter {

inline char* toString(const Configuration& config) {
    return qstrdup(testing::describe(config).c_str());
}

} // namespace vanter
