#include "unit_loader.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace vanter::standin {

Verdict loadUnit(const UnitRecord& unit) {
    const std::string where =
        "unit #" + std::to_string(unit.slot) + ": image file '" + unit.fileName + "'";
    if (unit.fileName.empty())
        return {kImageUnreadable, "unit #" + std::to_string(unit.slot) + ": no image file named"};
    std::error_code error;
    const auto status = std::filesystem::status(unit.fileName, error);
    if (error || !std::filesystem::exists(status))
        return {kImageUnreadable, where + " does not exist"};
    if (std::filesystem::is_directory(status))
        return {kImageUnreadable, where + " is a folder"};
    std::ifstream image(unit.fileName, std::ios::binary);
    if (!image)
        return {kImageUnreadable, where + " can't be opened"};
    return {};
}

} // namespace vanter::standin
