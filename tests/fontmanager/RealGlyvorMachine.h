// The stand-in font manager on a temporary machine: a few of the system's real fonts
// indexed into its catalogue (group "Lib"), the server registered under
// "Glyvor.Document", optionally running. Kept apart from the plug-in's headers, which
// declare the automation contract on their own.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/win32.h"

class RealGlyvorMachine {
public:
    // Copies the given files of /usr/share/fonts into the catalogue's folder.
    explicit RealGlyvorMachine(const std::vector<std::string>& systemFonts);
    ~RealGlyvorMachine();

    // Empty when everything is in place, else what went wrong.
    const std::string& failure() const { return m_failure; }
    const std::string& machine() const { return m_machine; }

    bool StartRunning();
    void StopRunning();
    ULONG InvokeCount(DISPID member) const;

    std::vector<std::string> ActiveFonts() const;
    bool IsInstalled(const std::string& fileName) const;

private:
    struct Running;
    std::string m_root, m_machine, m_failure;
    std::unique_ptr<Running> m_running;
};
