/*
 * The simulated card's own functions, exported by libkelvapi32.so beside the controller
 * library's functions of controller/KelvApi.h.
 *
 * Tests and developers call these to drive the card from outside: power it on again, move its
 * clock by hand, set its digital inputs, read its outputs, make it misbehave and read back what
 * the station downloaded. The station itself never calls any of them, and none of them is
 * traced.
 */
#ifndef MORVIK_CARDSIM_KELVSIM_H
#define MORVIK_CARDSIM_KELVSIM_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Faults for KelvSimSetFault. */
#define KELVSIM_FAULT_REFUSE_OPEN 1  /* KelvOpen fails in both modes */
#define KELVSIM_FAULT_REFUSE_ASCII 2 /* KelvOpen fails in ASCII mode only */
#define KELVSIM_FAULT_NEVER_READY 3  /* dornrdy never reports ready, on either handle */
#define KELVSIM_FAULT_DROP_REPLIES 4 /* no ASCII text is queued for the station to read */

/* Results of the library functions besides 0 (success). */
#define KELVSIM_ERR_HANDLE (-1)   /* the handle is not open, or is of the wrong kind */
#define KELVSIM_ERR_ARGUMENT (-2) /* NULL pointer, bad size, type or number */
#define KELVSIM_ERR_CODE (-3)     /* unknown binary command code */
#define KELVSIM_ERR_AXIS (-4)     /* the axis is not configured */
#define KELVSIM_ERR_BUSY (-5)     /* refused: a program owns the axes, or an emergency stop */

/* Power-on state: handles closed, controller files and programs erased, I/O 0, faults off,
   real clock, axes at 0, no configuration. */
void KelvSimReset(void);
/* on: the card's time only moves by KelvSimAdvanceMs (starting at 0); off: the steady clock. */
void KelvSimUseManualClock(int on);
void KelvSimAdvanceMs(uint32_t ms);
/* The bits in mask take their value from values (inputs are set from outside the card). */
void KelvSimSetInputs(uint32_t mask, uint32_t values);
/* The whole 32-bit I/O word, inputs and outputs. */
uint32_t KelvSimGetIoWord(void);
void KelvSimSetFault(int fault, int on);
/* NULL: back to the file named by the environment variable KELVSIM_TRACE (if any). */
void KelvSimSetTraceFile(const char* path);
/* Copies stored controller file `number` into buffer (NUL-terminated, cut to size - 1);
   returns the file's whole length, or -1 when there is no such file. */
int KelvSimControllerFile(int number, char* buffer, int size);
/* The card's time in milliseconds (manual or steady clock). */
uint64_t KelvSimNowMs(void);
/* Commanded and current position and velocity (per second) of controller axis `axis`, in the
   card's units; returns 0, or -1 when the axis is not configured. Any pointer may be NULL. */
int KelvSimAxisState(int axis, double* optimal, double* current, double* velocity);

#ifdef __cplusplus
}
#endif

#endif
