// The tiny in-process automation server the platform tests build and register.
#pragma once

#include "platform/win32.h"

// {6C1F2B7A-3E55-4C1B-9D2E-7A0B1C2D3E4F}
constexpr CLSID kTestServerClsid = {
    0x6C1F2B7A, 0x3E55, 0x4C1B, {0x9D, 0x2E, 0x7A, 0x0B, 0x1C, 0x2D, 0x3E, 0x4F}};
// An automation interface derived from IDispatch. {0B5A4E11-8C3D-4F2A-A1B2-C3D4E5F60718}
constexpr IID kTestAutomationIid = {
    0x0B5A4E11, 0x8C3D, 0x4F2A, {0xA1, 0xB2, 0xC3, 0xD4, 0xE5, 0xF6, 0x07, 0x18}};
// An interface the server has but that is no automation interface.
// {9E8D7C6B-5A49-4837-8261-504F3E2D1C0B}
constexpr IID kTestPlainIid = {
    0x9E8D7C6B, 0x5A49, 0x4837, {0x82, 0x61, 0x50, 0x4F, 0x3E, 0x2D, 0x1C, 0x0B}};

constexpr char kTestServerProgId[] = "Platform.TestServer";

// The server's dispatch identifiers.
enum TestServerDispid : DISPID {
    // Answers in the result a BSTR that lists the arguments as received, rgvarg[0]
    // first: "I4:7|BSTR:abc|BOOL*|BSTR*" ...
    kDispidDescribe = 1,
    // (BSTR text, long count, out BSTR* repeated, out VARIANT_BOOL* done): writes the
    // text repeated `count` times and VARIANT_TRUE.
    kDispidRepeat = 2,
    // Fails with DISP_E_EXCEPTION and a description in the EXCEPINFO.
    kDispidFail = 3,
};

// Exported by the server module, for the tests to look inside.
extern "C" {
typedef LONG (*TestServerCounter)(void);
}
constexpr char kTestServerLiveObjects[] = "TestServerLiveObjects";
constexpr char kTestServerRunCalls[] = "TestServerRunCalls";
