%BRELKSIM  Controls of the simulated camera, for rehearsals and tests.
%   BRELKSIM is built only when the toolbox uses the simulated camera SDK
%   (camera IDs 'SIM-MONO' and 'SIM-COLOR'). It is not one of the camera
%   functions: it raises an error (brelksim:usage) when it is misused.
%
%   brelksim('reset')
%       Every camera back to power-on; scripts and journal cleared; the
%       real clock at scale 1.
%   brelksim('script', operation, control, result)
%   brelksim('script', operation, result)
%       Every later call of the SDK operation (for example
%       'SetBRELKCCDParam') for that control, or for every control, answers
%       RESULT until the next reset. -1 makes it fail and leaves the camera
%       unchanged; for 'OpenBRELKCCD', 0 makes the open fail.
%   brelksim('outputs', operation, values, mask)
%       What an operation with out values (the areas, the chip info) writes:
%       values(i) where bit i-1 of MASK is set; without MASK, all of them.
%   lines = brelksim('journal')
%       Every SDK call so far, one cell each, such as 'SetBRELKCCDParam(6, 30)'.
%   brelksim('clearjournal')
%       Empties the journal.
%   brelksim('clock', 'manual')  /  brelksim('clock', 'real')
%       Freezes simulated time, so that it moves only by 'advance'; or
%       follows the real clock again.
%   brelksim('advance', seconds)
%       Moves the manual clock forward.
%   brelksim('timescale', factor)
%       The real clock runs FACTOR times faster: cooling in seconds.
%   t = brelksim('now')
%       Simulated seconds since the last reset.
%
%   Example: rehearse a failing gain setting.
%       brelksim('script', 'SetBRELKCCDParam', 6, -1);
%       BRELK_6_SetGain('SIM-MONO', 30)     % prints "Set camera gain failed."
