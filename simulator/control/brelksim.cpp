// brelksim(command, ...): the simulated camera's test controls, for Octave and
// MATLAB scripts that rehearse a night or test the toolbox. Not one of the
// toolbox functions: misuse raises an error naming the right call.
//
//   brelksim('reset')                               power-on state, scripts and journal cleared
//   brelksim('script', operation, result)           every later call, every control
//   brelksim('script', operation, control, result[, count])
//                                                   operations with a control; [] every control
//   brelksim('script', operation, result, count)    operations without one: the next count calls
//   brelksim('unscript', operation[, control])      script removed; cameras untouched
//   brelksim('outputs', operation, values[, mask])  what its out pointers receive; no mask: all
//   lines = brelksim('journal')                     every SDK call so far, one char row each
//   brelksim('journal', 'off' | 'on')               stops or resumes recording (reset: on)
//   brelksim('clearjournal')
//   brelksim('clock', 'manual' | 'real')            manual: time moves only by 'advance'
//   brelksim('advance', seconds)
//   brelksim('timescale', factor)                   real clock running factor times faster
//   t = brelksim('now')                             the simulated time in seconds
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "brelkccd_sim.h"
#include "mex.h"
#include "sdk_operations.h"

#if defined(_WIN32)
#  define BRELKSIM_EXPORT __declspec(dllexport)
#else
#  define BRELKSIM_EXPORT __attribute__((visibility("default")))
#endif

namespace {

constexpr size_t kTextSize = 128;
constexpr size_t kMaxOutputs = 32;  // bits of the written mask

// What went wrong, filled by the first check that fails; raised as an error
// once every local is gone.
struct Misuse {
  char text[256] = "";
  bool set() const { return text[0] != '\0'; }
};

struct Args {
  int nlhs;
  mxArray** plhs;
  int nrhs;
  const mxArray** prhs;
  Misuse& misuse;

  void refuse(const char* format, const char* what) const {
    if (!misuse.set()) std::snprintf(misuse.text, sizeof misuse.text, format, what);
  }

  // [], which stands for every control.
  bool empty(int index) const {
    return index < nrhs && mxGetClassID(prhs[index]) == mxDOUBLE_CLASS && mxGetNumberOfElements(prhs[index]) == 0;
  }

  // A known SDK operation's name.
  bool operation(int index, char (&out)[kTextSize]) const {
    if (!text(index, out, "the operation")) return false;
    if (!brelksim::knownOperation(out)) refuse("unknown SDK operation '%s'.", out);
    return !misuse.set();
  }

  // A control number, or [] for every control, for an operation that takes
  // one; an operation without a control takes only [].
  bool control(int index, const char* op, int32_t& out) const {
    out = BRELKSIM_ANY_CONTROL;
    if (empty(index)) return true;
    if (!brelksim::takesControl(op)) {
      refuse("%s takes no control: give [] or leave it out.", op);
      return false;
    }
    double value = 0;
    if (!number(index, value, "the control")) return false;
    if (value != std::trunc(value) || value < 0 || value > INT32_MAX) {
      refuse("%s must be a control number from 0 to 2147483647, or [] for every control.", "the control");
      return false;
    }
    out = static_cast<int32_t>(value);
    return true;
  }

  bool text(int index, char (&out)[kTextSize], const char* what) const {
    if (index >= nrhs || mxGetClassID(prhs[index]) != mxCHAR_CLASS ||
        mxGetString(prhs[index], out, kTextSize) != 0) {
      refuse("%s must be a char row.", what);
      return false;
    }
    return true;
  }

  // A real double scalar; finite unless `anyValue` (a scripted NaN or Inf is a test case).
  bool number(int index, double& out, const char* what, bool anyValue = false) const {
    if (index >= nrhs || mxGetClassID(prhs[index]) != mxDOUBLE_CLASS || mxIsComplex(prhs[index]) ||
        mxGetNumberOfElements(prhs[index]) != 1 || !(anyValue || std::isfinite(*mxGetPr(prhs[index])))) {
      refuse(anyValue ? "%s must be a real double scalar." : "%s must be a finite real double scalar.", what);
      return false;
    }
    out = *mxGetPr(prhs[index]);
    return true;
  }

