#include "transcript.h"

#include <cstdlib>
#include <fstream>
#include <string>

namespace vanter::standin {

void record(std::string_view call, std::int32_t result, std::string_view reason,
            const std::vector<std::string>& notes) noexcept {
    try {
        const char* path = std::getenv("VANTER_SIM_TRANSCRIPT");
        if (path == nullptr || path[0] == '\0') {
            return;
        }
        std::string text = std::string(call) + " -> " + std::to_string(result) + "\n";
        if (result != 0 && !reason.empty()) {
            text += "  reason: " + std::string(reason) + "\n";
        }
        for (const std::string& note : notes) {
            text += "  note: " + note + "\n";
        }
        std::ofstream out(path, std::ios::binary | std::ios::app);
        out << text;
    } catch (...) {
        // The transcript is a courtesy; the call's result stands.
    }
}

} // namespace vanter::standin
