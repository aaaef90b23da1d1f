// Open documents. Acquired by the plug-in, not called.
#pragma once

#include "hostapi/types.h"

inline constexpr char kAIDocumentSuite[] = "AI Document Suite";
constexpr ASInt32 kAIDocumentSuiteVersion = 8;

struct AIDocumentSuite8 {
    ASErr(HOSTAPI* CountDocuments)(ASInt32* count);
    // The path in UTF-8, terminated inside maxLength.
    ASErr(HOSTAPI* GetDocumentPath)(ASInt32 index, char* path, ASInt32 maxLength);
    ASErr(HOSTAPI* SetDocumentModified)(ASInt32 index, ASBoolean modified);
};
