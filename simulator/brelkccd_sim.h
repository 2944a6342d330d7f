/*
 * brelkccd_sim.h - controls of the simulated camera, for tests and rehearsals.
 * Not part of the camera maker's SDK: only the simulator exports these.
 *
 * THE CAMERAS
 *   "SIM-MONO"   monochrome, cooled, 7-slot filter wheel; no humidity or
 *                pressure sensor, no colour controls (2, 3, 4, 20, 59).
 *   "SIM-COLOR"  colour (RGGB: availability of control 20 answers 4), cooled,
 *                humidity 45.0 (%) and pressure 1013.25 (hPa) sensors; no
 *                filter wheel (control 17, 44 and IsBRELKCCDCFWPlugged: -1).
 *   Any other ID opens nothing (null handle).
 *
 *                           SIM-MONO                SIM-COLOR
 *   whole frame (chip info) 3072 x 2048             4096 x 2760
 *   pixel                   3.75 x 3.75 um          3.8 x 3.8 um
 *   chip                    11.52 x 7.68 mm         15.5648 x 10.488 mm
 *   bits per pixel          16                      14
 *   effective area x,y,w,h  48, 24, 3008, 2008      16, 8, 4064, 2744
 *   overscan area x,y,w,h   8, 24, 32, 2008         4080, 8, 16, 2744
 *   read modes              0 to 3                  0 to 1
 *   ambient temperature     20.0 C                  20.0 C
 *   deepest cooling         35 C below ambient      30 C below ambient
 *   thermal time constant   120 s                   90 s
 *   filter wheel            7 slots, 1 s per step   none
 *
 * LIFE CYCLE
 *   OpenBRELKCCD opens the camera (opening an open camera again returns the
 *   same handle, its state intact). Read mode and stream mode (0 or 1) are
 *   accepted while the camera is open and no exposure runs; InitBRELKCCD makes
 *   the camera ready (again, keeping its settings). Every other operation
 *   answers -1 (GetBRELKCCDParam -1.0) unless the camera is initialised: before
 *   init, after CloseBRELKCCD and after ReleaseBRELKCCDResource. Close ends
 *   any exposure and switches the cooler off; reopening a closed camera needs
 *   a new init and keeps its settings. Release closes every camera; the next
 *   open starts from the power-on settings. The sensor temperature and the
 *   wheel are physical and carry on through close and release.
 *
 * CONTROLS (SetBRELKCCDParam; a value out of range, NaN or infinite answers
 * -1 and is not applied; GetBRELKCCDParam reads back what was applied)
 *   0 brightness  -100 to 100, power-on 0       1 contrast  -100 to 100, 0
 *   2, 3, 4 red, blue, green balance 0 to 255, 128 (SIM-COLOR only)
 *   5 gamma  0.1 to 3.0, 1.0                    6 gain  0 to 100, 0
 *   7 offset  0 to 255, 30                      12 traffic  0 to 255, 30
 *   8 exposure time in microseconds, 1 to 3.6e9 (one hour), 1e6
 *   48 DDR  0 or 1, 1
 *   16 cooler PWM  0 to 255: a fixed power; 0 switches the cooler off.
 *      Read back: the power the cooler runs at now (also under regulation).
 *   18 target temperature  -50 to 50 C: the regulator holds the sensor there.
 *      Read back: the last target, 0 at power-on.
 *   14 sensor temperature, 44 wheel slots (7), 20 pattern code (4),
 *   59 colour camera (1), 62 humidity, 63 pressure: read only.
 *   IsBRELKCCDControlAvailable answers 0 for every control the camera has
 *   (the pattern code for 20) and -1 for the others.
 *
 * COOLING
 *   The sensor relaxes exponentially, with the thermal time constant, toward
 *   ambient - depth * power / 255. Under a target the regulator runs at full
 *   power (255) until the sensor reaches the target, then holds it exactly with
 *   the power that keeps it there, 255 * (ambient - target) / depth; above the
 *   target it idles (0) while the sensor warms. Time from ambient to a target
 *   t: tau * ln(depth / (t - ambient + depth)); SIM-MONO to -10 C takes
 *   120 * ln(35 / 5) = 233.5 s. A target at or below ambient - depth is
 *   approached for ever and never reached; one above ambient leaves the
 *   sensor at ambient. With the cooler off the sensor drifts back to ambient.
 *
 * FILTER WHEEL (SIM-MONO, control 17)
 *   Target: a slot as an ASCII digit '0' to '6' (48 to 54) or as a plain number
 *   0 to 6; anything else answers -1, and so does a new target while the wheel
 *   moves. The wheel turns the shorter way round, 1 s per slot step (0 to 3:
 *   3 s, 0 to 6: 1 s); the present slot as a target is accepted and moves
 *   nothing. Status: '0' + slot at rest (51.0 for slot 3), 'N' (78.0) while
 *   moving. Power-on: slot 0.
 *
 * EXPOSURE
 *   ExpBRELKCCDSingleFrame runs for the exposure time set when it starts;
 *   CancelBRELKCCDExposingAndReadout ends it. BeginBRELKCCDLive runs until
 *   StopBRELKCCDLive. Starting either while either runs answers -1; so do
 *   the ROI, read mode, stream mode and init. Cancel and stop succeed (0) on
 *   an initialised camera when nothing of theirs runs, and touch only their
 *   own kind of exposure.
 *
 * REGION OF INTEREST (SetBRELKCCDResolution)
 *   x, y, size x, size y relative to the effective area: sizes above 0,
 *   x + size x <= its width and y + size y <= its height; else -1.
 *
 * SCRIPTING
 *   A scripted result replaces what the simulated camera would answer to an
 *   operation, for one control where the operation takes one
 *   (SetBRELKCCDParam, GetBRELKCCDParam, IsBRELKCCDControlAvailable) or for
 *   every control (BRELKSIM_ANY_CONTROL, the only key the other operations
 *   look up), whatever state the camera is in. A control's own script is
 *   used before the one for every control. BrelkSimScript answers every later
 *   call; BrelkSimScriptNext only the next `count` calls it answers, after
 *   which those calls fall back to the script for every control, if any,
 *   else to the camera. A new script for the same operation and control
 *   replaces the old one. BrelkSimUnscript and BrelkSimUnscriptAll remove
 *   scripts without touching the cameras; BrelkSimReset clears them with
 *   everything else.
 *
 *   Results are given as doubles: for operations with a 32-bit result the
 *   value is taken as a signed integer (-1 is all bits set); for
 *   GetBRELKCCDParam it is the value returned. A scripted -1 fails the call
 *   before it reaches the camera, which therefore changes nothing (no setting
 *   applied, no wheel move, no exposure, no close); any other scripted result
 *   lets the camera act as usual and replaces only its answer. OpenBRELKCCD
 *   returns a handle, so only 0 means anything there: the open fails with a
 *   null handle and the camera is not touched; any other result opens the
 *   camera exactly as an unscripted call does.
 *
 * Journal: every SDK call is recorded as one line of text, the operation and
 * its arguments without the handle, doubles printed with %.17g:
 *   OpenBRELKCCD("SIM-MONO")  SetBRELKCCDParam(6, 30)  ReleaseBRELKCCDResource()
 * It keeps the last BRELKSIM_JOURNAL_LIMIT lines, so a night of polling on the
 * simulator does not grow its memory; BrelkSimSetJournal(0) stops recording.
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
#define BRELKSIM_JOURNAL_LIMIT 100000

/* Back to power-on: every camera closed and at its defaults (sensor at
 * ambient, wheel at slot 0), scripts and journal cleared, and the clock back
 * to the real clock at scale 1 and time 0. */
