#include "host/prefs/preference_store.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

namespace host::prefs {
namespace {

PreferenceStore* g_active = nullptr;

constexpr char kHeader[] = "# host preferences, version 1";

const char* TypeName(PreferenceValue::Type t) {
    switch (t) {
        case PreferenceValue::Type::kBoolean:
            return "boolean";
        case PreferenceValue::Type::kInteger:
            return "integer";
        case PreferenceValue::Type::kReal:
            return "real";
        case PreferenceValue::Type::kString:
            return "string";
        case PreferenceValue::Type::kPoint:
            return "point";
    }
    return "integer";
}

// Every byte that could break a line or a field, and every byte outside
// printable ASCII, is written as %XX, so any string survives the file.
std::string Escape(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if (c < 0x21 || c >= 0x7F || c == '%') {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%%%02X", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

bool Unescape(const std::string& s, std::string* out) {
    out->clear();
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '%') {
            out->push_back(s[i]);
            continue;
        }
        if (i + 2 >= s.size()) return false;
        auto hex = [](char c) -> int {
            if (c >= '0' && c <= '9') return c - '0';
            if (c >= 'A' && c <= 'F') return c - 'A' + 10;
            if (c >= 'a' && c <= 'f') return c - 'a' + 10;
            return -1;
        };
        int hi = hex(s[i + 1]), lo = hex(s[i + 2]);
        if (hi < 0 || lo < 0) return false;
        out->push_back(static_cast<char>(hi * 16 + lo));
        i += 2;
    }
    return true;
}

bool ParseInt32(const std::string& s, ASInt32* v) {
    if (s.empty()) return false;
    errno = 0;
    char* end = nullptr;
    long long x = std::strtoll(s.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || x < INT32_MIN || x > INT32_MAX) return false;
    *v = static_cast<ASInt32>(x);
    return true;
}

std::vector<std::string> Split(const std::string& line, char sep) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        std::size_t at = line.find(sep, start);
        out.push_back(line.substr(start, at - start));
        if (at == std::string::npos) return out;
        start = at + 1;
    }
}

}  // namespace

PreferenceValue PreferenceValue::Boolean(bool v) {
    PreferenceValue p;
    p.type = Type::kBoolean;
    p.boolean = v;
    return p;
}
PreferenceValue PreferenceValue::Integer(ASInt32 v) {
    PreferenceValue p;
    p.type = Type::kInteger;
    p.integer = v;
    return p;
}
PreferenceValue PreferenceValue::Real(double v) {
    PreferenceValue p;
    p.type = Type::kReal;
    p.real = v;
    return p;
}
PreferenceValue PreferenceValue::String(std::string v) {
    PreferenceValue p;
    p.type = Type::kString;
    p.string = std::move(v);
    return p;
}
PreferenceValue PreferenceValue::Point(AIPoint v) {
    PreferenceValue p;
    p.type = Type::kPoint;
    p.point = v;
    return p;
}

bool PreferenceValue::operator==(const PreferenceValue& o) const {
    if (type != o.type) return false;
    switch (type) {
        case Type::kBoolean:
            return boolean == o.boolean;
        case Type::kInteger:
            return integer == o.integer;
        case Type::kReal:
            return real == o.real || (std::isnan(real) && std::isnan(o.real));
        case Type::kString:
            return string == o.string;
        case Type::kPoint:
            return point.h == o.point.h && point.v == o.point.v;
    }
    return false;
}

PreferenceStore::PreferenceStore(std::string folder) {
    path_ = folder.empty() ? kPreferencesFileName : folder + "/" + kPreferencesFileName;
    Load();
    g_active = this;
}

PreferenceStore::~PreferenceStore() {
    if (g_active == this) g_active = nullptr;
}

PreferenceStore* PreferenceStore::Active() { return g_active; }

