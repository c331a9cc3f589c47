// The stand-in dialog library libkelvdlg32.so. It shows nothing itself: the about box writes
// its text to the trace (when KELVSIM_TRACE names a file) or else to stderr and answers OK;
// the station shows KELVDLG_AboutText in an about box of its own.
#pragma GCC visibility push(default)
#include "controller/KelvApi.h"
extern "C" const char* KELVDLG_AboutText(void);
#pragma GCC visibility pop

#include "cardsim/Trace.h"

#include <cstdio>
#include <string>

#ifndef MORVIK_VERSION
#define MORVIK_VERSION "0.0.0"
#endif

using namespace morvik;

#pragma GCC visibility push(default)
extern "C" {

const char* KELVDLG_AboutText(void) {
    return "Morvik operator station\n"
           "Version " MORVIK_VERSION "\n"
           "Copyright (C) the Morvik developers";
}

int32_t KELVDLG_AboutBox(void* parentWindow, const char* caption, int32_t reserved) {
    const std::string text =
        std::string(caption != nullptr ? caption : "") + "\n" + KELVDLG_AboutText();
    CTrace trace;
    if (trace.Enabled()) {
        trace.Write(CTraceLine("KELVDLG_AboutBox")
                        .Arg(parentWindow != nullptr ? std::string("window") : "NULL")
                        .Arg(TraceText(caption))
                        .Arg(reserved)
                        .Result(1)
                        .Output(TraceText(text))
                        .Text());
    } else {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
    return 1;
}

} // extern "C"
#pragma GCC visibility pop
