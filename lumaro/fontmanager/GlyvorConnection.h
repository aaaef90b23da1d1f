// The plug-in's client of the font manager: finds a running Glyvor or starts one,
// holds the one IGlyvor reference, and matches, activates and installs fonts. A panel
// command connects at its start and releases when done; COM errors of a call
// (_com_error) pass through to the command.
#pragma once

#include <string>
#include <string_view>

#include "fontmanager/ComPtr.h"
#include "fontmanager/GlyvorAutomation.h"

class GlyvorConnection {
public:
    GlyvorConnection() noexcept = default;

    GlyvorConnection(const GlyvorConnection&) = delete;
    GlyvorConnection& operator=(const GlyvorConnection&) = delete;

    bool IsConnected() const noexcept { return static_cast<bool>(m_pGlyvor); }

    // This connection when held or when Connect succeeds, else null (error set).
    GlyvorConnection* GetGlyvorConnection(std::wstring& error);

    // Attaches to a running instance, else creates and runs one. On failure the
    // connection is null and `error` says why, except when the new object would not
    // run, which leaves `error` as it was.
    bool Connect(std::wstring& error);

    void ReleaseGlyvorConnection() noexcept;

    // True on a match with an identifier; fontId and detail are set only then. An empty
    // name, or no connection, makes no call.
    bool FindMatchingFont(const std::wstring& name, std::wstring& fontId, std::wstring& detail);

    // True when the font is active or installed afterwards; on the server's refusal
    // `error` gets its reason.
    bool ActivateOrInstall(std::wstring_view fontId, bool activate, std::wstring& error);

private:
    ComPtr<IGlyvor> m_pGlyvor;
};

// The one connection; null until a command connects.
extern GlyvorConnection g_glyvorConnection;