std::optional<PreferenceValue> PreferenceStore::Get(const std::string& prefix,
                                                    const std::string& key) const {
    auto it = values_.find({prefix, key});
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

void PreferenceStore::Put(const std::string& prefix, const std::string& key,
                          PreferenceValue value) {
    auto k = std::make_pair(prefix, key);
    auto old = values_.find(k);
    std::optional<PreferenceValue> previous;
    if (old != values_.end()) previous = old->second;
    values_[k] = std::move(value);
    try {
        Save();
    } catch (...) {
        if (previous) {
            values_[k] = *previous;
        } else {
            values_.erase(k);
        }
        throw;
    }
    writes_.push_back(prefix + "/" + key);
}

bool PreferenceStore::Remove(const std::string& prefix, const std::string& key) {
    auto it = values_.find({prefix, key});
    if (it == values_.end()) return false;
    PreferenceValue previous = it->second;
    values_.erase(it);
    try {
        Save();
    } catch (...) {
        values_[{prefix, key}] = previous;
        throw;
    }
    return true;
}

void PreferenceStore::Load() {
    std::ifstream in(path_, std::ios::binary);
    if (!in) return;  // a machine without preferences yet
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& why) {
        throw PreferenceError(path_ + ", line " + std::to_string(number) + ": " + why);
    };
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> f = Split(line, '\t');
        if (f.size() != 4) fail("expected type, prefix, key and value separated by tabs");
        std::string prefix, key;
        if (!Unescape(f[1], &prefix) || !Unescape(f[2], &key)) fail("bad escape in the name");
        PreferenceValue v;
        const std::string& t = f[0];
        const std::string& text = f[3];
        if (t == "boolean") {
            if (text != "true" && text != "false") fail("boolean is neither true nor false");
            v = PreferenceValue::Boolean(text == "true");
        } else if (t == "integer") {
            ASInt32 x;
            if (!ParseInt32(text, &x)) fail("not a 32-bit integer: " + text);
            v = PreferenceValue::Integer(x);
        } else if (t == "real") {
            char* end = nullptr;
            double x = std::strtod(text.c_str(), &end);
            if (text.empty() || *end != '\0') fail("not a number: " + text);
            v = PreferenceValue::Real(x);
        } else if (t == "string") {
            std::string s;
            if (!Unescape(text, &s)) fail("bad escape in the string");
            v = PreferenceValue::String(std::move(s));
        } else if (t == "point") {
            std::vector<std::string> hv = Split(text, ' ');
            AIPoint p;
            if (hv.size() != 2 || !ParseInt32(hv[0], &p.h) || !ParseInt32(hv[1], &p.v)) {
                fail("point is not two integers: " + text);
            }
            v = PreferenceValue::Point(p);
        } else {
            fail("unknown type " + t);
        }
        values_[{prefix, key}] = std::move(v);
    }
}

void PreferenceStore::Save() const {
    std::ostringstream out;
    out << kHeader << "\n";
    for (const auto& [k, v] : values_) {
        out << TypeName(v.type) << '\t' << Escape(k.first) << '\t' << Escape(k.second) << '\t';
        switch (v.type) {
            case PreferenceValue::Type::kBoolean:
                out << (v.boolean ? "true" : "false");
                break;
            case PreferenceValue::Type::kInteger:
                out << v.integer;
                break;
            case PreferenceValue::Type::kReal: {
                char buf[40];
                std::snprintf(buf, sizeof buf, "%.17g", v.real);
                out << buf;
                break;
            }
            case PreferenceValue::Type::kString:
                out << Escape(v.string);
                break;
            case PreferenceValue::Type::kPoint:
                out << v.point.h << ' ' << v.point.v;
                break;
        }
        out << '\n';
    }
    // Write beside the file and rename, so a failed write never leaves a
    // half-written file behind.
    std::string temp = path_ + ".new";
    {
        std::ofstream file(temp, std::ios::binary | std::ios::trunc);
        file << out.str();
        file.flush();
        if (!file) {
            std::remove(temp.c_str());
            throw PreferenceError("cannot write " + temp);
        }
    }
    if (std::rename(temp.c_str(), path_.c_str()) != 0) {
        int err = errno;
        std::remove(temp.c_str());
        throw PreferenceError("cannot replace " + path_ + ": " + std::strerror(err));
    }
}

}  // namespace host::prefs
