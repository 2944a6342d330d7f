function tests = test_waits
% Every wait of brelk.Camera ends: by its timeout, or when what it waits for
% can no longer come, whatever the cooler's power reads; a clock that goes
% wrong ends it with an error instead of a hang. SIM-MONO, manual clock:
% its sensor rests at the 20 C ambient and gets no colder than -15 C.
  tests = {@a_sensor_that_comes_no_closer_stalls_whatever_the_power, ...
           @a_slow_ramp_is_progress_not_a_stall, ...
           @at_target_takes_the_settle_time_of_readings, ...
           @no_setpoint_accepted_means_nothing_to_wait_for, ...
           @a_clock_that_goes_wrong_ends_the_wait, ...
           @a_clock_that_cannot_be_read_is_refused_when_connecting, ...
           @a_failing_progress_function_is_a_warning};
end

% Each case: what is scripted, the target, the message; the wait stalls
% 120 s (its StallTime) after its first reading, the sensor never having
% moved 0.1 C toward the target.
function a_sensor_that_comes_no_closer_stalls_whatever_the_power
  cases = {  % scripts {operation, control, result}, target, message
    {}, 30, ...  % above ambient: the cooler idles at 0 %
      'SIM-MONO: the sensor has stayed at 20.00 C, 10.00 C from the target 30 C, with the cooler at 0% power for 120 s.'
    {{'GetBRELKCCDParam', 14, -3}, {'GetBRELKCCDParam', 16, 127.5}}, -10, ...  % never at 99 %
      'SIM-MONO: the sensor has stayed at -3.00 C, 7.00 C from the target -10 C, with the cooler at 50% power for 120 s.'
    {{'GetBRELKCCDParam', 14, -3}, {'GetBRELKCCDParam', 16, -1}}, -10, ...  % the power unreadable
      'SIM-MONO: the sensor has stayed at -3.00 C, 7.00 C from the target -10 C, with the cooler''s power unreadable for 120 s.'
    {{'GetBRELKCCDParam', 14, NaN}}, -10, ...  % nor the temperature
      'SIM-MONO: the sensor temperature could not be read, the target -10 C, with the cooler at 100% power for 120 s.'
  };
  for k = 1:size(cases, 1)
    [scripts, target, message] = cases{k, :};
    brelk_test_reset();
    cam = brelk_camera('SIM-MONO');
    for s = 1:numel(scripts)
      brelksim('script', scripts{s}{:});
    end
    start = brelksim('now');
    [identifier, text] = brelk_error('cam.coolTo(target)');
    check_near({identifier, text, brelksim('now') - start, cam.CoolerState}, ...
               {'brelk:Camera:temperatureNotReached', message, 120, 'stalled'}, 1e-9, 'case %d', k);
    brelksim('unscript', 'GetBRELKCCDParam');
    delete(cam);
  end
end

% 0.02 C a minute from 20 C to 19.8 C: ten minutes of a setpoint that moves
% a step every five, and a sensor that keeps within the tolerance of it.
function a_slow_ramp_is_progress_not_a_stall
  cam = brelk_camera('SIM-MONO');
  brelk_sdk_calls();
  start = brelksim('now');
  cam.coolTo(19.8, 'Rate', 0.02);
  check_near(brelksim('now') - start, 630, 1e-9, 'the ramp''s ten minutes and the settle time');
  sent = regexp(brelk_sdk_calls(), '^SetBRELKCCDParam\(18, (.*)\)$', 'tokens', 'once');
  check(str2double([sent{:}]), [20 19.9 19.8], 'the setpoints');
  check(cam.CoolerState, 'at target', 'at target');
end

% A reading at the target, once, on the way down: the wait goes on until
% the readings have stayed within the tolerance for 30 s.
function at_target_takes_the_settle_time_of_readings
  cam = brelk_camera('SIM-MONO');
  brelksim('script', 'GetBRELKCCDParam', 14, -10, 1);
  start = brelksim('now');
  cam.coolTo(-10);
  readings = cam.TemperatureLog;
  check(readings.Temperature(1), -10, 'the stray reading');
  arrival = 120 * log(35 / 5.2);
  elapsed = brelksim('now') - start;
  assert(elapsed >= arrival + 30 && elapsed < arrival + 32, 'returned after %g s', elapsed);
  cam.TemperatureSetpoint = -5;
  check(cam.CoolerState, 'settling', 'a new target, not yet reached');
  brelksim('advance', 60);
  check(cam.CoolerState, 'settling', 'the sensor within the tolerance, on one reading');
  brelksim('advance', 30);
  check(cam.CoolerState, 'at target', 'within the tolerance for 30 s of readings');
  cam.coolTo(-6, 'SettleTime', 0);          % one reading is enough
  check(cam.TemperatureLog.Temperature(end) <= -5.8, true, 'ended at its first reading within 0.2 C');
