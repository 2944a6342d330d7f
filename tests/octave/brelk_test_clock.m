classdef brelk_test_clock < handle
%BRELK_TEST_CLOCK A 'Clock' for brelk.Camera that follows the simulator's
%   manual clock and can go wrong, or act, at a chosen reading. The layer
%   reads its clock before every toolbox call, so an action at reading k
%   scripts a fault in the middle of an operation.
%     clock = brelk_test_clock();
%     cam = brelk_camera('SIM-MONO', 'Clock', @() clock.read());
%     clock.at(clock.Reads + 3, @() brelksim('script', 'OpenBRELKCCD', 0, 1));
%     clock.fail(clock.Reads + 1, NaN);   % the next reading is NaN
%   fail(k, value): from reading k on, read gives value; a function handle
%   value is called with the true time and gives the reading (@(t) t - 10
%   runs back) or raises an error.
%   when(t, action): the action runs once, at the first reading at or after
%   the simulator's time t: a fault in the middle of a wait.

  properties (SetAccess = private)
    Reads = 0
  end

  properties (Access = private)
    Actions = {}      % {reading, function} pairs, each run once
    Timed = {}        % {time, function} pairs, each run once
    From = Inf
    Value = []
  end

  methods
    function t = read(obj)
      obj.Reads = obj.Reads + 1;
      for k = numel(obj.Actions):-1:1
        if obj.Actions{k}{1} == obj.Reads
          action = obj.Actions{k}{2};
          obj.Actions(k) = [];
          action();
        end
      end
      t = brelksim('now');
      for k = numel(obj.Timed):-1:1
        if obj.Timed{k}{1} <= t
          action = obj.Timed{k}{2};
          obj.Timed(k) = [];
          action();
        end
      end
      if obj.Reads >= obj.From
        value = obj.Value;
        if isa(value, 'function_handle')
          t = value(t);
        else
          t = value;
        end
      end
    end

    function at(obj, reading, action)
      obj.Actions{end + 1} = {reading, action};
    end

    function when(obj, time, action)
      obj.Timed{end + 1} = {time, action};
    end

    function fail(obj, reading, value)
      obj.From = reading;
      obj.Value = value;
    end
  end
end
