#include <algorithm>
#include <cstring>

#include "host/host.h"
#include "host/text_encoding.h"
#include "suite_tables.h"

namespace host::detail {

namespace {

void Alert(const char* subject, std::string text) {
    if (Host* host = Host::Current())
        host->Events().Add(EventKind::Alert, host->CurrentName(), subject, std::move(text));
}

std::string Narrow(const char* text) { return text != nullptr ? text : ""; }

std::string Wide(const ASUnicode* text) {
    std::u16string units;
    if (text != nullptr)
        for (const ASUnicode* p = text; *p != 0; ++p) units.push_back(static_cast<char16_t>(*p));
    return EncodeUtf8(units);
}

ASErr HOSTAPI GetIndexString(SPPluginRef plugin, ASInt32 listID, ASInt32 index, char* buffer,
                             ASInt32 bufferLength) {
    Host* host = Host::Current();
    if (buffer == nullptr || bufferLength <= 0) return kBadParameterErr;
    buffer[0] = '\0';
    if (host == nullptr) return kBadParameterErr;
    LoadedPlugin* p = host->FromRef(plugin);
    if (p == nullptr) return kBadParameterErr;
    const auto list = p->StringLists().find(listID);
    if (list == p->StringLists().end() || index < 1 ||
        static_cast<std::size_t>(index) > list->second.size())
        return kNotFoundErr;
    const std::string& text = list->second[static_cast<std::size_t>(index) - 1];
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(bufferLength) - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return kNoErr;
}

void HOSTAPI Beep() { Alert("beep", {}); }
void HOSTAPI ErrorAlert(const char* text) { Alert("error alert", Narrow(text)); }
void HOSTAPI MessageAlert(const char* text) { Alert("message alert", Narrow(text)); }

void HOSTAPI AboutBox(SPPluginRef, const char* text1, const char* text2) {
    Alert("about box", Narrow(text1) + " | " + Narrow(text2));
}

void HOSTAPI TitledAlert(const char* title, const char* text) {
    Alert("titled alert", Narrow(title) + " | " + Narrow(text));
}

void HOSTAPI ErrorAlertW(const ASUnicode* text) { Alert("error alert", Wide(text)); }
void HOSTAPI MessageAlertW(const ASUnicode* text) { Alert("message alert", Wide(text)); }

const ADMBasicSuite10 g_basic10 = {GetIndexString, Beep,        ErrorAlert, MessageAlert,
                                   AboutBox,       TitledAlert, ErrorAlertW};
const ADMBasicSuite11 g_basic11 = {GetIndexString, Beep,        ErrorAlert,  MessageAlert,
                                   AboutBox,       TitledAlert, ErrorAlertW, MessageAlertW};

}  // namespace

void RegisterADMBasicSuites(SuiteRegistry& registry) {
    registry.Register(kADMBasicSuite, kADMBasicSuiteVersion10, &g_basic10);
    registry.Register(kADMBasicSuite, kADMBasicSuiteVersion11, &g_basic11);
}

}  // namespace host::detail
