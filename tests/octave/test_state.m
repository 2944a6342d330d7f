function tests = test_state
% brelk.Camera says what the camera holds: what the camera refused is not
% kept, connecting and closing are done whole or can be finished, and the
% Cameras on one ID share the cooler. SIM-MONO and SIM-COLOR on the manual
% clock.
  tests = {@a_refused_value_leaves_the_one_before, @a_ramp_ends_where_the_camera_refuses_its_step, ...
           @an_operation_whose_open_failed_changes_nothing, ...
           @a_failed_close_can_be_called_again_to_finish, ...
           @a_failed_connect_closes_what_it_opened, ...
           @a_failed_read_while_connecting_is_an_error_not_a_feature, ...
           @cameras_on_one_id_share_the_cooler, ...
           @an_exposure_is_over_only_when_its_time_has_passed, ...
           @no_exposure_starts_while_the_wheel_turns};
end

% Each case: what is accepted first, the statement the camera refuses (its
% setter scripted to fail), and what reads back after.
function a_refused_value_leaves_the_one_before
  cases = {  % first, refused, control failed, read back, expected
    'cam.Gain = 10',                'cam.Gain = 20',                6,  'cam.Gain',                10
    'cam.ExposureTime = 2',         'cam.ExposureTime = 3',         8,  'cam.ExposureTime',        2
    'cam.TemperatureSetpoint = -5', 'cam.TemperatureSetpoint = -9', 18, '{cam.TemperatureSetpoint, cam.CoolerState}', ...
      {-5, 'settling'}
    'cam.coolTo(-5, ''Wait'', false)', 'cam.coolTo(-9, ''Rate'', 2)', 18, ...
      '{cam.TemperatureSetpoint, cam.CoolerState}', {-5, 'settling'}
    'cam.CoolerPower = 50',         'cam.CoolerPower = 0',          16, '{cam.CoolerState, cam.TemperatureSetpoint}', ...
      {'settling', []}
    'cam.FilterWheel.moveTo(3)',    'cam.FilterWheel.moveTo(5)',    17, 'cam.FilterWheel.Position', 3
  };
  for k = 1:size(cases, 1)
    [first, refused, control, readBack, expected] = cases{k, :};
    brelk_test_reset();
    cam = brelk_camera('SIM-MONO');
    eval([first ';']);
    brelksim('script', 'SetBRELKCCDParam', control, -1);
    identifier = brelk_error(refused);
    check(identifier(end - 8:end), 'sdkFailed', '%s', refused);
    brelksim('unscript', 'SetBRELKCCDParam');
    check(eval(readBack), expected, '%s after %s', readBack, refused);
    delete(cam);
  end
  brelk_test_reset();
  cam = brelk_camera('SIM-MONO');
  brelksim('script', 'SetBRELKCCDParam', 17, -1);
  [identifier, message] = brelk_error('cam.FilterWheel.moveTo(5)');
  check({identifier, message}, {'brelk:FilterWheel:sdkFailed', ...
        'BRELK_8_SetCFWTarget(''SIM-MONO'', ''4''): Set CFW target position failed.'}, 'the wheel''s own error');
end

% SIM-MONO takes setpoints down to -50 C: a ramp to -60 C has its step
% to -55 C refused. It ends on the step the camera holds, and later
% readings do not send the refused step again.
function a_ramp_ends_where_the_camera_refuses_its_step
  cam = brelk_camera('SIM-MONO');
  cam.coolTo(-60, 'Rate', 60, 'Wait', false);   % 20 C to -60 C in 80 s
  brelksim('advance', 70);
  cam.Temperature;                                 % the step to -50 C
  brelksim('advance', 5);
  [identifier, message] = brelk_error('cam.Temperature');
  check({identifier, message}, {'brelk:Camera:sdkFailed', ...
        'BRELK_6_SetCoolerTemperature(''SIM-MONO'', -55): Set target temperature failed.'}, 'the step refused');
  check({cam.TemperatureSetpoint, cam.CoolerState}, {-50, 'settling'}, 'regulating to the step held');
  brelk_sent();
  cam.Temperature;
  check(brelk_sent(), cell(0, 1), 'the refused step not sent again');
end

function an_operation_whose_open_failed_changes_nothing
  cam = brelk_camera('SIM-MONO');
  statements = {'cam.coolTo(-10)', 'cam.coolTo(-10, ''Rate'', 3)', 'cam.TemperatureSetpoint = -10', ...
                'cam.Gain = 5', 'cam.startExposure(1)', 'cam.FilterWheel.moveTo(2)'};
  for k = 1:numel(statements)
    brelksim('script', 'OpenBRELKCCD', 0, 1);
    [identifier, message] = brelk_error(statements{k});
    check(identifier(end - 11:end), 'notConnected', '%s: %s', statements{k}, message);
    check({cam.TemperatureSetpoint, cam.CoolerState, cam.Gain, cam.State}, {[], 'off', [], 'idle'}, ...
          '%s changed the object', statements{k});
  end
