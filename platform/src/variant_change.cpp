// VariantChangeType for the types automation clients pass, with the rules of the
// US-English locale: integers round half to even, values out of range overflow,
// and text is read as a decimal number or "True"/"False".
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/emu/bstr.h"
#include "platform/emu/variant.h"

namespace {

// A source value, after following a reference.
struct Value {
    enum Kind { kEmpty, kNull, kInteger, kReal, kBool, kText } kind = kEmpty;
    std::int64_t integer = 0;
    double real = 0;
    BSTR text = nullptr;  // not owned
};

// Reads `v` (never by reference) into a Value; DISP_E_TYPEMISMATCH for objects and
// errors, DISP_E_BADVARTYPE for what no VARIANT holds by value.
HRESULT Read(const VARIANTARG& v, Value* out) {
    Value& r = *out;
    r.kind = Value::kInteger;
    switch (v.vt) {
        case VT_EMPTY:
            r.kind = Value::kEmpty;
            return S_OK;
        case VT_NULL:
            r.kind = Value::kNull;
            return S_OK;
        case VT_I1:
            r.integer = v.cVal;
            return S_OK;
        case VT_I2:
            r.integer = v.iVal;
            return S_OK;
        case VT_I4:
            r.integer = v.lVal;
            return S_OK;
        case VT_INT:
            r.integer = v.intVal;
            return S_OK;
        case VT_I8:
            r.integer = v.llVal;
            return S_OK;
        case VT_UI1:
            r.integer = v.bVal;
            return S_OK;
        case VT_UI2:
            r.integer = v.uiVal;
            return S_OK;
        case VT_UI4:
            r.integer = v.ulVal;
            return S_OK;
        case VT_UINT:
            r.integer = v.uintVal;
            return S_OK;
        case VT_UI8:
            if (v.ullVal > static_cast<ULONGLONG>(INT64_MAX)) {
                r.kind = Value::kReal;
                r.real = static_cast<double>(v.ullVal);
            } else {
                r.integer = static_cast<std::int64_t>(v.ullVal);
            }
            return S_OK;
        case VT_R4:
            r.kind = Value::kReal;
            r.real = v.fltVal;
            return S_OK;
        case VT_R8:
            r.kind = Value::kReal;
            r.real = v.dblVal;
            return S_OK;
        case VT_BOOL:
            r.kind = Value::kBool;
            r.integer = v.boolVal != VARIANT_FALSE ? -1 : 0;
            return S_OK;
        case VT_BSTR:
            r.kind = Value::kText;
            r.text = v.bstrVal;
            return S_OK;
        case VT_DISPATCH:
        case VT_UNKNOWN:
        case VT_ERROR:
        case VT_CY:
        case VT_DATE:
        case VT_DECIMAL:
            return DISP_E_TYPEMISMATCH;
        default:
            return DISP_E_BADVARTYPE;
    }
}

// The value a reference points at, as a VARIANT held by value.
HRESULT Follow(const VARIANTARG& source, VARIANTARG* out) {
    if ((source.vt & VT_BYREF) == 0) {
        *out = source;
        return S_OK;
    }
    if (source.byref == nullptr) return E_INVALIDARG;
    const VARTYPE base = static_cast<VARTYPE>(source.vt & ~VT_BYREF);
    VariantInit(out);
    out->vt = base;
    switch (base) {
        case VT_VARIANT:
            if ((source.pvarVal->vt & VT_BYREF) != 0) return E_INVALIDARG;
            *out = *source.pvarVal;
            return S_OK;
        case VT_I1:
            out->cVal = *source.pcVal;
            return S_OK;
        case VT_I2:
            out->iVal = *source.piVal;
            return S_OK;
        case VT_I4:
            out->lVal = *source.plVal;
            return S_OK;
        case VT_INT:
            out->intVal = *source.pintVal;
            return S_OK;
        case VT_I8:
            out->llVal = *source.pllVal;
            return S_OK;
        case VT_UI1:
            out->bVal = *source.pbVal;
            return S_OK;
        case VT_UI2:
            out->uiVal = *source.puiVal;
            return S_OK;
        case VT_UI4:
            out->ulVal = *source.pulVal;
            return S_OK;
        case VT_UINT:
            out->uintVal = *source.puintVal;
            return S_OK;
        case VT_UI8:
            out->ullVal = *source.pullVal;
            return S_OK;
        case VT_R4:
            out->fltVal = *source.pfltVal;
            return S_OK;
        case VT_R8:
            out->dblVal = *source.pdblVal;
            return S_OK;
        case VT_BOOL:
            out->boolVal = *source.pboolVal;
            return S_OK;
        case VT_BSTR:
            out->bstrVal = *source.pbstrVal;
            return S_OK;
        default:
            return DISP_E_TYPEMISMATCH;
    }
}

// ASCII view of a BSTR, or false when it holds anything else.
bool Ascii(BSTR text, std::string* out) {
    const UINT length = SysStringLen(text);
    out->clear();
    for (UINT i = 0; i < length; ++i) {
        if (text[i] == 0 || text[i] > 0x7F) return false;
        out->push_back(static_cast<char>(text[i]));
    }
    return true;
}

bool SameWord(const std::string& text, const char* word) {
    std::size_t i = 0;
    for (; i < text.size() && word[i] != '\0'; ++i) {
        const char c = (text[i] >= 'A' && text[i] <= 'Z') ? text[i] - 'A' + 'a' : text[i];
        if (c != word[i]) return false;
    }
    return i == text.size() && word[i] == '\0';
}

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A decimal number: sign, digits with an optional point, an optional exponent.
HRESULT ParseNumber(BSTR text, double* out) {
    std::string ascii;
    if (!Ascii(text, &ascii)) return DISP_E_TYPEMISMATCH;
    const std::string s = Trimmed(ascii);
    std::size_t i = (!s.empty() && (s[0] == '+' || s[0] == '-')) ? 1 : 0;
    std::size_t digits = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) ++digits;
    if (i < s.size() && s[i] == '.')
        for (++i; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) ++digits;
    if (digits == 0) return DISP_E_TYPEMISMATCH;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        const std::size_t start = j;
        for (; j < s.size() && s[j] >= '0' && s[j] <= '9'; ++j) {
        }
        if (j == start) return DISP_E_TYPEMISMATCH;
        i = j;
    }
    if (i != s.size()) return DISP_E_TYPEMISMATCH;
    *out = std::strtod(s.c_str(), nullptr);
    return std::isfinite(*out) ? S_OK : DISP_E_OVERFLOW;
}

