#include "host/current_plugin.h"
#include "host/host.h"
#include "host/text_encoding.h"
#include "suite_tables.h"

namespace host::detail {

namespace {

const char16_t kEmpty[1] = {0};

// A string argument the host can read: null (empty) or one of its own.
bool Readable(Host& host, const AIUnicodeString* s) {
    return s != nullptr && (s->impl == nullptr || host.Strings().Contains(s->impl));
}

std::u16string Text(const AIUnicodeString* s) {
    return s->impl != nullptr ? s->impl->text : std::u16string();
}

// Gives `self` the text, reusing its host string when it has one.
ASErr Store(Host& host, AIUnicodeString* self, std::u16string text) {
    if (host.Strings().Contains(self->impl)) {
        self->impl->text = std::move(text);
    } else {
        self->impl = host.Strings().Create(CurrentPluginScope::Current(), std::move(text));
    }
    return kNoErr;
}

// The live host and no injected failure of this call.
Host* Enter(StringFunction function, ASErr* error) {
    Host* host = Host::Current();
    *error = host == nullptr ? kBadParameterErr : host->Strings().TakeFault(function);
    return *error == kNoErr ? host : nullptr;
}

ASErr HOSTAPI Initialize(AIUnicodeString* self, const char* text, ASUInt32 byteLength,
                         ASInt32 encoding) {
    ASErr error;
    Host* host = Enter(StringFunction::Initialize, &error);
    if (host == nullptr) return error;
    if (self == nullptr || (text == nullptr && byteLength != 0)) return kBadParameterErr;
    std::u16string decoded;
    if (encoding == kAIPlatformCharacterEncoding) {
        decoded = DecodeThreadAnsi(text, byteLength);
    } else if (encoding == kAIUTF8CharacterEncoding) {
        decoded = DecodeUtf8(text, byteLength);
    } else {
        return kBadParameterErr;
    }
    return Store(*host, self, std::move(decoded));
}

ASErr HOSTAPI InitializeUTF16(AIUnicodeString* self, const ASUnicode* text, ASUInt32 length) {
    ASErr error;
    Host* host = Enter(StringFunction::InitializeUTF16, &error);
    if (host == nullptr) return error;
    if (self == nullptr || (text == nullptr && length != 0)) return kBadParameterErr;
    std::u16string units(length, u'\0');
    for (ASUInt32 i = 0; i < length; ++i) units[i] = static_cast<char16_t>(text[i]);
    return Store(*host, self, std::move(units));
}

ASErr HOSTAPI InitializeCopy(AIUnicodeString* self, const AIUnicodeString* source) {
    ASErr error;
    Host* host = Enter(StringFunction::InitializeCopy, &error);
    if (host == nullptr) return error;
    if (self == nullptr || !Readable(*host, source)) return kBadParameterErr;
    return Store(*host, self, Text(source));
}

ASErr HOSTAPI Destroy(AIUnicodeString* self) {
    ASErr error;
    Host* host = Enter(StringFunction::Destroy, &error);
    if (host == nullptr) return error;
    if (self == nullptr) return kBadParameterErr;
    if (self->impl == nullptr) return kNoErr;
    if (!host->Strings().Contains(self->impl)) {
        host->Events().Add(EventKind::Problem, host->CurrentName(),
                           "destroy of a string the host never made");
        return kBadParameterErr;
    }
    host->Strings().Destroy(self->impl);
    self->impl = nullptr;
    return kNoErr;
}

ASErr HOSTAPI Length(const AIUnicodeString* self, ASUInt32* length) {
    ASErr error;
    Host* host = Enter(StringFunction::Length, &error);
    if (host == nullptr) return error;
    if (length == nullptr || !Readable(*host, self)) return kBadParameterErr;
    *length = static_cast<ASUInt32>(Text(self).size());
    return kNoErr;
}

ASErr HOSTAPI Compare(const AIUnicodeString* self, const AIUnicodeString* other, ASInt32* result) {
    ASErr error;
    Host* host = Enter(StringFunction::Compare, &error);
    if (host == nullptr) return error;
    if (result == nullptr || !Readable(*host, self) || !Readable(*host, other))
        return kBadParameterErr;
    const int c = Text(self).compare(Text(other));
    *result = c < 0 ? -1 : (c > 0 ? 1 : 0);
    return kNoErr;
}

ASErr HOSTAPI Assign(AIUnicodeString* self, const AIUnicodeString* other) {
    ASErr error;
    Host* host = Enter(StringFunction::Assign, &error);
    if (host == nullptr) return error;
    if (!Readable(*host, self) || !Readable(*host, other)) return kBadParameterErr;
    if (self == other) return kNoErr;
    return Store(*host, self, Text(other));
}

ASErr HOSTAPI Append(AIUnicodeString* self, const AIUnicodeString* other) {
    ASErr error;
    Host* host = Enter(StringFunction::Append, &error);
    if (host == nullptr) return error;
    if (!Readable(*host, self) || !Readable(*host, other)) return kBadParameterErr;
    return Store(*host, self, Text(self) + Text(other));
}

ASErr HOSTAPI Erase(AIUnicodeString* self, ASUInt32 pos, ASUInt32 count) {
    ASErr error;
    Host* host = Enter(StringFunction::Erase, &error);
    if (host == nullptr) return error;
    if (!Readable(*host, self)) return kBadParameterErr;
    // A string never initialised is empty, and erasing leaves it so.
    if (self->impl == nullptr) return pos == 0 ? kNoErr : kBadParameterErr;
    std::u16string& text = self->impl->text;
    if (pos > text.size()) return kBadParameterErr;
    text.erase(pos, count);
    return kNoErr;
}

ASUInt32 HOSTAPI GetUtf16(const AIUnicodeString* self, const ASUnicode** buffer) {
    ASErr error;
    Host* host = Enter(StringFunction::GetUtf16, &error);
    // This call answers no error: a string it cannot read is empty.
    if (buffer != nullptr) *buffer = reinterpret_cast<const ASUnicode*>(kEmpty);
    if (host == nullptr || buffer == nullptr || !Readable(*host, self) || self->impl == nullptr)
        return 0;
    *buffer = reinterpret_cast<const ASUnicode*>(self->impl->text.c_str());
    return static_cast<ASUInt32>(self->impl->text.size());
}

AIUnicodeStringSuite6 MakeTable() {
    AIUnicodeStringSuite6 table{};
    table.Initialize = Initialize;
    table.InitializeUTF16 = InitializeUTF16;
    table.InitializeCopy = InitializeCopy;
    table.Destroy = Destroy;
    table.Length = Length;
    table.Compare = Compare;
    table.Assign = Assign;
    table.Append = Append;
    table.Erase = Erase;
    table.GetUtf16 = GetUtf16;
    return table;
}

const AIUnicodeStringSuite6 g_strings = MakeTable();

}  // namespace

void RegisterUnicodeStringSuite(SuiteRegistry& registry) {
    registry.Register(kAIUnicodeStringSuite, kAIUnicodeStringSuiteVersion, &g_strings);
}

}  // namespace host::detail
