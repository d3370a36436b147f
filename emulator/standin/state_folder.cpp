#include "state_folder.h"

#include <cstdlib>
#include <string>

#include "fs/native_name.h"

namespace vanter::standin {

namespace fs = std::filesystem;

fs::path stateFolder() {
    if (const char* folder = std::getenv("VANTER_SIM_STATE_DIR"); folder && *folder) {
        return pathFromNativeName(folder);
    }
#ifdef _WIN32
    if (const char* local = std::getenv("LOCALAPPDATA"); local && *local) {
        return pathFromNativeName(local) / "vanter3-sim";
    }
    return fs::temp_directory_path() / "vanter3-sim";
#else
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && *cache == '/') {
        return fs::path(cache) / "vanter3-sim";
    }
    if (const char* home = std::getenv("HOME"); home && *home) {
        return fs::path(home) / ".cache" / "vanter3-sim";
    }
    return fs::temp_directory_path() / "vanter3-sim";
#endif
}

fs::path unitMemoryPath(const fs::path& folder, int slot) {
    return folder / ("unit" + std::to_string(slot) + ".bin");
}

fs::path unitManifestPath(const fs::path& folder, int slot) {
    return folder / ("unit" + std::to_string(slot) + ".manifest");
}

} // namespace vanter::standin
