/*
 * A stand-in dialog library for the loader's tests. Built three ways: with the optional about
 * text (TESTKELV_ABOUT_TEXT), with the about box alone, and without the about box
 * (TESTKELV_OMIT_ABOUT_BOX) to stand for a library that lacks a required function.
 */
#include "controller/KelvApi.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

#ifndef TESTKELV_OMIT_ABOUT_BOX
int32_t KELVDLG_AboutBox(void* parentWindow, const char* caption, int32_t reserved) {
    return 1;
}
#endif

#ifdef TESTKELV_ABOUT_TEXT
const char* KELVDLG_AboutText(void) {
    return "test dialog library";
}
#endif

/* Keeps every variant a non-empty library. */
int testkelv_dialog_variant(void) {
    return 0;
}
