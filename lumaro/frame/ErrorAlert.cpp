// What a failed message shows the user, and which failures never are shown.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "frame/Plugin.h"
#include "frame/Suites.h"

namespace {

// Zero-terminated, in the host's order.
const ASErr kIgnoredErrors[] = {
    HostFourCC('F', 'M', 'T', '?'),
    HostFourCC('R', 'F', 'S', 'E'),
    HostFourCC('A', 'F', 'T', 'R'),
    HostFourCC('V', 'A', 'L', 'D'),
    HostFourCC('M', 'O', 'O', 'T'),
    HostFourCC('T', 'R', 'S', 'H'),
    HostFourCC('C', 'H', 'E', 'K'),
    HostFourCC('C', 'H', 'I', 'T'),
    HostFourCC('T', 'L', 'T', 'K'),
    HostFourCC('p', 'F', 'l', 's'),
    HostFourCC('S', '!', 'F', 'd'),
    HostFourCC('!', 'A', 'c', 'q'),
    HostFourCC('d', 's', 'R', 'P'),
    HostFourCC('s', 'k', 'p', 'E'),
    HostFourCC('D', 'O', 'N', 'E'),
    HostFourCC('S', 'T', 'O', 'P'),
    361,
    0,
};

constexpr std::size_t kAlertBufferSize = 128;
constexpr std::size_t kUnformattedLength = 120;

// Four characters for codes that spell them, the number otherwise.
void FormatErrorCode(ASErr error, char (&text)[16]) {
    if (error >= 0x4001) {
        const auto code = static_cast<std::uint32_t>(error);
        text[0] = static_cast<char>(code >> 24);
        text[1] = static_cast<char>(code >> 16);
        text[2] = static_cast<char>(code >> 8);
        text[3] = static_cast<char>(code);
        text[4] = '\0';
    } else {
        std::snprintf(text, sizeof text, "%d", error);
    }
}

// The text from the string list is data, not a format: only "%s" stands for
// the code, every other '%' is shown as it is.
void ExpandTemplate(const char* pattern, const char* code, char* out, std::size_t size) {
    std::size_t used = 0;
    auto append = [&](char c) {
        if (used + 1 < size) out[used++] = c;
    };
    for (const char* p = pattern; *p != '\0'; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            for (const char* c = code; *c != '\0'; ++c) append(*c);
            ++p;
        } else {
            append(*p);
        }
    }
    out[used] = '\0';
}

ASBoolean ReadString(const ADMBasicSuite10* basic, SPPluginRef pluginRef, ASInt32 index,
                     char* buffer, ASInt32 length) {
    buffer[0] = '\0';
    return basic->GetIndexString(pluginRef, kErrorStringListID, index, buffer, length) == kNoErr;
}

ASErr KeyValue(const char* key) {
    if (key[0] == '-' || (key[0] >= '0' && key[0] <= '9')) {
        return static_cast<ASErr>(std::strtol(key, nullptr, 10));
    }
    char four[4] = {};
    for (int i = 0; i < 4 && key[i] != '\0'; ++i) four[i] = key[i];
    return HostFourCC(four[0], four[1], four[2], four[3]);
}

}  // namespace

bool IsIgnoredError(ASErr error) {
    for (const ASErr* code = kIgnoredErrors; *code != 0; ++code) {
        if (*code == error) return true;
    }
    return false;
}

char* FindErrorText(SPPluginRef pluginRef, ASErr error, char* buffer, ASInt32 length) {
    if (g_admBasic == nullptr || buffer == nullptr || length <= 0) return nullptr;
    char key[10];
    ASInt32 index = 1;
    if (!ReadString(g_admBasic, pluginRef, index, key, sizeof key)) return nullptr;

    bool read = false;
    for (;;) {
        if (key[0] == '\0') break;
        if (KeyValue(key) == error) {
            read = ReadString(g_admBasic, pluginRef, index + 1, buffer, length);
            return read && buffer[0] != '\0' ? buffer : nullptr;
        }
        index += 2;
        if (!ReadString(g_admBasic, pluginRef, index, key, sizeof key)) break;
    }
    // No key matched: the list's last message is the catch-all text.
    if (index == 1) return nullptr;
    read = ReadString(g_admBasic, pluginRef, index - 1, buffer, length);
    return read && buffer[0] != '\0' ? buffer : nullptr;
}

void ShowErrorAlert(SPPluginRef pluginRef, ASErr error) {
    if (IsIgnoredError(error)) return;

    bool acquired = false;
    if (g_admBasic == nullptr) {
        if (g_spBasic == nullptr) return;
        const void* suite = nullptr;
        if (g_spBasic->AcquireSuite(kADMBasicSuite, kADMBasicSuiteVersion11, &suite) != kNoErr ||
            suite == nullptr) {
            return;
        }
        // Version 11 begins with the members of version 10.
        g_admBasic = static_cast<const ADMBasicSuite10*>(suite);
        acquired = true;
    }

    char found[kAlertBufferSize];
    if (FindErrorText(pluginRef, error, found, sizeof found) != nullptr) {
        char message[kAlertBufferSize];
        if (std::strlen(found) < kUnformattedLength) {
            char code[16];
            FormatErrorCode(error, code);
            ExpandTemplate(found, code, message, sizeof message);
        } else {
            std::snprintf(message, sizeof message, "%s", found);
        }
        g_admBasic->ErrorAlert(message);
    }

    if (acquired) {
        g_spBasic->ReleaseSuite(kADMBasicSuite, kADMBasicSuiteVersion11);
        g_admBasic = nullptr;
    }
}