HRESULT AsReal(const Value& v, double* out) {
    switch (v.kind) {
        case Value::kEmpty:
            *out = 0;
            return S_OK;
        case Value::kInteger:
        case Value::kBool:
            *out = static_cast<double>(v.integer);
            return S_OK;
        case Value::kReal:
            *out = v.real;
            return S_OK;
        case Value::kText:
            return ParseNumber(v.text, out);
        default:
            return DISP_E_TYPEMISMATCH;
    }
}

// An integer in [low, high]; reals round half to even.
HRESULT AsInteger(const Value& v, std::int64_t low, std::int64_t high, std::int64_t* out) {
    if (v.kind == Value::kInteger || v.kind == Value::kBool) {
        if (v.integer < low || v.integer > high) return DISP_E_OVERFLOW;
        *out = v.integer;
        return S_OK;
    }
    double real = 0;
    const HRESULT hr = AsReal(v, &real);
    if (FAILED(hr)) return hr;
    const double rounded = std::nearbyint(real);
    if (!(rounded >= static_cast<double>(low) && rounded <= static_cast<double>(high)))
        return DISP_E_OVERFLOW;
    *out = static_cast<std::int64_t>(rounded);
    return S_OK;
}

HRESULT AsBool(const Value& v, bool* out) {
    if (v.kind == Value::kText) {
        std::string ascii;
        if (Ascii(v.text, &ascii)) {
            const std::string word = Trimmed(ascii);
            if (SameWord(word, "true") || SameWord(word, "false")) {
                *out = SameWord(word, "true");
                return S_OK;
            }
        }
    }
    double real = 0;
    const HRESULT hr = AsReal(v, &real);
    if (SUCCEEDED(hr)) *out = real != 0;
    return hr;
}

