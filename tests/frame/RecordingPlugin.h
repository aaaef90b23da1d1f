// A plug-in object whose every routed operation records its slot and answers
// a value of its own, so a test sees exactly where a message went.
#pragma once

#include <vector>

#include "frame/Plugin.h"

class RecordingPlugin : public Plugin {
public:
    RecordingPlugin() : Plugin(nullptr) {}

    static ASErr AnswerOf(int slot) { return 1000 + slot; }

    std::vector<int> calls;
    ASErr appStartedAnswer = kNoErr;
    ASErr purgeAnswer = kNoErr;

#define RECORD(slot, name, type) \
    ASErr name(type) override {  \
        calls.push_back(slot);   \
        return AnswerOf(slot);   \
    }
    RECORD(6, OnUnload, SPMessageData*)
    RECORD(7, OnReload, SPMessageData*)
    RECORD(8, OnPropertyAcquire, SPMessageData*)
    RECORD(9, OnPropertyRelease, SPMessageData*)
    RECORD(11, OnAbout, SPMessageData*)
    RECORD(19, OnNotify, AINotifierMessage*)
    RECORD(20, OnDoAction, void*)
    RECORD(21, OnMenuGo, AIMenuMessage*)
    RECORD(22, OnMenuUpdate, AIMenuMessage*)
    RECORD(23, OnFilterGetParameters, void*)
    RECORD(24, OnFilterGo, void*)
    RECORD(25, OnPluginGroupNotifyEdits, void*)
    RECORD(26, OnPluginGroupUpdate, void*)
    RECORD(27, OnFileFormatGetParameters, void*)
    RECORD(28, OnFileFormatGo, void*)
    RECORD(29, OnFileFormatCheck, void*)
    RECORD(30, OnFileFormatUpdate, void*)
    RECORD(31, OnFileFormatDoAction, void*)
    RECORD(32, OnToolEditOptions, void*)
    RECORD(33, OnToolTrackCursor, void*)
    RECORD(34, OnToolMouseDown, void*)
    RECORD(35, OnToolMouseDrag, void*)
    RECORD(36, OnToolMouseUp, void*)
    RECORD(37, OnToolSelect, void*)
    RECORD(38, OnToolDeselect, void*)
    RECORD(39, OnToolReselect, void*)
    RECORD(40, OnToolDecreaseDiameter, void*)
    RECORD(41, OnToolIncreaseDiameter, void*)
    RECORD(42, OnLiveEffectEditParameters, void*)
    RECORD(43, OnLiveEffectGoLive, void*)
    RECORD(44, OnLiveEffectInterpolateParameters, void*)
    RECORD(45, OnLiveEffectInputType, void*)
    RECORD(46, OnLiveEffectConvertColorSpace, void*)
    RECORD(47, OnLiveEffectScaleParameters, void*)
    RECORD(48, OnLiveEffectAdjustColors, void*)
    RECORD(49, OnLiveEffectHandleMerge, void*)
    RECORD(50, OnTimerGo, void*)
    RECORD(51, OnClipboardGo, void*)
    RECORD(52, OnClipboardCanCopy, void*)
    RECORD(53, OnClipboardClone, void*)
    RECORD(54, OnClipboardDispose, void*)
    RECORD(55, OnWorkspaceWrite, void*)
    RECORD(56, OnWorkspaceRestore, void*)
    RECORD(57, OnWorkspaceDefault, void*)
#undef RECORD

    ASErr OnAppStarted() override {
        calls.push_back(4);
        return appStartedAnswer;
    }
    ASErr OnPurgeCache() override {
        calls.push_back(12);
        return purgeAnswer;
    }
};
