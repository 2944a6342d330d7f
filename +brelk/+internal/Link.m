classdef Link < handle
%LINK One camera's connection, shared by its brelk.Camera and brelk.FilterWheel (internal).
%   A Link makes every call of the toolbox functions for one camera: quietly
%   or shown, recorded in the call log, and turned into an error where the
%   layer needs it to succeed. It keeps the temperature log and the exposure
%   under way, runs every wait of the layer (wait), checks the values and
%   options the layer is given, and raises every error of the layer (raise).
%   The Camera and its FilterWheel each hold the Link, not each other, so
%   that clearing the Camera deletes it and closes the camera.
%
%   The classes reach all of this through their Link, never by a dotted
%   name in the package: in Octave the name brelk is also a function (the
%   toolbox's octave/brelk.m, for help brelk), which such a call would go
%   through.

  properties
    ID = ''
    Verbose = false
    Clock            % seconds, from the Camera's 'Clock' option
    Pause            % waits seconds, from its 'Pause' option
    ProgressFcn = []
    Open = false
  end

  properties (SetAccess = private)
    Origin = 0       % the clock when the camera was connected: log times count from here
    Exposure = struct('State', 'idle', 'Start', NaN, 'Duration', NaN, 'Percent', 0)
  end

  properties (Access = private)
    % Both logs grow by doubling and are taken out of the property while
    % they are written: an element written in place copies the whole array
    % in Octave, which made a night of polling slow down quadratically.
    Calls = struct('Time', {}, 'Function', {}, 'Inputs', {}, 'Status', {}, 'Text', {})
    CallCount = 0
    Readings = zeros(0, 4)  % Time, Temperature, Setpoint, Power
    ReadingCount = 0
  end

  methods
    function setUp(obj, id, verbose, clock, pause, progress)
    %SETUP The camera this Link connects to, and how it shows and waits.
      obj.ID = id;
      obj.Verbose = verbose;
      obj.Clock = clock;
      obj.Pause = pause;
      obj.ProgressFcn = progress;
      obj.Origin = clock();
      obj.Open = true;
    end

    function t = now(obj)
      t = obj.Clock() - obj.Origin;
    end

    function ensureOpen(obj, component)
      if ~obj.Open
        obj.raise(component, 'closed', '%s has been closed.', obj.ID);
      end
    end

    % --- errors, values and options -------------------------------------

    function raise(~, component, mnemonic, message, varargin)
    %RAISE raise(component, mnemonic, message, args...) throws the MException
    %   brelk:<component>:<mnemonic> with the message, formatted with sprintf
    %   when args are given. Every error of the layer is thrown here.
      if ~isempty(varargin)
        message = sprintf(message, varargin{:});
      end
      error(['brelk:' component ':' mnemonic], '%s', message);
    end

    function value = checked(obj, component, name, value, kind, range)
    %CHECKED value = checked(component, name, value, kind) returns a value the
    %   layer was given in the form it keeps (a double, a logical, a char
    %   row, a function handle), or raises brelk:<component>:invalidValue
    %   naming it, before anything reaches the camera. Kinds:
    %     'real'        a finite real numeric scalar
    %     'positive'    'real' and above 0
    %     'nonnegative' 'real' and 0 or above
    %     'count'       a whole number, 0 or above
    %     'slot'        a whole number from 1 to range
    %     'percent'     'real' from 0 to 100
    %     'seconds'     a real scalar above 0, Inf included (timeouts)
    %     'logical'     true, false, 1 or 0
    %     'function'    a function handle
    %     'progress'    a function handle, or [] for none
    %     'text'        a non-empty char row
      if nargin < 6
        range = [];
      end
      switch kind
        case 'logical'
          ok = isscalar(value) && (islogical(value) || (isnumeric(value) && isreal(value) ...
               && (value == 0 || value == 1)));
          expected = 'true or false';
          if ok
            value = logical(value);
          end
        case 'function'
          ok = isa(value, 'function_handle') && isscalar(value);
          expected = 'a function handle';
        case 'progress'
          ok = (isa(value, 'function_handle') && isscalar(value)) || (isnumeric(value) && isempty(value));
          expected = 'a function handle, or [] for none';
        case 'text'
          ok = ischar(value) && size(value, 1) == 1 && ~isempty(value);
          expected = 'a non-empty char row';
        otherwise
          [ok, expected] = number(value, kind, range);
          if ok
            value = double(full(value));
          end
      end
      if ~ok
        obj.raise(component, 'invalidValue', '%s must be %s, not %s.', name, expected, described(value));
      end
    end

    function [opts, given] = options(obj, component, spec, args)
    %OPTIONS [opts, given] = options(component, spec, args) reads the
    %   name-value pairs in the cell args against spec, one row per option:
    %   {name, default, kind}, kind as checked takes it. Names match whatever
    %   their case. opts has a field per option, its value or its default;
    %   given tells which ones the caller set. A default of [] stays allowed
    %   as a value. A stray argument, an unknown name or a refused value
    %   raises brelk:<component>:invalidValue.
      names = spec(:, 1)';
      opts = struct();
      given = struct();
      for k = 1:numel(names)
        opts.(names{k}) = spec{k, 2};
        given.(names{k}) = false;
      end
      if mod(numel(args), 2) ~= 0
        obj.raise(component, 'invalidValue', 'Options come in name-value pairs; the options are %s.', ...
                  strjoin(names, ', '));
      end
      for k = 1:2:numel(args)
        name = args{k};
        match = [];
        if ischar(name) && size(name, 1) == 1
          match = find(strcmpi(name, names), 1);
        end
        if isempty(match)
          if ischar(name)
            name = ['''' name ''''];
          else
            name = sprintf('(a %s)', class(name));
          end
          obj.raise(component, 'invalidValue', 'Unknown option %s; the options are %s.', name, ...
                    strjoin(names, ', '));
        end
        value = args{k + 1};
        if ~(isempty(spec{match, 2}) && isnumeric(value) && isempty(value))
          value = obj.checked(component, ['Option ''' names{match} ''''], value, spec{match, 3});
        end
        opts.(names{match}) = value;
        given.(names{match}) = true;
      end
    end

    function [same, others] = registry(~, action, id)
    %REGISTRY The camera IDs of the open brelk.Camera objects, shared by all.
    %   registry('add', id) and registry('remove', id) count one Camera on id
    %   in or out. [same, others] = registry('count', id) tells how many
    %   others are open on the same ID and on other IDs. BRELK_11_CloseCamera
    %   also releases the SDK, which closes every camera, so only the last
    %   Camera to close may call it.
      persistent open
      if isempty(open)
        open = {};
      end
      same = 0;
      others = 0;
      switch action
        case 'add'
          open{end + 1} = id;
        case 'remove'
          open(find(strcmp(open, id), 1)) = [];
        case 'count'
          % What is left besides the Camera that asks, itself counted in.
          mine = strcmp(open, id);
          same = max(sum(mine) - 1, 0);
          others = sum(~mine);
      end
    end

    function fcn = defaultProgress(~)
    %DEFAULTPROGRESS The default ProgressFcn: one line per 30 s of a wait.
      fcn = @progressLine;
    end

    % --- calls of the toolbox functions ---------------------------------

    function [status, text, varargout] = call(obj, name, varargin)
    %CALL [status, text, outputs...] = call(name, inputs...) calls the toolbox
    %   function name with the camera ID and the inputs, capturing what it
    %   prints (shown as well when Verbose), and records the call in the log.
      outputs = cell(1, max(nargout - 2, 0));
      id = obj.ID;
      status = int32(-1);
      failure = [];
      % The error is caught inside evalc so that the lines printed before it
      % are kept; a toolbox function fails by printing and returning -1,
      % so an error here is the host's (a function not on the path).
      text = evalc(sprintf('try\n[status, outputs{:}] = feval(name, id, varargin{:});\ncatch failure\nend'));
      if ~isempty(failure)
        text = sprintf('%s%s\n', text, failure.message);
        status = int32(-1);
      end
      if obj.Verbose
        fprintf('%s', text);
      end
      obj.record(struct('Time', obj.now(), 'Function', name, 'Inputs', {varargin}, ...
                        'Status', status, 'Text', text));
      varargout = outputs;
    end

    function varargout = require(obj, component, name, varargin)
    %REQUIRE outputs = require(component, name, inputs...) calls like call and
    %   raises the error the function's printed failure line says when its
    %   status is not 0: notConnected when the camera did not open,
    %   notSupported when the camera lacks the feature, else sdkFailed.
      varargout = cell(1, nargout);
      [status, text, varargout{:}] = obj.call(name, varargin{:});
      if status == 0
        return;
      end
      lines = strsplit(text, newline);
      lines = lines(~cellfun(@isempty, lines));
      if isempty(lines)
        lines = {'(nothing printed)'};
      end
      line = lines{end};
      opened = ~strcmp(lines, 'Open BRELKCCD failed.');
      guard = strncmp(lines, 'Camera don''t support', 20);
      if ~all(opened)
        mnemonic = 'notConnected';
        line = 'Open BRELKCCD failed.';
      elseif any(guard)
        mnemonic = 'notSupported';
        line = lines{find(guard, 1)};
      else
        mnemonic = 'sdkFailed';
      end
      obj.raise(component, mnemonic, '%s(%s): %s', name, ...
                strjoin([{['''' obj.ID '''']}, cellfun(@shown, varargin, 'UniformOutput', false)], ', '), ...
                line);
    end

    function entries = callLog(obj)
      entries = obj.Calls(1:obj.CallCount);
    end

    % --- temperature log ------------------------------------------------

    function logTemperature(obj, temperature, setpoint, power)
      readings = obj.Readings;
      obj.Readings = [];
      if obj.ReadingCount == size(readings, 1)
        readings(max(64, 2 * obj.ReadingCount), 4) = 0;
      end
      obj.ReadingCount = obj.ReadingCount + 1;
      readings(obj.ReadingCount, :) = [obj.now(), temperature, setpoint, power];
      obj.Readings = readings;
    end

    function log = temperatureLog(obj)
      readings = obj.Readings(1:obj.ReadingCount, :);
      log = struct('Time', readings(:, 1), 'Temperature', readings(:, 2), ...
                   'Setpoint', readings(:, 3), 'Power', readings(:, 4));
    end

    % --- the exposure under way -----------------------------------------

    function state = exposureState(obj)
    %EXPOSURESTATE 'idle', 'exposing', 'live' or 'closed'. An exposure is over
    %   once its time has passed on the clock.
      if ~obj.Open
        state = 'closed';
        return;
      end
      if strcmp(obj.Exposure.State, 'exposing') && obj.remaining() <= 0
        obj.Exposure.State = 'idle';
        obj.Exposure.Percent = 100;
      end
      state = obj.Exposure.State;
    end

    function percent = exposurePercent(obj)
      if strcmp(obj.exposureState(), 'exposing')
        e = obj.Exposure;
        percent = min(100, max(0, 100 * (obj.now() - e.Start) / e.Duration));
      else
        percent = obj.Exposure.Percent;
      end
    end

    function seconds = remaining(obj)
      % Within a microsecond counts as over: start plus duration and the
      % clock advanced by the difference need not agree to the last bit.
      seconds = obj.Exposure.Start + obj.Exposure.Duration - obj.now();
      if seconds < 1e-6
        seconds = 0;
      end
    end

    function exposureStarted(obj, seconds)
      obj.Exposure = struct('State', 'exposing', 'Start', obj.now(), 'Duration', seconds, 'Percent', 0);
    end

    function exposureEnded(obj)
      obj.Exposure.Percent = obj.exposurePercent();
      obj.Exposure.State = 'idle';
    end

    function liveSwitched(obj, on)
      if on
        obj.Exposure.State = 'live';
      else
        obj.Exposure.State = 'idle';
      end
    end

    % --- the wait engine ------------------------------------------------

    function state = wait(obj, component, operation, step, state, timeout, progress)
    %WAIT The one polling loop of the layer: cooling, warm-up, the wheel and exposures.
    %   state = wait(component, operation, step, state, timeout, progress)
    %   polls [done, info, state, interval, pending] = step(state) until done,
    %   pausing interval seconds between polls (never past the timeout). The
    %   step reads the camera, may raise its own error, and threads its state
    %   through. After every poll progress(info) is called, unless progress is
    %   [], with info completed by ID, Operation, Elapsed (0 on the first
    %   poll) and Done. When the timeout has passed and the step is not done,
    %   raises brelk:<component>:timeout with the step's pending text; when
    %   a pause leaves the clock where it was (a 'Clock' without its
    %   'Pause'), brelk:<component>:invalidOperation.
      start = obj.now();
      elapsed = 0;
      while true
        [done, info, state, interval, pending] = step(state);
        info.ID = obj.ID;
        info.Operation = operation;
        info.Elapsed = elapsed;
        info.Done = done;
        if ~isempty(progress)
          progress(info);
        end
        if done
          return;
        end
        % Within a microsecond counts as reached: a pause shorter than the
        % clock's resolution would not move it, and the loop would not end.
        remaining = timeout - elapsed;
        if remaining < 1e-6
          obj.raise(component, 'timeout', '%s: after %g s, %s.', obj.ID, timeout, pending);
        end
        before = obj.now();
        obj.Pause(min(interval, remaining));
        if obj.now() == before
          obj.raise(component, 'invalidOperation', ...
                    '%s: the clock did not move while waiting: give ''Pause'' with ''Clock''.', obj.ID);
        end
        elapsed = obj.now() - start;
      end
    end
  end

  methods (Access = private)
    function record(obj, entry)
      entries = obj.Calls;
      obj.Calls = [];
      if obj.CallCount == numel(entries)
        entries(max(64, 2 * obj.CallCount), 1) = entry;
      end
      obj.CallCount = obj.CallCount + 1;
      entries(obj.CallCount) = entry;
      obj.Calls = entries;
    end
  end
end

% An input as a script would write it, for error messages.
function text = shown(value)
  if ischar(value)
    text = ['''' value ''''];
  else
    text = mat2str(value);
  end
end

function [ok, expected] = number(value, kind, range)
  ok = isnumeric(value) && isscalar(value) && isreal(value);
  if ok
    value = double(full(value));
    ok = ~isnan(value) && (isfinite(value) || strcmp(kind, 'seconds'));
  end
  switch kind
    case 'real'
      expected = 'a finite real scalar';
    case 'positive'
      expected = 'a finite real scalar above 0';
      ok = ok && value > 0;
    case 'nonnegative'
      expected = 'a finite real scalar of 0 or more';
      ok = ok && value >= 0;
    case 'count'
      expected = 'a whole number of 0 or more';
      ok = ok && value >= 0 && value == round(value);
    case 'slot'
      expected = sprintf('a whole number from 1 to %d', range);
      ok = ok && value >= 1 && value <= range && value == round(value);
    case 'percent'
      expected = 'a real scalar from 0 to 100';
      ok = ok && value >= 0 && value <= 100;
    case 'seconds'
      expected = 'a real scalar above 0 (Inf for no limit)';
      ok = ok && value > 0;
  end
end

% What a refused value was, for the message: the value itself when it is
% short, else its size and class.
function text = described(value)
  if islogical(value) && isscalar(value)
    text = ['logical ' mat2str(value)];
  elseif isnumeric(value) && isscalar(value)
    text = num2str(value);
  elseif ischar(value) && size(value, 1) == 1 && numel(value) <= 40
    text = ['''' value ''''];
  else
    dims = sprintf('%dx', size(value));
    text = sprintf('a %s %s', dims(1:end - 1), class(value));
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
      power = 'unknown';
      if ~isnan(info.Power)
        power = sprintf('%.0f%%', info.Power);
      end
      fprintf('%s %s: sensor %.1f C, setpoint %.1f C, power %s, %s elapsed\n', info.ID, ...
              info.Operation, info.Temperature, info.Setpoint, power, elapsed);
    case 'exposure'
      fprintf('%s exposure: %.0f%% done, %s elapsed\n', info.ID, info.PercentCompleted, elapsed);
    case 'wheel'
      fprintf('%s filter wheel: moving to slot %d, %s elapsed\n', info.ID, info.Target, elapsed);
  end
end