HRESULT AsText(const Value& v, USHORT flags, BSTR* out) {
    char buffer[40];
    switch (v.kind) {
        case Value::kText:
            *out = SysAllocStringByteLen(reinterpret_cast<const char*>(v.text),
                                         SysStringByteLen(v.text));
            return *out != nullptr || v.text == nullptr ? S_OK : E_OUTOFMEMORY;
        case Value::kEmpty:
            buffer[0] = '\0';
            break;
        case Value::kBool:
            if ((flags & VARIANT_ALPHABOOL) != 0) {
                std::snprintf(buffer, sizeof buffer, "%s", v.integer != 0 ? "True" : "False");
                break;
            }
            [[fallthrough]];
        case Value::kInteger:
            std::snprintf(buffer, sizeof buffer, "%lld", static_cast<long long>(v.integer));
            break;
        case Value::kReal:
            std::snprintf(buffer, sizeof buffer, "%.15G", v.real);
            break;
        default:
            return DISP_E_TYPEMISMATCH;
    }
    const std::u16string units(buffer, buffer + std::char_traits<char>::length(buffer));
    *out = SysAllocStringLen(units.c_str(), static_cast<UINT>(units.size()));
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT Convert(const Value& v, USHORT flags, VARTYPE type, VARIANTARG* out) {
    VariantInit(out);
    out->vt = type;
    std::int64_t integer = 0;
    HRESULT hr = S_OK;
    switch (type) {
        case VT_EMPTY:
            return S_OK;
        case VT_NULL:
            return v.kind == Value::kNull ? S_OK : DISP_E_TYPEMISMATCH;
        case VT_I1:
            hr = AsInteger(v, INT8_MIN, INT8_MAX, &integer);
            out->cVal = static_cast<CHAR>(integer);
            return hr;
        case VT_I2:
            hr = AsInteger(v, INT16_MIN, INT16_MAX, &integer);
            out->iVal = static_cast<SHORT>(integer);
            return hr;
        case VT_I4:
            hr = AsInteger(v, INT32_MIN, INT32_MAX, &integer);
            out->lVal = static_cast<LONG>(integer);
            return hr;
        case VT_INT:
            hr = AsInteger(v, INT32_MIN, INT32_MAX, &integer);
            out->intVal = static_cast<INT>(integer);
            return hr;
        case VT_I8:
            hr = AsInteger(v, INT64_MIN, INT64_MAX, &integer);
            out->llVal = integer;
            return hr;
        case VT_UI1:
            hr = AsInteger(v, 0, UINT8_MAX, &integer);
            out->bVal = static_cast<BYTE>(integer);
            return hr;
        case VT_UI2:
            hr = AsInteger(v, 0, UINT16_MAX, &integer);
            out->uiVal = static_cast<USHORT>(integer);
            return hr;
        case VT_UI4:
            hr = AsInteger(v, 0, UINT32_MAX, &integer);
            out->ulVal = static_cast<ULONG>(integer);
            return hr;
        case VT_UINT:
            hr = AsInteger(v, 0, UINT32_MAX, &integer);
            out->uintVal = static_cast<UINT>(integer);
            return hr;
        case VT_UI8:
            hr = AsInteger(v, 0, INT64_MAX, &integer);
            out->ullVal = static_cast<ULONGLONG>(integer);
            return hr;
        case VT_R8:
            return AsReal(v, &out->dblVal);
        case VT_R4: {
            double real = 0;
            hr = AsReal(v, &real);
            if (SUCCEEDED(hr) && std::fabs(real) > FLT_MAX) hr = DISP_E_OVERFLOW;
            out->fltVal = static_cast<FLOAT>(real);
            return hr;
        }
        case VT_BOOL: {
            bool flag = false;
            hr = AsBool(v, &flag);
            out->boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
            return hr;
        }
        case VT_BSTR:
            return AsText(v, flags, &out->bstrVal);
        default:
            return DISP_E_BADVARTYPE;
    }
}

}  // namespace

HRESULT VariantChangeType(VARIANTARG* target, const VARIANTARG* source, USHORT flags,
                          VARTYPE type) {
    if (target == nullptr || source == nullptr) return E_INVALIDARG;
    VARIANTARG followed;
    HRESULT hr = Follow(*source, &followed);
    Value value;
    if (SUCCEEDED(hr)) hr = Read(followed, &value);
    VARIANTARG converted;
    if (SUCCEEDED(hr)) hr = Convert(value, flags, type, &converted);
    if (FAILED(hr)) return hr;
    // The source may be the target: it is cleared only once the result stands.
    hr = VariantClear(target);
    if (FAILED(hr)) {
        VariantClear(&converted);
        return hr;
    }
    *target = converted;
    return S_OK;
}
