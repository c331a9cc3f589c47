/*
 * The controller library's functions as the station calls them.
 *
 * The station never links this library: controller/ApiLoader resolves each function by name
 * from libkelvapi32.so (and KELVDLG_AboutBox from libkelvdlg32.so) at run time. The simulated
 * card in cardsim/ exports exactly these symbols with C linkage, so a real vendor library, the
 * simulator and a test fake are interchangeable.
 *
 * Handles are 16-bit; a negative handle from KelvOpen is a failure. Binary arguments and
 * replies are passed through pointers with a type code: 2 is a 32-bit signed integer,
 * 4 a double.
 */
#ifndef MORVIK_CONTROLLER_KELVAPI_H
#define MORVIK_CONTROLLER_KELVAPI_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef int16_t KELVHANDLE;

#define KELV_MODE_ASCII 0x8001
#define KELV_MODE_BINARY 0x8002

#define KELV_TYPE_INT32 2
#define KELV_TYPE_DOUBLE 4

/* Axis status conditions understood by KelvDecodeStatus. */
#define KELV_COND_MOTION_FINISHED 3
#define KELV_COND_AXIS_ERROR 7

/* Configuration record: 128 bytes; the first field is its size, the third the card type. */
typedef struct KELVCONFIG {
    int32_t size;
    int32_t cardRevision;
    int32_t controllerType;
    int32_t axisCount;
    int32_t reserved[28];
} KELVCONFIG;

KELVHANDLE KelvOpen(int16_t controllerId, uint16_t mode, int32_t reserved);
int32_t KelvClose(KELVHANDLE h);
int32_t KelvGetConfigurationEx(KELVHANDLE h, KELVCONFIG* config);

/* Binary channel: a numbered command with one argument, and the reply to the last command. */
int32_t dorncmdex(KELVHANDLE h, int16_t axis, int32_t code, void* argument, int16_t type);
int32_t dornrpyex(KELVHANDLE h, void* reply, int16_t type);
/* ASCII handle: -1 when the card can take more text. Binary handle: non-zero when ready. */
int16_t dornrdy(KELVHANDLE h);

/* ASCII channel. */
int32_t dornputs(KELVHANDLE h, const char* text);
int16_t dorngets(KELVHANDLE h, char* buffer, int16_t size);
int16_t dorngetc(KELVHANDLE h);

int32_t KelvBlockBegin(KELVHANDLE h, int16_t mode, int32_t number);
int32_t KelvBlockEnd(KELVHANDLE h, int16_t mode);
int32_t KelvMacroCall(KELVHANDLE h, int32_t macro);

/* Axes, by controller axis number (1 and up). */
int32_t KelvGetStatus(KELVHANDLE h, int16_t axis);
int32_t KelvDecodeStatus(KELVHANDLE h, int32_t status, int16_t condition);
int32_t KelvGetPositionEx(KELVHANDLE h, int16_t axis, double* position);
int32_t KelvGetOptimalEx(KELVHANDLE h, int16_t axis, double* position);
int32_t KelvGetTargetEx(KELVHANDLE h, int16_t axis, double* position);
int32_t KelvMoveAbsolute(KELVHANDLE h, int16_t axis, double position);
int32_t KelvMoveRelative(KELVHANDLE h, int16_t axis, double distance);
int32_t KelvSetVelocity(KELVHANDLE h, int16_t axis, double velocity);
int32_t KelvSetAcceleration(KELVHANDLE h, int16_t axis, double acceleration);
int32_t KelvSetDeceleration(KELVHANDLE h, int16_t axis, double deceleration);
int32_t KelvSetVelocityOverride(KELVHANDLE h, int16_t axis, double factor);
/* mode: 4 a jogged axis (velocity mode), 2 the cutter. */
int32_t KelvSetOperatingMode(KELVHANDLE h, int16_t axis, int16_t master, int16_t mode);
int32_t KelvEnableAxis(KELVHANDLE h, int16_t axis, int16_t state);
/* direction: 1 positive, 2 negative. */
int32_t KelvDirection(KELVHANDLE h, int16_t axis, int16_t direction);
int32_t KelvGo(KELVHANDLE h, int16_t axis);
int32_t KelvStop(KELVHANDLE h, int16_t axis);

/* Digital I/O: one 32-bit word, channel n at bit n-1. */
int32_t KelvEnableDigitalIO(KELVHANDLE h, int16_t channel, int16_t state);
int32_t KelvGetDigitalIOEx(KELVHANDLE h, int16_t reserved, uint32_t* word);

/* Dialog library. */
int32_t KELVDLG_AboutBox(void* parentWindow, const char* caption, int32_t reserved);

#ifdef __cplusplus
}
#endif

#endif