BRELKCCD_API void BrelkSimReset(void);

/* Scripts the result of `operation` (an SDK function name) for `control`, or
 * for every control with BRELKSIM_ANY_CONTROL, for every later call. Returns
 * 0, or -1 for an unknown operation name. */
BRELKCCD_API int BrelkSimScript(const char* operation, int32_t control, double result);

/* The same for the next `count` calls it answers only, so a fault can be
 * transient: BrelkSimScriptNext("SetBRELKCCDParam", 6, -1, 1) fails the next
 * gain setting and lets the one after it through. Returns 0, or -1 for an
 * unknown operation name or a count of 0. */
BRELKCCD_API int BrelkSimScriptNext(const char* operation, int32_t control, double result, uint32_t count);

/* Removes the script of `operation` for exactly `control` (with
 * BRELKSIM_ANY_CONTROL, the one for every control); scripts for other
 * controls stay. Returns 0, also when there was none, or -1 for an unknown
 * operation name. */
BRELKCCD_API int BrelkSimUnscript(const char* operation, int32_t control);

/* Removes every script of `operation`, for each control and for every
 * control, and its scripted outputs: it answers as the camera does again.
 * Returns 0, or -1 for an unknown operation name. */
BRELKCCD_API int BrelkSimUnscriptAll(const char* operation);

/* Scripts what an operation with out pointers writes: values[i] goes to its
 * i-th out pointer when bit i of writtenMask is set; the others are left
 * untouched, the camera's own values included. Written on every later call
 * whatever the result, which is scripted with BrelkSimScript, until
 * BrelkSimUnscriptAll or BrelkSimReset. */
BRELKCCD_API int BrelkSimScriptOutputs(const char* operation, size_t count, const double* values,
                                       uint32_t writtenMask);

/* Time. The simulator follows the real clock by default. BrelkSimReset brings
 * back the real clock at scale 1 and simulated time 0; tests that want a
 * manual clock set it after every reset. Switching mode or scale never makes
 * the simulated time jump. Non-finite or non-positive arguments are ignored. */
BRELKCCD_API void BrelkSimSetManualClock(int manual); /* 1: time moves only by BrelkSimAdvance; 0: the real clock */
BRELKCCD_API void BrelkSimAdvance(double seconds);   /* moves the manual clock forward (the real one too) */
BRELKCCD_API void BrelkSimSetTimeScale(double factor); /* the real clock runs factor times faster (rehearsals, demo) */
BRELKCCD_API double BrelkSimNow(void);               /* simulated seconds since the last reset */

BRELKCCD_API size_t BrelkSimJournalSize(void);
/* Entry `index`, or NULL past the end; valid until the journal changes. */
BRELKCCD_API const char* BrelkSimJournalEntry(size_t index);
BRELKCCD_API void BrelkSimJournalClear(void);
/* Whether SDK calls are recorded: 1 (the default, and after BrelkSimReset) or
 * 0, for long runs and benchmarks. Lines already recorded stay. */
BRELKCCD_API void BrelkSimSetJournal(int on);

#ifdef __cplusplus
}

#include <string>
#include <vector>

namespace brelksim {
// The journal's lines, oldest first.
inline std::vector<std::string> journal() {
  std::vector<std::string> lines;
  for (size_t i = 0, n = BrelkSimJournalSize(); i < n; ++i) lines.emplace_back(BrelkSimJournalEntry(i));
  return lines;
}
}  // namespace brelksim
#endif

#endif
