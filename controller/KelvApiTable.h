// The controller library as a table of function pointers.
//
// The station never calls the library directly: ApiLoader fills a KelvApiTable by name from
// libkelvapi32.so, tests fill one with the fake of tests/support/FakeKelvApi.h, and
// MotionController only ever calls through the table. Each member has the name and the exact
// type of the C declaration in KelvApi.h, so a signature change there changes the table too.
#pragma once

#include "controller/KelvApi.h"

namespace morvik {

// Every function of the controller library that the station calls, once. The loader resolves
// exactly these names; a library that lacks one of them is refused.
#define MORVIK_KELVAPI_FUNCTIONS(X)                                                                \
    X(KelvOpen)                                                                                    \
    X(KelvClose)                                                                                   \
    X(KelvGetConfigurationEx)                                                                      \
    X(dorncmdex)                                                                                   \
    X(dornrpyex)                                                                                   \
    X(dornrdy)                                                                                     \
    X(dornputs)                                                                                    \
    X(dorngets)                                                                                    \
    X(dorngetc)                                                                                    \
    X(KelvBlockBegin)                                                                              \
    X(KelvBlockEnd)                                                                                \
    X(KelvMacroCall)                                                                               \
    X(KelvGetStatus)                                                                               \
    X(KelvDecodeStatus)                                                                            \
    X(KelvGetPositionEx)                                                                           \
    X(KelvGetOptimalEx)                                                                            \
    X(KelvGetTargetEx)                                                                             \
    X(KelvMoveAbsolute)                                                                            \
    X(KelvMoveRelative)                                                                            \
    X(KelvSetVelocity)                                                                             \
    X(KelvSetAcceleration)                                                                         \
    X(KelvSetDeceleration)                                                                         \
    X(KelvSetVelocityOverride)                                                                     \
    X(KelvSetOperatingMode)                                                                        \
    X(KelvEnableAxis)                                                                              \
    X(KelvDirection)                                                                               \
    X(KelvGo)                                                                                      \
    X(KelvStop)                                                                                    \
    X(KelvEnableDigitalIO)                                                                         \
    X(KelvGetDigitalIOEx)

#define MORVIK_KELVAPI_MEMBER(name) decltype(&::name) name = nullptr;

struct KelvApiTable {
    MORVIK_KELVAPI_FUNCTIONS(MORVIK_KELVAPI_MEMBER)
};

// The dialog library. The about box is required; the about text is a later addition that an
// older library may lack, so it is resolved when present and left null otherwise.
using KelvDlgAboutTextFn = const char* (*)(void);

struct KelvDlgTable {
    decltype(&::KELVDLG_AboutBox) KELVDLG_AboutBox = nullptr;
    KelvDlgAboutTextFn KELVDLG_AboutText = nullptr;
};

#undef MORVIK_KELVAPI_MEMBER

} // namespace morvik