end

% The cooler's switch-off and the camera's close fail: the object stays
% open and usable, and a second close does what is left, warming up no
% second time.
function a_failed_close_can_be_called_again_to_finish
  cam = brelk_camera('SIM-MONO');
  cam.coolTo(-5, 'Rate', 30);
  brelksim('script', 'SetBRELKCCDParam', 16, -1);
  brelksim('script', 'CloseBRELKCCD', -1);
  brelk_sdk_calls();
  [identifier, message] = brelk_error('cam.close()');
  check({identifier, message}, {'brelk:Camera:sdkFailed', ...
        'BRELK_6_SetCoolerOFF(''SIM-MONO''): Set cooler OFF failed.'}, 'the first failure');
  calls = brelk_sdk_calls();
  check(calls(end - 1:end), {'SetBRELKCCDParam(16, 0)'; 'CloseBRELKCCD()'}, 'every step tried');
  check(any(strcmp(calls, 'SetBRELKCCDParam(18, 20)')), true, 'warmed up first');
  check({cam.State, cam.CoolerState}, {'idle', 'warming'}, 'not closed');
  cam.Gain = 7;                             % still open
  brelksim('unscript', 'SetBRELKCCDParam');
  brelksim('unscript', 'CloseBRELKCCD');
  brelk_sdk_calls();
  cam.close();
  check(brelk_sdk_calls(), {'SetBRELKCCDParam(16, 0)'; 'CloseBRELKCCD()'; 'ReleaseBRELKCCDResource()'}, ...
        'the rest, and no second warm-up');
  check({cam.State, cam.CoolerState}, {'closed', 'off'}, 'closed');
  cam.close();
  check(brelk_sdk_calls(), cell(0, 1), 'a closed camera closes no more');

  % A Camera whose close fails as it is cleared is counted out all the same:
  % the last Camera still releases the SDK.
  colour = brelk_camera('SIM-COLOR');
  brelksim('script', 'SetBRELKCCDParam', 16, -1);
  warning('off', 'brelk:Camera:sdkFailed');
  restore = onCleanup(@() warning('on', 'brelk:Camera:sdkFailed'));
  mono = brelk_camera('SIM-MONO');
  clear mono
  brelksim('unscript', 'SetBRELKCCDParam');
  brelk_sdk_calls();
  colour.close();
  check(brelk_sdk_calls(), {'SetBRELKCCDParam(16, 0)'; 'CloseBRELKCCD()'; 'ReleaseBRELKCCDResource()'}, ...
        'released by the last');
end

% The chip info read fails after the read mode, stream mode and init: the
% camera is closed again, unless another Camera is open (closing releases
% the SDK, which would close that one too).
function a_failed_connect_closes_what_it_opened
  brelksim('script', 'GetBRELKCCDChipInfo', -1);
  brelksim('clearjournal');
  check(brelk_error('brelk_camera(''SIM-MONO'')'), 'brelk:Camera:sdkFailed', 'the read failed');
  calls = brelk_sdk_calls();
  check(calls(end - 1:end), {'CloseBRELKCCD()'; 'ReleaseBRELKCCDResource()'}, 'closed again');
  [~, status] = brelk_call('BRELK_6_SetGain', 'SIM-MONO', 1);
  check(status, int32(-1), 'no longer initialised');

  brelksim('unscript', 'GetBRELKCCDChipInfo');
  colour = brelk_camera('SIM-COLOR');
  brelksim('script', 'GetBRELKCCDChipInfo', -1);
  brelk_sdk_calls();
  check(brelk_error('brelk_camera(''SIM-MONO'')'), 'brelk:Camera:sdkFailed', 'the read failed again');
  check(any(strcmp(brelk_sdk_calls(), 'CloseBRELKCCD()')), false, 'SIM-COLOR open: nothing closed');
  colour.Gain = 3;
  brelksim('unscript', 'GetBRELKCCDChipInfo');
  mono = brelk_camera('SIM-MONO');         % the failed ones left no trace
  colour.close();
  check(any(strcmp(brelk_sdk_calls(), 'ReleaseBRELKCCDResource()')), false, 'SIM-MONO still open');
  mono.close();
  check(brelk_sdk_calls(), {'SetBRELKCCDParam(16, 0)'; 'CloseBRELKCCD()'; 'ReleaseBRELKCCDResource()'}, ...
        'the last one releases');
end

