// The host's preferences: typed values under a prefix and a key, kept in
// the machine folder's "Preferences.txt" so that a fresh host reads them
// back.
#pragma once

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "hostapi/ai_preference.h"
#include "hostapi/errors.h"

namespace host {
class SuiteRegistry;
}

namespace host::prefs {

inline constexpr char kPreferencesFileName[] = "Preferences.txt";

// The preferences file cannot be read (damaged line) or written.
class PreferenceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct PreferenceValue {
    enum class Type { kBoolean, kInteger, kReal, kString, kPoint };
    Type type = Type::kInteger;
    bool boolean = false;
    ASInt32 integer = 0;
    double real = 0;
    std::string string;  // any bytes
    AIPoint point{0, 0};

    static PreferenceValue Boolean(bool v);
    static PreferenceValue Integer(ASInt32 v);
    static PreferenceValue Real(double v);
    static PreferenceValue String(std::string v);
    static PreferenceValue Point(AIPoint v);
    bool operator==(const PreferenceValue& other) const;
};

class PreferenceStore {
public:
    // Reads <folder>/Preferences.txt when it exists; throws PreferenceError
    // for a damaged file, naming the line, and leaves the file alone. The
    // store becomes the one the suite serves, until it is destroyed.
    explicit PreferenceStore(std::string folder);
    ~PreferenceStore();
    PreferenceStore(const PreferenceStore&) = delete;
    PreferenceStore& operator=(const PreferenceStore&) = delete;

    static PreferenceStore* Active();
    // The store of the simulated machine (PlatformMachineFolder()).
    static std::string MachineFolder();

    std::optional<PreferenceValue> Get(const std::string& prefix, const std::string& key) const;
    // Writes the file at once; on failure the old value stays, in memory and
    // on disk, and PreferenceError is thrown.
    void Put(const std::string& prefix, const std::string& key, PreferenceValue value);
    // False when there was no such key.
    bool Remove(const std::string& prefix, const std::string& key);
    std::size_t Size() const { return values_.size(); }
    // Every Put that took, as "prefix/key", in the order made.
    const std::vector<std::string>& Writes() const { return writes_; }
    const std::string& Path() const { return path_; }

private:
    void Load();
    void Save() const;

    std::string path_;
    std::map<std::pair<std::string, std::string>, PreferenceValue> values_;
    std::vector<std::string> writes_;
};

// The suite over PreferenceStore::Active().
const AIPreferenceSuite4& PreferenceSuite();
// Offers the suite in the host's registry, over any placeholder.
void RegisterPreferenceSuite(SuiteRegistry& registry);

// What a put answers when the file cannot be written.
constexpr ASErr kPreferenceWriteErr = HostFourCC('P', 'W', 'r', 't');

}  // namespace host::prefs
