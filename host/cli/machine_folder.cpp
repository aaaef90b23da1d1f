#include "machine_folder.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace cli {

MachineFolder::MachineFolder(const std::string& given) {
    if (!given.empty()) {
        std::error_code error;
        std::filesystem::create_directories(given, error);
        if (error || !std::filesystem::is_directory(given))
            throw std::runtime_error("cannot use " + given + " as the machine folder");
        m_path = std::filesystem::absolute(given).string();
        return;
    }
    std::string pattern =
        (std::filesystem::temp_directory_path() / "lumaro-machine-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot make a temporary machine folder");
    m_path = pattern;
    m_temporary = true;
}

MachineFolder::~MachineFolder() {
    if (!m_temporary) return;
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

}  // namespace cli
