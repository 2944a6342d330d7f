classdef Waiter < handle
%WAITER The one wait engine of the layer (internal).
%   Every wait of a brelk.Camera and its FilterWheel (cooling, warming, the
%   wheel, exposures, pauses) is a call of wait: it polls a step function,
%   pauses between polls, reports progress and ends by the step's own end or
%   by its timeout. It reads the time from the camera's Connection, which
%   checks every reading, so that a broken clock ends a wait with an error.

  properties
    ProgressFcn = []    % for the waits that are given none of their own
  end

  properties (Access = private)
    Conn                % the camera's clock
    Pause               % the 'Pause' option
  end

  properties (Constant)
    % The least a wait pauses, and the margin within which a timeout counts
    % as reached: a shorter pause may not move a clock at all.
    Quantum = 1e-6
  end

  methods
    function obj = Waiter(conn, pause)
    %WAITER Waits with pause on the clock of conn. Progress is reported by
    %   the default ProgressFcn until it is set.
      obj.Conn = conn;
      obj.Pause = pause;
      obj.ProgressFcn = @progressLine;
    end

    function info = wait(obj, checks, operation, step, state, timeout, progress, between)
    %WAIT The one polling loop: wait(checks, operation, step, state, timeout, progress, between).
    %   Calls [done, state, interval, info, pending] = step(state, t) with t
    %   the raw time of the poll, until done, pausing interval seconds
    %   between polls (never past the timeout); the text of what is still
    %   pending is asked for only at the timeout. The step reads the camera
    %   and may raise its own error; it threads its state through. After
    %   every poll progress(info) is called, unless progress is [], with
    %   info completed by ID, Operation, Elapsed (0 on the first poll) and
    %   Done; an error there is shown as a warning and the wait goes on.
    %   Then between(t, checks), unless it is [] or not given, does what
    %   is due whatever is waited for (the camera's temperature readings,
    %   their errors the waiting component's) and returns the seconds until
    %   it is due again: the pause does not pass then, and between is not
    %   called before. When the timeout has passed and the step is not done,
    %   raises timeout with the step's pending text; when a pause leaves
    %   the clock where it was (a 'Clock' without its 'Pause'),
    %   invalidOperation. Returns the info of the last poll.
      conn = obj.Conn;
      id = conn.ID;
      start = conn.now(checks);
      t = start;
      due = Inf;                 % when between is due next
      if nargin > 7 && ~isempty(between)
        due = -Inf;
      end
      while true
        % The step says what is still pending only when the timeout is up.
        elapsed = t - start;
        remaining = timeout - elapsed;
        if remaining < obj.Quantum
          [done, state, interval, info, pending] = step(state, t);
        else
          [done, state, interval, info] = step(state, t);
        end
        info.ID = id;
        info.Operation = operation;
        info.Elapsed = elapsed;
        info.Done = done;
        if ~isempty(progress)
          report(checks, progress, info);
        end
        if t >= due - obj.Quantum
          due = t + between(t, checks);
        end
        interval = min(interval, due - t);
        if done
          return;
        end
        if remaining < obj.Quantum
          checks.raise('timeout', '%s: after %g s, %s.', id, timeout, pending);
        end
        before = t;
        obj.pauseFor(checks, max(obj.Quantum, min(interval, remaining)));
        t = conn.now(checks);
        if t == before
          checks.raise('invalidOperation', ...
                       '%s: the clock did not move while waiting: give ''Pause'' with ''Clock''.', id);
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
        checks.raise('invalidOperation', '%s: the ''Pause'' function raised an error: %s', obj.Conn.ID, err.message);
      end
    end
  end
end

% A ProgressFcn that fails is the user's fault, not the camera's: the wait
% goes on, as MATLAB's timers go on after a callback's error.
function report(checks, progress, info)
  try
    progress(info);
  catch err
    if strcmp(err.identifier, 'Octave:interrupt')
      rethrow(err);  % Ctrl-C: the user's, not the function's fault
    end
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
