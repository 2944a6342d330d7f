classdef Exposure < handle
%EXPOSURE The exposure under way on a camera, as the layer keeps it (internal).
%   The toolbox has no function that tells whether an exposure still runs:
%   a single exposure is over when its whole time has passed on the clock,
%   and not a moment before, so that the next one is accepted. Live
%   exposure runs until it is stopped. Times are raw clock readings.

  properties (SetAccess = private)
    State = 'idle'      % 'idle', 'exposing' or 'live'
    Start = NaN         % when the single exposure started
    Duration = NaN      % its seconds, as the camera exposes them
    Percent = 0         % how far it got: 100 when it ran its time
  end

  methods
    function started(obj, t, seconds)
      obj.State = 'exposing';
      obj.Start = t;
      obj.Duration = seconds;
      obj.Percent = 0;
    end

    function state = at(obj, t)
    %AT The state at the raw time t: a single exposure whose time has passed
    %   is over.
      if strcmp(obj.State, 'exposing') && t >= obj.Start + obj.Duration
        obj.State = 'idle';
        obj.Percent = 100;
      end
      state = obj.State;
    end

    function percent = percentAt(obj, t)
      if strcmp(obj.at(t), 'exposing')
        percent = min(100, max(0, 100 * (t - obj.Start) / obj.Duration));
      else
        percent = obj.Percent;
      end
    end

    function aborted(obj, t)
      obj.Percent = obj.percentAt(t);
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
      info = struct('PercentCompleted', obj.percentAt(t));
      interval = min(1, obj.Start + obj.Duration - t);
      pending = sprintf('the exposure is %.0f%% done', info.PercentCompleted);
    end
  end
end
