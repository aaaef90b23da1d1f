// VARIANT, laid out as on Windows (a 16-bit type tag, three reserved words, the value),
// and its helpers.
#pragma once

#include "platform/emu/com.h"

struct IDispatch;

enum VARENUM {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_CY = 6,
    VT_DATE = 7,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_UNKNOWN = 13,
    VT_DECIMAL = 14,
    VT_I1 = 16,
    VT_UI1 = 17,
    VT_UI2 = 18,
    VT_UI4 = 19,
    VT_I8 = 20,
    VT_UI8 = 21,
    VT_INT = 22,
    VT_UINT = 23,
    VT_VOID = 24,
    VT_HRESULT = 25,
    VT_VECTOR = 0x1000,
    VT_ARRAY = 0x2000,
    VT_BYREF = 0x4000,
    VT_RESERVED = 0x8000,
    VT_ILLEGAL = 0xffff,
    VT_ILLEGALMASKED = 0x0fff,
    VT_TYPEMASK = 0x0fff
};

typedef struct tagVARIANT VARIANT;
typedef struct tagVARIANT VARIANTARG;
typedef VARIANT* LPVARIANT;
typedef VARIANTARG* LPVARIANTARG;

struct tagVARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        LONGLONG llVal;
        LONG lVal;
        BYTE bVal;
        SHORT iVal;
        FLOAT fltVal;
        DOUBLE dblVal;
        VARIANT_BOOL boolVal;
        SCODE scode;
        DATE date;
        BSTR bstrVal;
        IUnknown* punkVal;
        IDispatch* pdispVal;
        BYTE* pbVal;
        SHORT* piVal;
        LONG* plVal;
        LONGLONG* pllVal;
        FLOAT* pfltVal;
        DOUBLE* pdblVal;
        VARIANT_BOOL* pboolVal;
        SCODE* pscode;
        DATE* pdate;
        BSTR* pbstrVal;
        IUnknown** ppunkVal;
        IDispatch** ppdispVal;
        VARIANT* pvarVal;
        PVOID byref;
        CHAR cVal;
        USHORT uiVal;
        ULONG ulVal;
        ULONGLONG ullVal;
        INT intVal;
        UINT uintVal;
        CHAR* pcVal;
        USHORT* puiVal;
        ULONG* pulVal;
        ULONGLONG* pullVal;
        INT* pintVal;
        UINT* puintVal;
        struct {
            PVOID pvRecord;
            PVOID pRecInfo;
        } record;
    };
};

static_assert(sizeof(VARIANT) == 8 + 2 * sizeof(void*), "VARIANT has the Windows size");
static_assert(offsetof(VARIANT, lVal) == 8, "the value follows the type and reserved words");

PLATFORM_BEGIN_C
// Sets the type to VT_EMPTY; the value is not read.
PLATFORM_API void VariantInit(VARIANTARG* variant);
// Frees a BSTR, releases an interface, leaves a by-reference value alone, then sets
// VT_EMPTY. DISP_E_BADVARTYPE (variant unchanged) for a type it cannot own (arrays,
// records, unknown types); E_INVALIDARG for null.
PLATFORM_API HRESULT VariantClear(VARIANTARG* variant);
// Clears `target`, then copies `source`: a BSTR is duplicated (full length), an
// interface gains a reference, a by-reference value is copied as the pointer.
// On failure `target` is left VT_EMPTY.
PLATFORM_API HRESULT VariantCopy(VARIANTARG* target, const VARIANTARG* source);

// Flags of VariantChangeType.
#define VARIANT_NOVALUEPROP 0x01
#define VARIANT_ALPHABOOL 0x02

// Converts `source` (followed first when by reference, VT_BYREF | VT_VARIANT included)
// to `type` and stores the result in `target`, clearing what it held; `target` may
// be `source`. Covers what scripts pass: empty, the integer types, VT_R4, VT_R8,
// VT_BOOL and VT_BSTR among themselves, as the US-English locale spells them
// (decimal text, "True"/"False", booleans as "-1"/"0" unless VARIANT_ALPHABOOL).
// DISP_E_TYPEMISMATCH when the value has no such form (text that is not a number,
// null, objects, errors); DISP_E_OVERFLOW when it does not fit; DISP_E_BADVARTYPE
// for a type outside these. On failure `target` is unchanged.
PLATFORM_API HRESULT VariantChangeType(VARIANTARG* target, const VARIANTARG* source, USHORT flags,
                                       VARTYPE type);
PLATFORM_END_C
