// The "AI Preference Suite" over the active store.
#include <algorithm>
#include <cstring>

#include "host/platform_machine.h"
#include "host/prefs/preference_store.h"
#include "host/suite_registry.h"
#include "hostapi/errors.h"

namespace host::prefs {
namespace {

using Type = PreferenceValue::Type;

// The typed value, or an error: no store or no names is a bad parameter; a
// missing key, or one that holds another type, is not found.
ASErr Lookup(const char* prefix, const char* key, Type type, PreferenceValue* out) {
    PreferenceStore* store = PreferenceStore::Active();
    if (store == nullptr || prefix == nullptr || key == nullptr) return kBadParameterErr;
    auto v = store->Get(prefix, key);
    if (!v || v->type != type) return kNotFoundErr;
    *out = *v;
    return kNoErr;
}

ASErr Store(const char* prefix, const char* key, PreferenceValue v) {
    PreferenceStore* store = PreferenceStore::Active();
    if (store == nullptr || prefix == nullptr || key == nullptr) return kBadParameterErr;
    try {
        store->Put(prefix, key, std::move(v));
    } catch (const PreferenceError&) {
        return kPreferenceWriteErr;
    }
    return kNoErr;
}

ASErr HOSTAPI GetBoolean(const char* prefix, const char* key, ASBoolean* value) {
    if (value == nullptr) return kBadParameterErr;
    PreferenceValue v;
    ASErr err = Lookup(prefix, key, Type::kBoolean, &v);
    if (err == kNoErr) *value = v.boolean;
    return err;
}
ASErr HOSTAPI PutBoolean(const char* prefix, const char* key, ASBoolean value) {
    return Store(prefix, key, PreferenceValue::Boolean(value != 0));
}
ASErr HOSTAPI GetInteger(const char* prefix, const char* key, ASInt32* value) {
    if (value == nullptr) return kBadParameterErr;
    PreferenceValue v;
    ASErr err = Lookup(prefix, key, Type::kInteger, &v);
    if (err == kNoErr) *value = v.integer;
    return err;
}
ASErr HOSTAPI PutInteger(const char* prefix, const char* key, ASInt32 value) {
    return Store(prefix, key, PreferenceValue::Integer(value));
}
ASErr HOSTAPI GetReal(const char* prefix, const char* key, double* value) {
    if (value == nullptr) return kBadParameterErr;
    PreferenceValue v;
    ASErr err = Lookup(prefix, key, Type::kReal, &v);
    if (err == kNoErr) *value = v.real;
    return err;
}
ASErr HOSTAPI PutReal(const char* prefix, const char* key, double value) {
    return Store(prefix, key, PreferenceValue::Real(value));
}
ASErr HOSTAPI GetString(const char* prefix, const char* key, char* value, ASUInt32 maxLength) {
    if (value == nullptr || maxLength == 0) return kBadParameterErr;
    PreferenceValue v;
    ASErr err = Lookup(prefix, key, Type::kString, &v);
    if (err != kNoErr) return err;
    std::size_t n = std::min<std::size_t>(v.string.size(), maxLength - 1);
    std::memcpy(value, v.string.data(), n);
    value[n] = '\0';
    return kNoErr;
}
ASErr HOSTAPI PutString(const char* prefix, const char* key, const char* value) {
    if (value == nullptr) return kBadParameterErr;
    return Store(prefix, key, PreferenceValue::String(value));
}
ASErr HOSTAPI GetPoint(const char* prefix, const char* key, AIPoint* value) {
    if (value == nullptr) return kBadParameterErr;
    PreferenceValue v;
    ASErr err = Lookup(prefix, key, Type::kPoint, &v);
    if (err == kNoErr) *value = v.point;
    return err;
}
ASErr HOSTAPI PutPoint(const char* prefix, const char* key, const AIPoint* value) {
    if (value == nullptr) return kBadParameterErr;
    return Store(prefix, key, PreferenceValue::Point(*value));
}
ASErr HOSTAPI Remove(const char* prefix, const char* key) {
    PreferenceStore* store = PreferenceStore::Active();
    if (store == nullptr || prefix == nullptr || key == nullptr) return kBadParameterErr;
    try {
        return store->Remove(prefix, key) ? kNoErr : kNotFoundErr;
    } catch (const PreferenceError&) {
        return kPreferenceWriteErr;
    }
}

const AIPreferenceSuite4 kSuite = {GetBoolean, PutBoolean, GetInteger, PutInteger, GetReal, PutReal,
                                   GetString,  PutString,  GetPoint,   PutPoint,   Remove};

}  // namespace

const AIPreferenceSuite4& PreferenceSuite() { return kSuite; }

void RegisterPreferenceSuite(SuiteRegistry& registry) {
    registry.Replace(kAIPreferenceSuite, kAIPreferenceSuiteVersion, &kSuite);
}

std::string PreferenceStore::MachineFolder() { return PlatformMachineFolder(); }

}  // namespace host::prefs
