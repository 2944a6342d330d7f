classdef Cooler < handle
%COOLER A camera's cooler as the layer drives it (internal).
%   Regulation to a target, at once or by a ramp of the setpoint in 0.1 C
%   steps; the rules that end a wait for the target (settled, or stalled);
%   warming up; and the temperature log. What it holds is what the camera
%   accepted: a target, setpoint or mode changes here only after the
%   function that sets it succeeded.
%
%   The brelk.Camera objects open on one ID share one Cooler (the
%   Connection's registry hands it out), so each of them sees the setpoint
%   the camera holds and the last to close knows the cooler was used. Each
%   call is made through the Connection and Checks of the Camera that asks.
%
%   Ending a wait. The sensor makes progress when it comes 0.1 C closer to
%   where it should be (during a ramp, the ramp's present setpoint; after
%   it, the target), or keeps within the tolerance of a moving ramp. A
%   wait is at its target once every reading for SettleTime seconds was
%   within the tolerance; it has stalled when StallTime seconds passed with
%   no progress and no settling under way. Either ends it, whatever the
%   cooler's power reads, so no cooling or warming wait goes on for ever.

  properties (SetAccess = private)
    Mode = 'off'        % 'off', 'regulating', 'warming' or 'fixed' (a set CoolerPower)
    Target = []         % where regulation or the warm-up goes; [] when off or fixed
    Setpoint = NaN      % what the camera holds now (a ramp's step); NaN with none
    Ramp = []           % From, To, Rate (C/s), Start (raw time) while it moves
    Tolerance = 0.2
    StallTime = 120
    SettleTime = 30
    Stalled = false     % the last wait for the target stalled
    Used = false        % switched on, and not switched off since
    Power = NaN         % percent, in the mode 'fixed'
    LastRead = -Inf     % raw time of the last temperature reading
  end

  properties (Access = private)
    InSince = []        % raw time since which every reading is within tolerance
    % The temperature log: raw Time, Temperature, Setpoint, Power, grown by
    % doubling and taken out of the property while written (see Connection).
    Readings = zeros(0, 4)
    Count = 0
  end

  properties (Constant)
    Step = 0.1          % C: the ramp's steps, and the least that is progress
    Poll = 2            % s between the readings of a cooling or warming wait
    Margin = 1e-9       % s: times that add up to a span reach it within this
  end

  methods
    % --- commands -----------------------------------------------------------

    function regulate(obj, conn, checks, target, from, rate, tolerance, stallTime, settleTime)
    %REGULATE Regulation to target (C): at once when rate (C/s) is 0 or Inf,
    %   else by a ramp from the temperature from.
      obj.start(conn, checks, 'regulating', target, from, rate);
      obj.Tolerance = tolerance;
      obj.StallTime = stallTime;
      obj.SettleTime = settleTime;
    end

    function warm(obj, conn, checks, target, from, rate)
    %WARM The setpoint up from the temperature from to target at rate (C/s).
      obj.start(conn, checks, 'warming', target, from, rate);
    end

    function fixed(obj, conn, checks, percent)
    %FIXED The cooler at a fixed power instead of regulating; 0 is off.
      conn.require(checks, 'BRELK_6_SetCoolerPWM', percent);
      obj.stopped();
      if percent > 0
        obj.Mode = 'fixed';
        obj.Power = percent;
        obj.Used = true;
      end
      obj.changed(conn, struct('Power', percent));
    end

    function off(obj, conn, checks)
      conn.require(checks, 'BRELK_6_SetCoolerOFF');
      obj.stopped();
      obj.changed(conn, struct());
    end

    function resume(obj, conn, checks)
    %RESUME What the cooler was doing, sent again to a camera opened anew:
    %   the setpoint it held (a ramp goes on from there), or its fixed power.
      switch obj.Mode
        case {'regulating', 'warming'}
          conn.require(checks, 'BRELK_6_SetCoolerTemperature', obj.Setpoint);
        case 'fixed'
          conn.require(checks, 'BRELK_6_SetCoolerPWM', obj.Power);
      end
    end

    function next = keepUp(obj, conn, checks, t, interval)
    %KEEPUP Reads the temperature when the last reading is interval seconds
    %   old at the raw time t; returns the seconds until the next is due.
      if t - obj.LastRead >= interval - obj.Margin
        obj.read(conn, checks);
      end
      next = max(0, obj.LastRead + interval - t);
    end

    function again(obj, tolerance)
    %AGAIN The target is waited for again, within tolerance: no longer stalled.
      obj.Tolerance = tolerance;
      obj.Stalled = false;
    end

    % --- readings -----------------------------------------------------------

    function [temperature, power] = read(obj, conn, checks)
    %READ The temperature and the cooler's power, added to the log, after
    %   moving a ramp on. The power is only logged and shown (NaN where it
    %   cannot be read): a camera that cannot tell it still has a temperature.
      obj.follow(conn, checks);
      temperature = conn.require(checks, 'BRELK_7_GetTemperature');
      t = conn.Time;
      [status, ~, power] = conn.call(checks, 'BRELK_7_GetCoolerPWM');
      if status ~= 0 || ~isscalar(power)
        power = NaN;
      end
      obj.note(t, temperature, power);
      conn.note('temperature', struct('Temperature', temperature, 'Setpoint', obj.Setpoint, 'Power', power), t);
    end

    function temperature = latest(obj)
    %LATEST The temperature last read that could be read, NaN before any.
      temperature = NaN;
      k = find(~isnan(obj.Readings(1:obj.Count, 2)), 1, 'last');
      if ~isempty(k)
        temperature = obj.Readings(k, 2);
      end
    end

    function value = setpoint(obj)
    %SETPOINT The target regulation or the warm-up goes to; [] without one.
      if any(strcmp(obj.Mode, {'regulating', 'warming'}))
        value = obj.Target;
      else
        value = [];
      end
    end

    function value = state(obj, conn, checks)
    %STATE 'off', 'ramping', 'settling', 'at target', 'warming' or 'stalled'.
      switch obj.Mode
        case 'regulating'
          if obj.Stalled
            value = 'stalled';
            return;
          end
          obj.read(conn, checks);
          if ~isempty(obj.Ramp)
            value = 'ramping';
          elseif obj.settled()
            value = 'at target';
          else
            value = 'settling';
          end
        case 'fixed'
          value = 'settling';
        otherwise
          value = obj.Mode;
      end
    end

    function log = temperatureLog(obj, origin)
    %TEMPERATURELOG The readings, with Time in seconds since origin (raw).
      readings = obj.Readings(1:obj.Count, :);
      log = struct('Time', readings(:, 1) - origin, 'Temperature', readings(:, 2), ...
                   'Setpoint', readings(:, 3), 'Power', readings(:, 4));
    end

    % --- the steps of the waits (see Waiter.wait) ---------------------------

    function s = newWait(~)
      s = struct('Mark', [], 'Since', [], 'Last', []);
    end

    function [done, s, interval, info, pending] = coolingStep(obj, conn, checks, s, ~)
      [temperature, power] = obj.read(conn, checks);
      done = isempty(obj.Ramp) && obj.settled();
      if ~done
        s = obj.progress(s, temperature, obj.Tolerance);
        if obj.LastRead - s.Since >= obj.StallTime - obj.Margin && isempty(obj.InSince)
          obj.Stalled = true;
          obj.changed(conn, struct('Target', obj.Target, 'Stalled', true));
          where = sprintf('has stayed at %.2f C, %.2f C from the target %g C', temperature, ...
                          abs(temperature - obj.Target), obj.Target);
          if isnan(temperature)
            where = sprintf('temperature could not be read, the target %g C', obj.Target);
          end
          checks.raise('temperatureNotReached', '%s: the sensor %s, with %s for %g s.', conn.ID, where, ...
                       powerText(power), obj.LastRead - s.Since);
        end
      end
      info = struct('Temperature', temperature, 'Setpoint', obj.Setpoint, 'Power', power, 'Target', obj.Target);
      interval = obj.Poll;
      if nargout > 4
        pending = sprintf('the sensor is at %.2f C, not within %g C of %g C', temperature, obj.Tolerance, obj.Target);
      end
    end

    function [done, s, interval, info, pending] = warmingStep(obj, conn, checks, s, ~)
    %   Ends within s.Tolerance of the target, or where the sensor comes no
    %   closer for s.StallTime (an ambient colder than the target).
      [temperature, power] = obj.read(conn, checks);
      done = temperature >= obj.Target - s.Tolerance;
      if ~done
        s = obj.progress(s, temperature, s.Tolerance);
        done = obj.LastRead - s.Since >= s.StallTime - obj.Margin;
      end
      info = struct('Temperature', temperature, 'Setpoint', obj.Setpoint, 'Power', power, 'Target', obj.Target);
      interval = obj.Poll;
      if nargout > 4
        pending = sprintf('the sensor is at %.2f C, still warming to %g C', temperature, obj.Target);
      end
    end
  end

  methods (Access = private)
    function start(obj, conn, checks, mode, target, from, rate)
    %   A ramp starts at the temperature from on the 0.1 C grid, so that its
    %   steps are round figures, and ends on the target exactly.
      ramp = [];
      first = target;
      from = onGrid(from);
      if rate > 0 && isfinite(rate) && from ~= target
        first = from;
        ramp = struct('From', from, 'To', target, 'Rate', rate, 'Start', NaN);
      end
      conn.require(checks, 'BRELK_6_SetCoolerTemperature', first);
      if ~isempty(ramp)
        ramp.Start = conn.Time;
      end
      obj.Mode = mode;
      obj.Target = target;
      obj.Setpoint = first;
      obj.Ramp = ramp;
      obj.Stalled = false;
      obj.InSince = [];
      obj.Used = true;
      obj.Power = NaN;
      obj.changed(conn, struct('Target', target, 'Setpoint', first, 'Rate', rate * 60));
    end

    function changed(obj, conn, details)
      fields = struct('Part', 'cooler', 'State', obj.Mode);
      names = fieldnames(details);
      for k = 1:numel(names)
        fields.(names{k}) = details.(names{k});
      end
      conn.note('state', fields);
    end

    function stopped(obj)
      obj.Mode = 'off';
      obj.Target = [];
      obj.Setpoint = NaN;
      obj.Ramp = [];
      obj.Stalled = false;
      obj.InSince = [];
      obj.Used = false;
      obj.Power = NaN;
    end

    % The ramp's setpoint for now, sent when it has moved a step; the ramp
    % ends once the setpoint is the target, or where the camera refuses a
    % step.
    function follow(obj, conn, checks)
      ramp = obj.Ramp;
      if isempty(ramp)
        return;
      end
      moved = ramp.Rate * (conn.now(checks) - ramp.Start);
      span = abs(ramp.To - ramp.From);
      if moved >= span - 1e-9
        setpoint = ramp.To;
      else
        steps = floor(moved / obj.Step + 1e-9);
        setpoint = onGrid(ramp.From + sign(ramp.To - ramp.From) * steps * obj.Step);
      end
      if setpoint ~= obj.Setpoint
        try
          conn.require(checks, 'BRELK_6_SetCoolerTemperature', setpoint);
        catch err
          % The camera holds the step before: the ramp ends there, so that
          % later readings do not send the refused step again.
          obj.Ramp = [];
          obj.Target = obj.Setpoint;
          obj.changed(conn, struct('Target', obj.Target, 'Setpoint', obj.Setpoint, 'Rate', 0));
          rethrow(err);
        end
        obj.Setpoint = setpoint;
      end
      if setpoint == ramp.To
        obj.Ramp = [];
      end
    end

    % A reading into the log, and whether the sensor is settling: within the
    % tolerance of the target, reading after reading, once a ramp is over.
    function note(obj, t, temperature, power)
      readings = obj.Readings;
      obj.Readings = [];
      n = obj.Count + 1;
      if n > size(readings, 1)
        readings(max(64, 2 * n), 4) = 0;
      end
      readings(n, :) = [t, temperature, obj.Setpoint, power];
      obj.Readings = readings;
      obj.Count = n;
      obj.LastRead = t;
      if strcmp(obj.Mode, 'regulating') && isempty(obj.Ramp) && abs(temperature - obj.Target) <= obj.Tolerance
        if isempty(obj.InSince)
          obj.InSince = t;
        end
      else
        obj.InSince = [];
      end
    end

    function tf = settled(obj)
      tf = ~isempty(obj.InSince) && obj.LastRead - obj.InSince >= obj.SettleTime - obj.Margin;
    end

    % Progress toward where the sensor should be. A reading counts only
    % with the one before it (the one of the two farther from where it
    % should be), so that one stray reading neither ends a wait nor moves
    % its mark: s.Mark is that temperature at the last progress, s.Since
    % its time (from the wait's first reading), s.Last the reading before
    % and its time.
    function s = progress(obj, s, temperature, tolerance)
      t = obj.LastRead;
      if isempty(s.Since)
        s.Since = t;               % the stall time runs from the first poll
      end
      if isnan(temperature)
        return;                    % unreadable: no progress, nothing to compare with
      end
      reference = obj.Target;
      if ~isempty(obj.Ramp)
        reference = obj.Setpoint;
      end
      if isempty(s.Last)
        s.Last = [temperature, t];
        return;
      end
      candidate = [temperature, t];
      if abs(s.Last(1) - reference) > abs(temperature - reference)
        candidate = s.Last;
      end
      s.Last = [temperature, t];
      tracking = ~isempty(obj.Ramp) && abs(candidate(1) - reference) <= tolerance;
      if isempty(s.Mark)
        toward = 0;                % the first mark: nothing to come closer than
        s.Mark = candidate(1);
      else
        toward = (candidate(1) - s.Mark) * sign(reference - s.Mark);
      end
      if tracking || toward >= obj.Step - 1e-9
        s.Mark = candidate(1);
        s.Since = candidate(2);
      end
    end
  end
end

% The nearest tenth of a degree, as the double a script would write for it.
function value = onGrid(value)
  value = round(value * 10) / 10;
end

function text = powerText(power)
  if isnan(power)
    text = 'the cooler''s power unreadable';
  else
    text = sprintf('the cooler at %.0f%% power', power);
  end
end
