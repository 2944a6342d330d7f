classdef Link < handle
%LINK One camera's connection, shared by its brelk.Camera and brelk.FilterWheel (internal).
%   A Link makes every call of the toolbox functions for one camera: quietly
%   or shown, recorded in the call log, and turned into an error where the
%   layer needs it to succeed. It keeps the temperature log and the exposure
%   under way, and runs every wait of the layer (wait). The Camera and its
%   FilterWheel each hold the Link, not each other, so that clearing the
%   Camera deletes it and closes the camera.

  properties
    ID = ''
    Verbose = false
    Clock            % seconds, from the Camera's 'Clock' option
    Pause            % waits seconds, from its 'Pause' option
    ProgressFcn = []
    Open = true
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
    function obj = Link(id, verbose, clock, pause, progress)
      obj.ID = id;
      obj.Verbose = verbose;
      obj.Clock = clock;
      obj.Pause = pause;
      obj.ProgressFcn = progress;
      obj.Origin = clock();
    end

    function t = now(obj)
      t = obj.Clock() - obj.Origin;
    end

    function ensureOpen(obj, component)
      if ~obj.Open
        brelk.internal.raise(component, 'closed', '%s has been closed.', obj.ID);
      end
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
      brelk.internal.raise(component, mnemonic, '%s(%s): %s', name, ...
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
          brelk.internal.raise(component, 'timeout', '%s: after %g s, %s.', obj.ID, timeout, pending);
        end
        before = obj.now();
        obj.Pause(min(interval, remaining));
        if obj.now() == before
          brelk.internal.raise(component, 'invalidOperation', ...
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
