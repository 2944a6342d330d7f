/*
 * brelkccd_sim.h - controls of the simulated camera, for tests and rehearsals.
 * Not part of the camera maker's SDK: only the simulator exports these.
 *
 * Scripting: a scripted result replaces what the simulated camera would
 * answer, for every later call of that operation (and control, where the
 * operation takes one) until BrelkSimReset. Results are given as doubles:
 * for operations with a 32-bit result the value is taken as a signed
 * integer (-1 is all bits set); for GetBRELKCCDParam it is the value
 * returned; for OpenBRELKCCD, 0 makes the open fail with a null handle.
 *
 * Journal: every SDK call is recorded as one line of text, the operation and
 * its arguments without the handle, doubles printed with %.17g:
 *   OpenBRELKCCD("SIM-MONO")  SetBRELKCCDParam(6, 30)  ReleaseBRELKCCDResource()
 */
#ifndef BRELKCCD_SIM_H
#define BRELKCCD_SIM_H

#include <stddef.h>
#include <stdint.h>

#include "brelkccd.h"

#ifdef __cplusplus
extern "C" {
#endif

#define BRELKSIM_ANY_CONTROL (-1)

/* Back to power-on: every camera closed and at its defaults, scripts and journal cleared. */
BRELKCCD_API void BrelkSimReset(void);

/* Scripts the result of `operation` (an SDK function name) for `control`, or
 * for every control with BRELKSIM_ANY_CONTROL. Returns 0, or -1 for an
 * unknown operation name. */
BRELKCCD_API int BrelkSimScript(const char* operation, int32_t control, double result);

/* Scripts what an operation with out pointers writes: values[i] goes to its
 * i-th out pointer when bit i of writtenMask is set; the others are left
 * untouched. Its result is scripted with BrelkSimScript. */
BRELKCCD_API int BrelkSimScriptOutputs(const char* operation, size_t count, const double* values,
                                       uint32_t writtenMask);

/* Time. The simulator follows the real clock by default. BrelkSimReset brings
 * back the real clock at scale 1 and simulated time 0; tests that want a
 * manual clock set it after every reset. */
BRELKCCD_API void BrelkSimSetManualClock(int manual); /* 1: time moves only by BrelkSimAdvance; 0: the real clock */
BRELKCCD_API void BrelkSimAdvance(double seconds);   /* moves the manual clock forward */
BRELKCCD_API void BrelkSimSetTimeScale(double factor); /* the real clock runs factor times faster (rehearsals, demo) */
BRELKCCD_API double BrelkSimNow(void);               /* simulated seconds since the last reset */

BRELKCCD_API size_t BrelkSimJournalSize(void);
/* Entry `index`, or NULL past the end; valid until the journal changes. */
BRELKCCD_API const char* BrelkSimJournalEntry(size_t index);
BRELKCCD_API void BrelkSimJournalClear(void);

#ifdef __cplusplus
}
#endif

#endif
