classdef Exposure < handle
%EXPOSURE The exposure under way on a camera, and the record of each (internal).
%   The toolbox has no function that tells whether an exposure still runs:
%   a single exposure is over when its whole time has passed on the clock,
%   and not a moment before, so that the next one is accepted. Live
%   exposure runs until it is stopped. Times are raw clock readings.
%
%   Records holds one element per exposure started, as the camera made it
%   when it started (see brelk.Camera's Exposures), with its Elapsed and
%   Result ('completed', 'aborted' or 'failed') set as it ends. Finisher,
%   set by the camera, completes a record then: finisher(record, looking)
%   adds the temperature at the end (read then, or, when the end is seen by
%   looking at a property, the latest reading) and writes it to the
%   camera's record on disk.

  properties
    Finisher = []
  end

  properties (SetAccess = private)
    State = 'idle'      % 'idle', 'exposing' or 'live'
    Start = NaN         % when the single exposure started
    Duration = NaN      % its seconds, as the camera exposes them
    Percent = 0         % how far it got: 100 when it ran its time
    Records = []        % a column struct array, once there is one
  end

  properties (Access = private)
    Current = []        % the record of the exposure under way
  end

  methods
    function started(obj, t, seconds, record)
    %STARTED The exposure of seconds started at t; record as it starts.
      obj.State = 'exposing';
      obj.Start = t;
      obj.Duration = seconds;
      obj.Percent = 0;
      obj.Current = record;
    end

    function failed(obj, record)
    %FAILED An exposure that could not be started, recorded as failed.
      obj.Current = record;
      obj.ended(0, 'failed', false);
    end

    function state = at(obj, t, looking)
    %AT The state at the raw time t: a single exposure whose time has passed
    %   is over. looking (default false): only a property is read, so the
    %   record's end takes no reading of the camera.
      if strcmp(obj.State, 'exposing') && t >= obj.Start + obj.Duration
        obj.State = 'idle';
        obj.Percent = 100;
        obj.ended(obj.Duration, 'completed', nargin > 2 && looking);
      end
      state = obj.State;
    end

    function percent = percentAt(obj, t, looking)
      if strcmp(obj.at(t, nargin > 2 && looking), 'exposing')
        percent = share(t, obj.Start, obj.Duration);
      else
        percent = obj.Percent;
      end
    end

    function aborted(obj, t)
      obj.Percent = obj.percentAt(t);
      if strcmp(obj.State, 'exposing')
        obj.ended(t - obj.Start, 'aborted', false);
      end
    end

    function lost(obj, t)
    %LOST The camera was opened anew: an exposure under way is gone, even
    %   when its time passed while the camera could not be reached.
      if strcmp(obj.State, 'exposing')
        obj.Percent = share(t, obj.Start, obj.Duration);
        obj.ended(min(t - obj.Start, obj.Duration), 'failed', false);
      end
      obj.State = 'idle';
    end

    function live(obj, on)
      if on
        obj.State = 'live';
      else
        obj.State = 'idle';
      end
    end

    function [done, s, interval, info, pending] = step(obj, s, t)
    %STEP One poll of the wait for the exposure's end: polled at least each
    %   second, for progress, and at its end exactly.
      done = ~strcmp(obj.at(t), 'exposing');
      percent = obj.Percent;
      if ~done
        percent = share(t, obj.Start, obj.Duration);
      end
      info = struct('PercentCompleted', percent);
      interval = min(1, obj.Start + obj.Duration - t);
      if nargout > 4
        pending = sprintf('the exposure is %.0f%% done', percent);
      end
    end
  end

  methods (Access = private)
    function ended(obj, elapsed, result, looking)
      record = obj.Current;
      obj.Current = [];
      obj.State = 'idle';
      record.Elapsed = elapsed;
      record.Result = result;
      if ~isempty(obj.Finisher)
        record = obj.Finisher(record, looking);
      end
      if isempty(obj.Records)
        obj.Records = record;
      else
        obj.Records(end + 1, 1) = record;
      end
    end
  end
end

% How far an exposure of duration seconds started at start is at t, in
% percent.
function percent = share(t, start, duration)
  percent = min(100, max(0, 100 * (t - start) / duration));
end