  bool count(int inputs, const char* usage) const {
    if (nrhs != inputs) refuse("usage: %s", usage);
    return nrhs == inputs;
  }
};

void reset(const Args& a) {
  if (a.count(1, "brelksim('reset')")) BrelkSimReset();
}

// The control stands before the result where the operation takes one, or
// as [] for every control; a count stands after the result. So four inputs
// are (operation, control, result) for the three operations with a control
// and (operation, result, count) for the others.
void script(const Args& a) {
  char operation[kTextSize];
  if (a.nrhs < 3 || a.nrhs > 5) {
    a.refuse("usage: %s", "brelksim('script', operation, [control,] result[, count])");
    return;
  }
  if (!a.operation(1, operation)) return;
  const bool hasControl = a.nrhs == 5 || (a.nrhs == 4 && brelksim::takesControl(operation));
  const int resultAt = hasControl ? 3 : 2;
  int32_t control = BRELKSIM_ANY_CONTROL;
  double result = 0, count = 0;
  if (hasControl && !a.control(2, operation, control)) return;
  if (!a.number(resultAt, result, "the result", true)) return;
  if (resultAt + 1 < a.nrhs) {
    if (!a.number(resultAt + 1, count, "the count")) return;
    if (count != std::trunc(count) || count < 1 || count > 4294967295.0) {
      a.refuse("%s must be a whole number from 1 to 2^32-1.", "the count");
      return;
    }
    BrelkSimScriptNext(operation, control, result, static_cast<uint32_t>(count));
  } else {
    BrelkSimScript(operation, control, result);
  }
}

void unscript(const Args& a) {
  char operation[kTextSize];
  if (a.nrhs != 2 && a.nrhs != 3) {
    a.refuse("usage: %s", "brelksim('unscript', operation[, control])");
    return;
  }
  if (!a.operation(1, operation)) return;
  int32_t control = BRELKSIM_ANY_CONTROL;
  if (a.nrhs == 2) {
    BrelkSimUnscriptAll(operation);
  } else if (a.control(2, operation, control)) {
    BrelkSimUnscript(operation, control);
  }
}

void outputs(const Args& a) {
  char operation[kTextSize];
  if (a.nrhs != 3 && a.nrhs != 4) {
    a.refuse("usage: %s", "brelksim('outputs', operation, values[, mask])");
    return;
  }
  if (!a.operation(1, operation)) return;
  const mxArray* values = a.prhs[2];
  const size_t n = mxGetNumberOfElements(values);
  if (mxGetClassID(values) != mxDOUBLE_CLASS || mxIsComplex(values) || n > kMaxOutputs) {
    a.refuse("%s must be a real double vector of at most 32 values.", "the values");
    return;
  }
  double mask = std::ldexp(1.0, static_cast<int>(n)) - 1;  // every value written
  if (a.nrhs == 4 && !a.number(3, mask, "the mask")) return;
  if (mask != std::trunc(mask) || mask < 0 || mask > 4294967295.0) {
    a.refuse("%s must be a whole number from 0 to 2^32-1.", "the mask");
    return;
  }
  const double* data = n ? mxGetPr(values) : nullptr;
  BrelkSimScriptOutputs(operation, n, data, static_cast<uint32_t>(mask));
}

// With 'off' or 'on', stops or resumes recording: a benchmark's calls then
// cost what they cost without the test aid.
void journal(const Args& a) {
  const char* usage = "lines = brelksim('journal') | brelksim('journal', 'off' | 'on')";
  if (a.nrhs == 2) {
    char mode[kTextSize] = "";
    if (mxGetClassID(a.prhs[1]) == mxCHAR_CLASS) mxGetString(a.prhs[1], mode, kTextSize);
    if (std::strcmp(mode, "off") == 0 || std::strcmp(mode, "on") == 0) {
      BrelkSimSetJournal(std::strcmp(mode, "on") == 0);
    } else {
      a.refuse("usage: %s", usage);
    }
    return;
  }
  if (!a.count(1, usage)) return;
  const size_t n = BrelkSimJournalSize();
  mxArray* lines = mxCreateCellMatrix(n, 1);
  for (size_t i = 0; i < n; ++i) {
    const char* line = BrelkSimJournalEntry(i);
    mxSetCell(lines, i, mxCreateString(line ? line : ""));
  }
  a.plhs[0] = lines;
}

void clearJournal(const Args& a) {
  if (a.count(1, "brelksim('clearjournal')")) BrelkSimJournalClear();
}

void setClock(const Args& a) {
  char mode[kTextSize];
  if (!a.count(2, "brelksim('clock', 'manual' | 'real')") || !a.text(1, mode, "the clock")) return;
  if (std::strcmp(mode, "manual") == 0) {
    BrelkSimSetManualClock(1);
  } else if (std::strcmp(mode, "real") == 0) {
    BrelkSimSetManualClock(0);
  } else {
    a.refuse("the clock is 'manual' or 'real', not '%s'.", mode);
  }
}

void advance(const Args& a) {
  double seconds = 0;
  if (!a.count(2, "brelksim('advance', seconds)") || !a.number(1, seconds, "the seconds")) return;
  if (seconds < 0) {
    a.refuse("%s cannot be negative: time only moves forward.", "the seconds");
    return;
  }
  BrelkSimAdvance(seconds);
}

void timeScale(const Args& a) {
  double factor = 1;
  if (!a.count(2, "brelksim('timescale', factor)") || !a.number(1, factor, "the factor")) return;
  if (factor <= 0) {
    a.refuse("%s must be positive.", "the factor");
    return;
  }
  BrelkSimSetTimeScale(factor);
}

void now(const Args& a) {
  if (a.count(1, "t = brelksim('now')")) a.plhs[0] = mxCreateDoubleScalar(BrelkSimNow());
}

struct Command {
  const char* name;
  void (*run)(const Args&);
};

const Command kCommands[] = {
    {"reset", reset},   {"script", script},   {"unscript", unscript}, {"outputs", outputs},
    {"journal", journal}, {"clearjournal", clearJournal}, {"clock", setClock},
    {"advance", advance}, {"timescale", timeScale}, {"now", now},
};

void dispatch(const Args& a) {
  char name[kTextSize];
  if (!a.text(0, name, "the command")) return;
  for (const Command& command : kCommands) {
    if (std::strcmp(command.name, name) == 0) {
      command.run(a);
      return;
    }
  }
  a.refuse("unknown command '%s' (reset, script, unscript, outputs, journal, clearjournal, "
           "clock, advance, timescale, now).", name);
}

}  // namespace

extern "C" BRELKSIM_EXPORT void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  Misuse misuse;
  dispatch(Args{nlhs, plhs, nrhs, prhs, misuse});
  // Raised last: the error leaves this function without running destructors.
  if (misuse.set()) mexErrMsgIdAndTxt("brelksim:usage", "%s", misuse.text);
}

#ifndef BRELK_HOST_ADDS_API_VERSION
extern "C" BRELKSIM_EXPORT void mexfilerequiredapiversion(unsigned int* builtByRelease,
                                                          unsigned int* targetApiVersion) {
  *builtByRelease = 0x0002020B;
  *targetApiVersion = 0x07300000;
}
#endif
