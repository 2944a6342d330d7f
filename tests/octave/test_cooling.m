function tests = test_cooling
% brelk.Camera's cooler on SIM-MONO and its manual clock. SIM-MONO's sensor
% relaxes with a time constant of 120 s toward 20 C less 35 C times the
% cooler's share of full power; under a setpoint the regulator runs at full
% power until the sensor is there, then holds it (idle while it warms).
  tests = {@at_once_the_sensor_arrives_when_the_physics_says, ...
           @a_slow_ramp_steps_the_setpoint_and_the_sensor_follows, ...
           @a_target_beyond_the_cooler_raises_temperatureNotReached, ...
           @warm_up_ends_at_the_target_and_switches_the_cooler_off, ...
           @warm_up_ends_where_the_ambient_holds_the_sensor, ...
           @warm_up_from_an_unreadable_sensor_ramps_from_its_setpoint, ...
           @progress_is_reported_per_30_s_or_to_a_function};
end

function at_once_the_sensor_arrives_when_the_physics_says
  cam = brelk_camera('SIM-MONO');
  start = brelksim('now');
  cam.coolTo(-10);
  % Full power from 20 C: -15 + 35 exp(-t / 120) is within 0.2 C of -10 C
  % after 120 ln(35 / 5.2) s; the layer polls every 2 s, and returns once
  % its readings have been within the tolerance for the settle time of 30 s.
  arrival = 120 * log(35 / 5.2);
  elapsed = brelksim('now') - start;
  assert(elapsed >= arrival + 30 && elapsed < arrival + 32, ...
         'returned after %.3f s; the sensor arrives after %.3f s, and settles 30 s later', elapsed, arrival);
  check({cam.CoolerState, cam.TemperatureSetpoint}, {'at target', -10}, 'at target');
  log = cam.TemperatureLog;
  on_the_way = log.Time - log.Time(1) < arrival;
  check_near(log.Temperature(on_the_way), -15 + 35 * exp(-(log.Time(on_the_way) - log.Time(1)) / 120), 1e-9, ...
             'the course at full power');
  check(log.Power(on_the_way), 100 * ones(sum(on_the_way), 1), 'full power on the way');
  settling = log.Temperature(~on_the_way);
  check(numel(settling) >= 16 && all(abs(settling + 10) <= 0.2), true, 'within 0.2 C for the 30 s of settling');
end

% 2 C per minute is slower than full power ever cools SIM-MONO above -10 C
% (2.5 C a minute there), so the sensor keeps up with the setpoint and the
% ramp's end is its arrival; the settle time follows. Without 'Wait' the
% ramp moves on as the camera is read; waitForTemperature does the reading.
function a_slow_ramp_steps_the_setpoint_and_the_sensor_follows
  cam = brelk_camera('SIM-MONO');
  brelk_sdk_calls();
  start = brelksim('now');
  cam.coolTo(-10, 'Rate', 2, 'Wait', false);
  check({cam.CoolerState, cam.TemperatureSetpoint}, {'ramping', -10}, 'ramping');
  cam.waitForTemperature();
  check_near(brelksim('now') - start, 930, 1e-9, 'arrived as the ramp ended, settled 30 s later');
  check(cam.CoolerState, 'at target', 'at target');
  sent = regexp(brelk_sdk_calls(), '^SetBRELKCCDParam\(18, (.*)\)$', 'tokens', 'once');
  sent = str2double([sent{:}]);
  check(sent, (200:-1:-100) / 10, 'the setpoints sent: 0.1 C steps from 20 C to -10 C');
  log = cam.TemperatureLog;
  % Within a step, and what full power takes a little over a poll to cover
  % near -10 C (0.1 C in 2.4 s).
  lag = log.Temperature - log.Setpoint;
  lag = lag(~isnan(log.Setpoint));          % the reading the ramp started from had none
  assert(all(lag >= -1e-9 & lag < 0.12), 'the sensor lagged the setpoint by up to %g C', max(lag));
end

% SIM-MONO gets no colder than -15 C. Approaching it, the sensor comes 0.1 C
% closer to -40 C ever more slowly, until a 120 s without that stalls.
function a_target_beyond_the_cooler_raises_temperatureNotReached
  cam = brelk_camera('SIM-MONO');
  [identifier, message] = brelk_error('cam.coolTo(-40)');
  check(identifier, 'brelk:Camera:temperatureNotReached', message);
  assert(~isempty(regexp(message, ['^SIM-MONO: the sensor has stayed at -14\.\d\d C, 25\.\d\d C from the ' ...
                                   'target -40 C, with the cooler at 100% power for 12\d s\.$'], 'once')), '%s', message);
  check(cam.CoolerState, 'stalled', 'the state after');
  log = cam.TemperatureLog;
  last = log.Time >= log.Time(end) - 120;
  assert(abs(log.Temperature(end) + 15) < 0.2, 'stalled at %g C, not next to -15 C', log.Temperature(end));
  assert(max(log.Temperature(last)) - log.Temperature(end) < 0.1, 'it still came closer in its last 120 s');
  assert(all(log.Power(last) >= 99), 'not at full power');
  cam.coolTo(-12);                          % a target it can reach ends the stall
  check(cam.CoolerState, 'at target', 'reachable again');
