%BRELKSIM  Controls of the simulated camera, for rehearsals and tests.
%   BRELKSIM is built only when the toolbox uses the simulated camera SDK
%   (camera IDs 'SIM-MONO' and 'SIM-COLOR'). It is not one of the camera
%   functions: it raises an error (brelksim:usage) when it is misused.
%
%   brelksim('reset')
%       Every camera back to power-on; scripts and journal cleared; the
%       real clock at scale 1.
%   brelksim('script', operation, result)
%   brelksim('script', operation, control, result)
%       Every later call of the SDK operation (for example
%       'SetBRELKCCDParam'), for that control or for every control, answers
%       RESULT until it is unscripted or reset. A control is given only for
%       the operations that take one: SetBRELKCCDParam, GetBRELKCCDParam and
%       IsBRELKCCDControlAvailable; [] stands for every control. A control's
%       own script is used before the one for every control, and a new script
%       for the same operation and control replaces the old one.
%       -1 makes the call fail before it reaches the camera, which changes
%       nothing; any other result lets the camera act and replaces only its
%       answer. For 'OpenBRELKCCD', 0 makes the open fail; any other result
%       opens the camera exactly as an unscripted open does.
%   brelksim('script', operation, control, result, count)
%   brelksim('script', operation, result, count)
%       The same, but only for the next COUNT calls the script answers;
%       after them those calls are answered as before it: by the script for
%       every control, if there is one, else by the camera. Four inputs mean
%       (operation, control, result) for the three operations that take a
%       control, so give [] as the control to count their calls for every
%       control: brelksim('script', 'SetBRELKCCDParam', [], -1, 2). For the
%       other operations they mean (operation, result, count).
%   brelksim('unscript', operation)
%   brelksim('unscript', operation, control)
%       Removes every script of the operation and what 'outputs' scripted
%       for it; or only the script for that control ([]: the one for every
%       control). The cameras keep their state.
%   brelksim('outputs', operation, values, mask)
%       What an operation with out values (the areas, the chip info) writes
%       on every later call: values(i) where bit i-1 of MASK is set; without
%       MASK, all of them.
%   lines = brelksim('journal')
%       Every SDK call so far, one cell each, such as 'SetBRELKCCDParam(6, 30)'.
%   brelksim('journal', 'off')  /  brelksim('journal', 'on')
%       Stops recording SDK calls, as for a benchmark; or records them
%       again. A reset records them again.
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
%   Example: rehearse a gain setting that fails once, then works.
%       BRELK_2_SetReadMode('SIM-MONO', 0); BRELK_4_InitCamera('SIM-MONO');
%       brelksim('script', 'SetBRELKCCDParam', 6, -1, 1);
%       BRELK_6_SetGain('SIM-MONO', 30)     % prints "Set camera gain failed."
%       BRELK_6_SetGain('SIM-MONO', 30)     % prints "Set camera gain successfully."