end

% A setpoint the camera refused is not one to wait for, nor one to report.
function no_setpoint_accepted_means_nothing_to_wait_for
  cam = brelk_camera('SIM-MONO');
  brelksim('script', 'SetBRELKCCDParam', 18, -1);
  check(brelk_error('cam.TemperatureSetpoint = -10'), 'brelk:Camera:sdkFailed', 'refused');
  check(brelk_error('cam.coolTo(-10, ''Rate'', 2)'), 'brelk:Camera:sdkFailed', 'a ramp refused');
  check({cam.TemperatureSetpoint, cam.CoolerState}, {[], 'off'}, 'nothing accepted');
  [identifier, message] = brelk_error('cam.waitForTemperature()');
  check({identifier, message}, {'brelk:Camera:invalidOperation', ...
        'SIM-MONO has no temperature setpoint to wait for: use coolTo or TemperatureSetpoint.'}, 'nothing to wait for');
end

% The clock goes wrong in the middle of a wait, with and without a timeout:
% the wait ends with invalidOperation at that reading.
function a_clock_that_goes_wrong_ends_the_wait
  cases = {  % the clock's reading from then on, the message's pattern
    NaN,                 '^SIM-MONO: the clock read NaN, not a finite real scalar\.$'
    Inf,                 '^SIM-MONO: the clock read Inf, not a finite real scalar\.$'
    @(t) t - 5,          '^SIM-MONO: the clock went back from \S+ s to \S+ s\.$'
    [1 2],               '^SIM-MONO: the clock read a 1x2 double, not a finite real scalar\.$'
    'late',              '^SIM-MONO: the clock read ''late'', not a finite real scalar\.$'
    @(t) error('my:clock', 'no time'), '^SIM-MONO: the clock raised an error: no time$'
  };
  for k = 1:size(cases, 1)
    for timeout = [Inf 600]
      brelk_test_reset();
      clock = brelk_test_clock();
      cam = brelk_camera('SIM-MONO', 'Clock', @() clock.read());
      clock.fail(clock.Reads + 20, cases{k, 1});
      [identifier, message] = brelk_error('cam.coolTo(-10, ''Timeout'', timeout)');
      check(identifier, 'brelk:Camera:invalidOperation', 'case %d, timeout %g: %s', k, timeout, message);
      assert(~isempty(regexp(message, cases{k, 2}, 'once')), 'case %d: %s', k, message);
      check(brelksim('now') < 60, true, 'case %d ended at once', k);
      clock.fail(Inf, []);
      delete(cam);
    end
  end
end

function a_clock_that_cannot_be_read_is_refused_when_connecting
  cases = {  % 'Clock', the message
    @sin,          '^Option ''Clock'' must return the time in seconds; it raised: '
    @() NaN,       '^Option ''Clock'' must return a finite real scalar, not NaN\.$'
    @() [],        '^Option ''Clock'' must return a finite real scalar, not a 0x0 double\.$'
    @() 1i,        '^Option ''Clock'' must return a finite real scalar, not 0\+1i\.$'
    5,             '^Option ''Clock'' must be a function handle, not 5\.$'
  };
  for k = 1:size(cases, 1)
    brelksim('clearjournal');
    clock = cases{k, 1};
    [identifier, message] = brelk_error('brelk.Camera(''SIM-MONO'', ''Clock'', clock)');
    check(identifier, 'brelk:Camera:invalidValue', 'case %d: %s', k, message);
    assert(~isempty(regexp(message, cases{k, 2}, 'once')), 'case %d: %s', k, message);
    check(brelksim('journal'), cell(0, 1), 'case %d reached the camera', k);
  end
end

function a_failing_progress_function_is_a_warning
  cam = brelk_camera('SIM-MONO', 'ProgressFcn', @(info) error('my:progress', 'a bug of mine'));
  lastwarn('');
  evalc('cam.expose(2);');
  [message, identifier] = lastwarn();
  check({identifier, message, cam.State}, ...
        {'brelk:Camera:progressFcnFailed', 'ProgressFcn raised an error: a bug of mine', 'idle'}, 'the wait went on');
end