function a_failed_read_while_connecting_is_an_error_not_a_feature
  cases = {  % camera, script, then a fault at the camera's clock reading k, identifier, message
    'SIM-COLOR', {'IsBRELKCCDControlAvailable', 20, -1}, [], 'brelk:Camera:sdkFailed', ...
      'BRELK_7_GetDebayer(''SIM-COLOR''): Get debayer format failed.'
    'SIM-MONO', {}, 8, 'brelk:Camera:notConnected', 'BRELK_7_GetDebayer(''SIM-MONO''): Open BRELKCCD failed.'
    'SIM-MONO', {}, 9, 'brelk:Camera:notConnected', 'BRELK_8_CheckCFWPlug(''SIM-MONO''): Open BRELKCCD failed.'
    'SIM-MONO', {}, 10, 'brelk:Camera:notConnected', ...
      'BRELK_8_GetCFWSlotsNum(''SIM-MONO''): Open BRELKCCD failed.'
  };
  for k = 1:size(cases, 1)
    [id, script, reading, identifier, message] = cases{k, :};
    brelk_test_reset();
    if ~isempty(script)
      brelksim('script', script{:});
    end
    clock = brelk_test_clock();
    if ~isempty(reading)
      clock.at(reading, @() brelksim('script', 'OpenBRELKCCD', 0, 1));
    end
    [raised, text] = brelk_error('brelk_camera(id, ''Clock'', @() clock.read())');
    check({raised, text}, {identifier, message}, 'case %d', k);
  end
  brelk_test_reset();
  brelksim('script', 'IsBRELKCCDControlAvailable', 20, 0);  % a pattern code the toolbox does not know
  colour = brelk_camera('SIM-COLOR');
  check({colour.IsColor, colour.BayerPattern}, {true, ''}, 'colour, of no known pattern');
end

% The second object on SIM-MONO cools; the first closes and lets go; the
% second, the last, warms up before it closes.
function cameras_on_one_id_share_the_cooler
  first = brelk_camera('SIM-MONO');
  second = brelk_camera('SIM-MONO');
  second.coolTo(-5, 'Wait', false);
  check({first.TemperatureSetpoint, first.CoolerState}, {-5, 'settling'}, 'the first sees the setpoint');
  brelksim('advance', 300);
  brelk_sdk_calls();
  first.close();
  check(brelk_sdk_calls(), cell(0, 1), 'the first lets go');
  second.WarmUpOnClose = true;
  second.close();
  calls = brelk_sdk_calls();
  check(any(strcmp(calls, 'SetBRELKCCDParam(18, 20)')), true, 'the last warmed up');
  check(calls(end - 1:end), {'CloseBRELKCCD()'; 'ReleaseBRELKCCDResource()'}, 'and closed');

  brelk_test_reset();
  first = brelk_camera('SIM-MONO');
  second = brelk_camera('SIM-MONO');
  first.TemperatureSetpoint = -5;          % used by the first, which lets go first
  brelksim('advance', 300);
  first.close();
  brelk_sdk_calls();
  second.close();
  check(any(strcmp(brelk_sdk_calls(), 'SetBRELKCCDParam(18, 20)')), true, 'warmed up for the first');
end

% A microsecond exposure: the wait lasts it, and the next one is accepted.
function an_exposure_is_over_only_when_its_time_has_passed
  cam = brelk_camera('SIM-MONO');
  brelk_sdk_calls();
  start = brelksim('now');
  cam.expose(1e-6);
  cam.expose(1e-6);
  cam.expose(1.005);                        % 1005000 us, not 1004999.99...
  check(brelk_sent(), {'SetBRELKCCDParam(8, 1)'; 'ExpBRELKCCDSingleFrame()'; 'ExpBRELKCCDSingleFrame()'; ...
                       'SetBRELKCCDParam(8, 1005000)'; 'ExpBRELKCCDSingleFrame()'}, 'three exposures');
  assert(brelksim('now') - start >= 1.005 + 2e-6 - 1e-12, 'the exposures took %.9f s', brelksim('now') - start);
  check({cam.ExposureTime, cam.State}, {1.005, 'idle'}, 'as the camera holds it');
  [identifier, message] = brelk_error('cam.expose(4e-7)');
  check({identifier, message}, {'brelk:Camera:invalidValue', ...
        'The exposure time must be at least one camera unit (1e-06 s), not 4e-07.'}, 'less than a unit');
end

function no_exposure_starts_while_the_wheel_turns
  cam = brelk_camera('SIM-MONO');
  cam.FilterWheel.moveTo(4, 'Wait', false);
  brelk_sdk_calls();
  [identifier, message] = brelk_error('cam.startExposure(1)');
  check({identifier, message}, {'brelk:Camera:invalidOperation', ...
        'Cannot start an exposure: the filter wheel of SIM-MONO is turning.'}, 'refused');
  check(brelk_sdk_calls(), {'IsBRELKCCDControlAvailable(17)'; 'GetBRELKCCDParam(17)'}, 'only the wheel read');
  brelksim('advance', 3);
  cam.startExposure(1);
  check(cam.State, 'exposing', 'accepted once the wheel is there');
end
