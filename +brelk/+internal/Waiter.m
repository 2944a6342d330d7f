classdef Waiter < handle
%WAITER A camera's clock and the one wait engine of the layer (internal).
%   Every wait of a brelk.Camera and its FilterWheel (cooling, warming, the
%   wheel, exposures) is a call of wait: it polls a step function, pauses
%   between polls, reports progress and ends by the step's own end or by
%   its timeout. Every time the layer reads comes from here, checked: a
%   reading that is not a finite real scalar, or earlier than the one
%   before, raises invalidOperation, so that a broken clock ends a wait
%   instead of making it endless.
%
%   Times are the clock's own readings in seconds ("raw"); since connecting
%   is a raw time less Origin.

  properties
    ProgressFcn = []    % for the waits that are given none of their own
  end

  properties (SetAccess = private)
    ID = ''
    Origin = 0          % the reading when the camera was connected
    Last = -Inf         % the latest reading
  end

  properties (Access = private)
    Read                % the 'Clock' option
    Pause               % the 'Pause' option
  end

  properties (Constant)
    % The least a wait pauses, and the margin within which a timeout counts
    % as reached: a shorter pause may not move a clock at all.
    Quantum = 1e-6
  end

  methods
    function obj = Waiter(checks, id, read, pause)
    %WAITER Waits with pause and reads read ([]: the computer's clock),
    %   which is read once here: a clock that fails or gives no finite real
    %   number is refused with invalidValue. Progress is reported by the
    %   default ProgressFcn until it is set.
      obj.ID = id;
      obj.Pause = pause;
      obj.ProgressFcn = @progressLine;
      if isempty(read)
        read = defaultClock();
      end
      obj.Read = read;
      try
        raw = read();
      catch err
        checks.raise('invalidValue', 'Option ''Clock'' must return the time in seconds; it raised: %s', err.message);
      end
      if ~isTime(raw)
        checks.raise('invalidValue', 'Option ''Clock'' must return a finite real scalar, not %s.', ...
                     checks.describe(raw));
      end
      obj.Origin = double(raw);
      obj.Last = obj.Origin;
    end

    function raw = read(obj, checks)
    %READ The clock's reading now, checked (raises invalidOperation).
      try
        raw = obj.Read();
      catch err
        checks.raise('invalidOperation', '%s: the clock raised an error: %s', obj.ID, err.message);
      end
      if ~isTime(raw)
        checks.raise('invalidOperation', '%s: the clock read %s, not a finite real scalar.', obj.ID, ...
                     checks.describe(raw));
      end
      raw = double(raw);
      if raw < obj.Last
        checks.raise('invalidOperation', '%s: the clock went back from %.17g s to %.17g s.', obj.ID, obj.Last, raw);
      end
      obj.Last = raw;
    end

    function info = wait(obj, checks, operation, step, state, timeout, progress, between)
    %WAIT The one polling loop: wait(checks, operation, step, state, timeout, progress, between).
    %   Calls [done, state, interval, info, pending] = step(state, t) with t
    %   the raw time of the poll, until done, pausing interval seconds
    %   between polls (never past the timeout). The step reads the camera
    %   and may raise its own error; it threads its state through. After
    %   every poll progress(info) is called, unless progress is [], with
    %   info completed by ID, Operation, Elapsed (0 on the first poll) and
    %   Done; an error there is shown as a warning and the wait goes on.
    %   Then between(t), unless it is [] or not given, does what is due
    %   whatever is waited for (the camera's temperature readings) and
    %   returns the seconds until it is due again, which the pause does
    %   not pass. When the timeout has passed and the step is not done,
    %   raises timeout with the step's pending text; when a pause leaves
    %   the clock where it was (a 'Clock' without its 'Pause'),
    %   invalidOperation. Returns the info of the last poll.
      start = obj.read(checks);
      t = start;
      while true
        [done, state, interval, info, pending] = step(state, t);
        elapsed = t - start;
        info.ID = obj.ID;
        info.Operation = operation;
        info.Elapsed = elapsed;
        info.Done = done;
        if ~isempty(progress)
          report(checks, progress, info);
        end
        if nargin > 7 && ~isempty(between)
          interval = min(interval, between(t));
        end
        if done
          return;
        end
        remaining = timeout - elapsed;
        if remaining < obj.Quantum
          checks.raise('timeout', '%s: after %g s, %s.', obj.ID, timeout, pending);
        end
        before = t;
        obj.pauseFor(checks, max(obj.Quantum, min(interval, remaining)));
        t = obj.read(checks);
        if t == before
          checks.raise('invalidOperation', ...
                       '%s: the clock did not move while waiting: give ''Pause'' with ''Clock''.', obj.ID);
        end
      end
    end
  end

  methods (Access = private)
    function pauseFor(obj, checks, seconds)
      try
        obj.Pause(seconds);
      catch err
        if strcmp(err.identifier, 'Octave:interrupt')
          rethrow(err);
        end
        checks.raise('invalidOperation', '%s: the ''Pause'' function raised an error: %s', obj.ID, err.message);
      end
    end
  end
end

function tf = isTime(raw)
  tf = isnumeric(raw) && isscalar(raw) && isreal(raw) && ~issparse(raw) && raw - raw == 0;
end

% Without a 'Clock', every camera reads the computer's clock from one start,
% so that cameras opened at different times still share their times.
function read = defaultClock()
  persistent started
  if isempty(started)
    started = tic;
  end
  read = @() toc(started);
end

% A ProgressFcn that fails is the user's fault, not the camera's: the wait
% goes on, as MATLAB's timers go on after a callback's error.
function report(checks, progress, info)
  try
    progress(info);
  catch err
    warning(['brelk:' checks.Component ':progressFcnFailed'], 'ProgressFcn raised an error: %s', err.message);
  end
end

% The default ProgressFcn: prints a short line when a wait has gone on for
% another 30 s of camera time, so that a wait shorter than 30 s prints
% nothing.
function progressLine(info)
  persistent next
  if info.Elapsed == 0 || isempty(next)
    next = 30;  % a new wait
  end
  % Within a millisecond counts: the clock's start need not be a round figure.
  if info.Done || info.Elapsed < next - 1e-3
    return;
  end
  seconds = round(info.Elapsed);
  next = (floor(seconds / 30) + 1) * 30;
  elapsed = sprintf('%d:%02d', floor(seconds / 60), mod(seconds, 60));
  switch info.Operation
    case {'cooling', 'warming'}
      fprintf('%s %s: sensor %.1f C, setpoint %.1f C, %s, %s elapsed\n', info.ID, ...
              info.Operation, info.Temperature, info.Setpoint, powerText(info.Power), elapsed);
    case 'exposure'
      fprintf('%s exposure: %.0f%% done, %s elapsed\n', info.ID, info.PercentCompleted, elapsed);
    case 'wheel'
      fprintf('%s filter wheel: moving to slot %d, %s elapsed\n', info.ID, info.Target, elapsed);
  end
end

function text = powerText(power)
  if isnan(power)
    text = 'power unreadable';
  else
    text = sprintf('power %.0f%%', power);
  end
end
