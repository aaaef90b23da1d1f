// The simulated machine's folder: the one given, or a fresh temporary one that is
// removed again at exit.
#pragma once

#include <string>

namespace cli {

class MachineFolder {
public:
    // Throws std::runtime_error when the folder cannot be made.
    explicit MachineFolder(const std::string& given);
    ~MachineFolder();
    MachineFolder(const MachineFolder&) = delete;
    MachineFolder& operator=(const MachineFolder&) = delete;

    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
    bool m_temporary = false;
};

}  // namespace cli
