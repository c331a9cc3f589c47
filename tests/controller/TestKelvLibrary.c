/*
 * A stand-in controller library for the loader's tests: every function the station calls, with
 * answers a test can recognise (handles 0x777, card type 77). Built twice: complete, and with
 * TESTKELV_OMIT_DORNGETC to stand for an older library that lacks one function.
 */
#include "controller/KelvApi.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

KELVHANDLE KelvOpen(int16_t controllerId, uint16_t mode, int32_t reserved) {
    return 0x777;
}
int32_t KelvClose(KELVHANDLE h) {
    return 0;
}
int32_t KelvGetConfigurationEx(KELVHANDLE h, KELVCONFIG* config) {
    config->controllerType = 77;
    return 0;
}
int32_t dorncmdex(KELVHANDLE h, int16_t axis, int32_t code, void* argument, int16_t type) {
    return 0;
}
int32_t dornrpyex(KELVHANDLE h, void* reply, int16_t type) {
    return 0;
}
int16_t dornrdy(KELVHANDLE h) {
    return -1;
}
int32_t dornputs(KELVHANDLE h, const char* text) {
    return 0;
}
int16_t dorngets(KELVHANDLE h, char* buffer, int16_t size) {
    return 0;
}
#ifndef TESTKELV_OMIT_DORNGETC
int16_t dorngetc(KELVHANDLE h) {
    return 0;
}
#endif
int32_t KelvBlockBegin(KELVHANDLE h, int16_t mode, int32_t number) {
    return 0;
}
int32_t KelvBlockEnd(KELVHANDLE h, int16_t mode) {
    return 0;
}
int32_t KelvMacroCall(KELVHANDLE h, int32_t macro) {
    return 0;
}
int32_t KelvGetStatus(KELVHANDLE h, int16_t axis) {
    return 0;
}
int32_t KelvDecodeStatus(KELVHANDLE h, int32_t status, int16_t condition) {
    return 0;
}
int32_t KelvGetPositionEx(KELVHANDLE h, int16_t axis, double* position) {
    return 0;
}
int32_t KelvGetOptimalEx(KELVHANDLE h, int16_t axis, double* position) {
    return 0;
}
int32_t KelvGetTargetEx(KELVHANDLE h, int16_t axis, double* position) {
    return 0;
}
int32_t KelvMoveAbsolute(KELVHANDLE h, int16_t axis, double position) {
    return 0;
}
int32_t KelvMoveRelative(KELVHANDLE h, int16_t axis, double distance) {
    return 0;
}
int32_t KelvSetVelocity(KELVHANDLE h, int16_t axis, double velocity) {
    return 0;
}
int32_t KelvSetAcceleration(KELVHANDLE h, int16_t axis, double acceleration) {
    return 0;
}
int32_t KelvSetDeceleration(KELVHANDLE h, int16_t axis, double deceleration) {
    return 0;
}
int32_t KelvSetVelocityOverride(KELVHANDLE h, int16_t axis, double factor) {
    return 0;
}
int32_t KelvSetOperatingMode(KELVHANDLE h, int16_t axis, int16_t master, int16_t mode) {
    return 0;
}
int32_t KelvEnableAxis(KELVHANDLE h, int16_t axis, int16_t state) {
    return 0;
}
int32_t KelvDirection(KELVHANDLE h, int16_t axis, int16_t direction) {
    return 0;
}
int32_t KelvGo(KELVHANDLE h, int16_t axis) {
    return 0;
}
int32_t KelvStop(KELVHANDLE h, int16_t axis) {
    return 0;
}
int32_t KelvEnableDigitalIO(KELVHANDLE h, int16_t channel, int16_t state) {
    return 0;
}
int32_t KelvGetDigitalIOEx(KELVHANDLE h, int16_t reserved, uint32_t* word) {
    return 0;
}