end

function warm_up_ends_at_the_target_and_switches_the_cooler_off
  cam = brelk_camera('SIM-MONO');
  cam.TemperatureSetpoint = -10;
  brelksim('advance', 600);
  brelk_sdk_calls();
  cam.warmUp();                             % 3 C a minute to 20 C
  calls = brelk_sdk_calls();
  check(calls{end}, 'SetBRELKCCDParam(16, 0)', 'the cooler switched off last');
  sent = regexp(calls, '^SetBRELKCCDParam\(18, (.*)\)$', 'tokens', 'once');
  sent = str2double([sent{:}]);
  check(sent, (-100:200) / 10, 'the setpoints sent: 0.1 C steps from -10 C to 20 C');
  check({cam.CoolerState, cam.TemperatureSetpoint}, {'off', []}, 'off');
  log = cam.TemperatureLog;
  assert(log.Temperature(end) >= 19.8, 'ended at %g C', log.Temperature(end));
  check(cam.CoolerPower, 0, 'no power');
end

% A target above SIM-MONO's 20 C ambient: the sensor stops at 20 C, below
% the setpoint, and the warm-up ends 120 s after it last moved 0.1 C.
function warm_up_ends_where_the_ambient_holds_the_sensor
  cam = brelk_camera('SIM-MONO');
  cam.TemperatureSetpoint = -10;
  brelksim('advance', 600);
  cam.warmUp('Target', 25, 'Rate', 0);
  check(cam.CoolerState, 'off', 'off');
  log = cam.TemperatureLog;
  since = log.Time(1);                      % the last time it moved 0.1 C
  held = log.Temperature(1);
  for k = 2:numel(log.Time)
    if abs(log.Temperature(k) - held) >= 0.1
      held = log.Temperature(k);
      since = log.Time(k);
    end
  end
  still = log.Time(end) - since;
  assert(still >= 120 && still < 122, 'ended %g s after the sensor last moved 0.1 C', still);
  assert(log.Temperature(end) > 19.8 && log.Temperature(end) < 20, 'ended at %g C', log.Temperature(end));
  calls = brelk_sdk_calls();
  check(calls(end - 2:end), {'GetBRELKCCDParam(14)'; 'GetBRELKCCDParam(16)'; 'SetBRELKCCDParam(16, 0)'}, ...
        'a last reading, then the cooler off');
end

% The warm-up's first reading is NaN: the sensor, held at -10 C, is ramped
% up from there, never switched off cold.
function warm_up_from_an_unreadable_sensor_ramps_from_its_setpoint
  cam = brelk_camera('SIM-MONO');
  cam.TemperatureSetpoint = -10;
  brelksim('advance', 600);
  brelksim('script', 'GetBRELKCCDParam', 14, NaN, 1);
  brelk_sdk_calls();
  cam.warmUp();
  sent = brelk_sent();
  check(sent(1:3), {'SetBRELKCCDParam(18, -10)'; 'SetBRELKCCDParam(18, -9.9000000000000004)'; ...
                    'SetBRELKCCDParam(18, -9.8000000000000007)'}, 'ramped from the setpoint');
  check({sent{end}, cam.CoolerState}, {'SetBRELKCCDParam(16, 0)', 'off'}, 'off once warm');
end

function progress_is_reported_per_30_s_or_to_a_function
  cam = brelk.Camera('SIM-MONO', 'Clock', @() brelksim('now'), 'Pause', @(s) brelksim('advance', s));
  text = evalc('cam.coolTo(-10);');        % 230 s and 30 s to settle: eight lines, at 30 s to 240 s
  lines = strsplit(strtrim(text), newline)';
  temperature = @(t) -15 + 35 * exp(-t / 120);
  expected = arrayfun(@(t) sprintf('SIM-MONO cooling: sensor %.1f C, setpoint -10.0 C, power 100%%, %d:%02d elapsed', ...
                                   temperature(t), floor(t / 60), mod(t, 60)), (30:30:210)', 'UniformOutput', false);
  % Settling, held at -10 C by 30 C / 35 C of full power.
  expected{end + 1} = 'SIM-MONO cooling: sensor -10.0 C, setpoint -10.0 C, power 86%, 4:00 elapsed';
  check(lines, expected, 'a line per 30 s of cooling');
  check(evalc('cam.FilterWheel.moveTo(4);'), '', 'a short wait prints nothing');
  check(evalc('cam.coolTo(-5, ''ProgressFcn'', []);'), '', 'silenced for one call');

  cam.ProgressFcn = @brelk_progress_log;
  brelk_progress_log();
  cam.expose(2.5);
  infos = brelk_progress_log();
  check_near(cellfun(@(i) i.Elapsed, infos), [0 1 2 2.5], 1e-9, 'polled every second and at the end');
  check_near(cellfun(@(i) i.PercentCompleted, infos), [0 40 80 100], 1e-9, 'how far');
  check(cellfun(@(i) i.Done, infos), [false false false true], 'done at the end');
  check({infos{1}.ID, infos{1}.Operation}, {'SIM-MONO', 'exposure'}, 'what');
end
