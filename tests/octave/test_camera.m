function [tests, any_sdk] = test_camera
% brelk.Camera on the simulated cameras and their manual clock: connecting,
% settings written through, exposures, every error identifier, two cameras
% at once, closing on clear, and the temperature plot; and its help, which
% runs on any SDK.
  tests = {@connecting_reads_the_camera, @settings_are_written_through_quietly, ...
           @exposures_take_their_time, @every_error_has_its_case, ...
           @closing_one_camera_keeps_the_other_working, @clearing_a_camera_closes_it, ...
           @the_plot_shows_the_temperature_log, @the_help_names_every_member_option_and_error};
  any_sdk = {@the_help_names_every_member_option_and_error};
end

function connecting_reads_the_camera
  text = evalc('mono = brelk_camera(''SIM-MONO'', ''ReadMode'', 2);');
  check(text, '', 'connecting prints nothing by default');
  check(brelk_sdk_calls(), {'SetBRELKCCDReadMode(2)'; 'SetBRELKCCDStreamMode(0)'; 'InitBRELKCCD()'; ...
                            'GetBRELKCCDChipInfo()'; 'GetBRELKCCDEffectiveArea()'; 'GetBRELKCCDOverScanArea()'; ...
                            'IsBRELKCCDControlAvailable(59)'; ...
                            'IsBRELKCCDControlAvailable(17)'; 'IsBRELKCCDCFWPlugged()'; ...
                            'IsBRELKCCDControlAvailable(17)'; 'GetBRELKCCDParam(44)'}, 'SIM-MONO connects');
  check({mono.ID, mono.IsColor, mono.BayerPattern, mono.ReadMode, mono.StreamMode, mono.State}, ...
        {'SIM-MONO', false, '', 2, 0, 'idle'}, 'SIM-MONO');
  check(mono.Sensor, struct('ChipSize', [3072 2048] * 3.75 / 1000, 'ImageSize', [3072 2048], ...
                            'PixelSize', [3.75 3.75], 'EffectiveArea', [48 24 3008 2008], ...
                            'OverscanArea', [8 24 32 2008]), 'SIM-MONO sensor');
  check({class(mono.FilterWheel), mono.FilterWheel.SlotCount, mono.FilterWheel.Names}, ...
        {'brelk.FilterWheel', 7, {'1', '2', '3', '4', '5', '6', '7'}}, 'SIM-MONO wheel');

  text = evalc('colour = brelk_camera(''SIM-COLOR'', ''Verbose'', true);');
  check(strsplit(text(1:end - 1), newline)', ...
        {'id = SIM-COLOR'; 'readMode = 0.000000'; 'Setup read mode successfully.'; ...
         'streamMode = 0.000000'; 'Setup stream mode successfully.'; ...
         'Init camera''s parameters successfully.'; 'Get camera chip info successfully.'; ...
         'Get camera effective area successfully.'; 'Get camera overscan area successfully.'; ...
         'Get debayer format successfully.RGGB'; 'Camera don''t support CFW control function.'}, ...
        'SIM-COLOR connects, verbose');
  check({colour.IsColor, colour.BayerPattern, colour.FilterWheel, colour.Sensor.ImageSize}, ...
        {true, 'RGGB', [], [4096 2760]}, 'SIM-COLOR');
  check({colour.Temperature, colour.CoolerPower, colour.Humidity, colour.Pressure}, {20, 0, 45, 1013.25}, ...
        'SIM-COLOR readings');
  check(numel(colour.TemperatureLog.Temperature), 1, 'a temperature read is logged');
end

function settings_are_written_through_quietly
  cam = brelk_camera('SIM-MONO');
  brelk_sdk_calls();
  check({cam.Gain, cam.ExposureTime, cam.ROI, cam.DDR}, {[], [], [], []}, 'nothing set yet');
  text = evalc(['cam.Gain = 30; cam.Offset = 10; cam.ExposureTime = 0.25; cam.Brightness = -5; ' ...
                'cam.Contrast = 7; cam.Gamma = 1.5; cam.Traffic = 40; cam.DDR = false; ' ...
                'cam.ROI = [100 50 1024 768];']);
  check(text, '', 'settings print nothing by default');
  check(brelk_sdk_calls(), {'SetBRELKCCDParam(6, 30)'; 'SetBRELKCCDParam(7, 10)'; ...
                            'SetBRELKCCDParam(8, 250000)'; 'SetBRELKCCDParam(0, -5)'; ...
                            'SetBRELKCCDParam(1, 7)'; 'SetBRELKCCDParam(5, 1.5)'; ...
                            'SetBRELKCCDParam(12, 40)'; 'SetBRELKCCDParam(48, 0)'; ...
                            'SetBRELKCCDResolution(100, 50, 1024, 768)'}, 'the settings sent');
  check({cam.Gain, cam.Offset, cam.ExposureTime, cam.Brightness, cam.Contrast, cam.Gamma, ...
         cam.Traffic, cam.DDR, cam.ROI}, {30, 10, 0.25, -5, 7, 1.5, 40, false, [100 50 1024 768]}, ...
        'the settings read back');
  last = cam.Log(end);
  check({last.Function, last.Inputs, last.Status, last.Text}, ...
        {'BRELK_6_SetROI', {100, 50, 1024, 768}, int32(0), ...
         sprintf('x = 100.000000 y = 50.000000 sizex = 1024.000000 sizey = 768.000000\nSet camera ROI successfully***********.\n')}, ...
        'the log keeps what the function printed');
  cam.Verbose = true;
  check(evalc('cam.Gain = 31;'), sprintf('Set camera gain successfully.\n'), 'Verbose shows it');

  slow = brelk_camera('SIM-COLOR', 'ExposureUnit', 1e3);  % a camera counting milliseconds
  brelk_sdk_calls();
  slow.ExposureTime = 2.0004;
  slow.WhiteBalanceRed = 140;
  slow.WhiteBalanceGreen = 120;
  slow.WhiteBalanceBlue = 100;
  check(brelk_sdk_calls(), {'SetBRELKCCDParam(8, 2000)'; 'SetBRELKCCDParam(2, 140)'; ...
                            'SetBRELKCCDParam(4, 120)'; 'SetBRELKCCDParam(3, 100)'}, 'ExposureUnit, white balance');
  check({slow.ExposureTime, slow.WhiteBalanceRed, slow.WhiteBalanceGreen, slow.WhiteBalanceBlue}, ...
        {2, 140, 120, 100}, 'as the camera holds them');
  check(brelk_error('cam.WhiteBalanceRed = 140'), 'brelk:Camera:sdkFailed', 'no white balance on SIM-MONO');
  check(cam.WhiteBalanceRed, [], 'nothing kept');
end

function exposures_take_their_time
  cam = brelk_camera('SIM-MONO');
  brelk_sdk_calls();
  start = brelksim('now');
  cam.startExposure(2);
  brelksim('advance', 0.5);
  check_near({cam.State, cam.PercentCompleted}, {'exposing', 25}, 1e-9, 'a quarter through');
  cam.waitForExposure();
  check_near({cam.State, cam.PercentCompleted, brelksim('now') - start}, {'idle', 100, 2}, 1e-9, 'waited');
  cam.expose(2);                            % the same time is not sent again
  check_near(brelksim('now') - start, 4, 1e-9, 'exposed again');
  cam.startExposure(1);
  brelksim('advance', 0.25);
  cam.abortExposure();
  check_near({cam.State, cam.PercentCompleted}, {'idle', 25}, 1e-9, 'aborted a quarter through');
  cam.startLive();
  check(cam.State, 'live', 'live');
  cam.stopLive();
  check(brelk_sent(), {'SetBRELKCCDParam(8, 2000000)'; 'ExpBRELKCCDSingleFrame()'; ...
                       'ExpBRELKCCDSingleFrame()'; 'SetBRELKCCDParam(8, 1000000)'; ...
                       'ExpBRELKCCDSingleFrame()'; 'CancelBRELKCCDExposingAndReadout()'; ...
                       'BeginBRELKCCDLive()'; 'StopBRELKCCDLive()'}, 'the exposures sent');
  check(cam.State, 'idle', 'stopped');
  % For its record, each exposure reads the wheel, the temperature and the
  % power as it starts, and the temperature and the power as it ends.
  cam.expose(1);
  check(brelk_sdk_calls(), {'IsBRELKCCDControlAvailable(17)'; 'GetBRELKCCDParam(17)'; 'GetBRELKCCDParam(14)'; ...
                            'GetBRELKCCDParam(16)'; 'ExpBRELKCCDSingleFrame()'; 'GetBRELKCCDParam(14)'; ...
                            'GetBRELKCCDParam(16)'}, 'the reads of a record');
end

% Each identifier from the case that should raise it, with the message, and
% the SDK calls the case made: none at all for a refused value.
function every_error_has_its_case
  mono = brelk_camera('SIM-MONO');
  colour = brelk_camera('SIM-COLOR');
  wheel = mono.FilterWheel;
  brelksim('script', 'SetBRELKCCDParam', 6, -1);  % gain settings fail
  none = cell(0, 1);
  cases = {  % statement, identifier, message, SDK calls after the opens ([] unchecked)
    'brelk.Camera(''NO-SUCH'')', 'brelk:Camera:notConnected', ...
      'BRELK_2_SetReadMode(''NO-SUCH'', 0): Open BRELKCCD failed.', none
    'mono.Gain = 30', 'brelk:Camera:sdkFailed', 'BRELK_6_SetGain(''SIM-MONO'', 30): Set camera gain failed.', ...
      {'SetBRELKCCDParam(6, 30)'}
    'mono.Humidity', 'brelk:Camera:notSupported', ...
      'BRELK_7_GetHumidity(''SIM-MONO''): Camera don''t support humidity function.', ...
      {'IsBRELKCCDControlAvailable(62)'}
    'mono.startExposure(2); mono.startLive()', 'brelk:Camera:invalidOperation', ...
      'Cannot start live exposure: SIM-MONO is exposing.', ...
      {'IsBRELKCCDControlAvailable(17)'; 'GetBRELKCCDParam(17)'; 'GetBRELKCCDParam(14)'; 'GetBRELKCCDParam(16)'; ...
       'SetBRELKCCDParam(8, 2000000)'; 'ExpBRELKCCDSingleFrame()'}
    'wheel.moveTo(2)', 'brelk:FilterWheel:invalidOperation', ...
      'SIM-MONO is exposing: the filter wheel moves after the exposure (waitForExposure or abortExposure).', none
    'mono.waitForExposure(1)', 'brelk:Camera:timeout', 'SIM-MONO: after 1 s, the exposure is 50% done.', none
    'mono.abortExposure(); mono.waitForTemperature()', 'brelk:Camera:invalidOperation', ...
      'SIM-MONO has no temperature setpoint to wait for: use coolTo or TemperatureSetpoint.', ...
      {'CancelBRELKCCDExposingAndReadout()'; 'GetBRELKCCDParam(14)'; 'GetBRELKCCDParam(16)'}
    'mono.TemperatureSetpoint = -10; mono.waitForTemperature(0.2, 10)', 'brelk:Camera:timeout', ...
      sprintf('SIM-MONO: after 10 s, the sensor is at %.2f C, not within 0.2 C of -10 C.', -15 + 35 * exp(-10 / 120)), []
    'colour.plotTemperature()', 'brelk:Camera:invalidOperation', ...
      'No temperature of SIM-COLOR has been read yet: there is nothing to plot.', none
    'mono.FilterWheel = []', 'brelk:Camera:invalidOperation', ...
      'The FilterWheel of SIM-MONO is its own and cannot be set.', none
    'brelk.FilterWheel()', 'brelk:FilterWheel:invalidOperation', ...
      'A brelk.FilterWheel comes with its camera: use the FilterWheel of a brelk.Camera.', none
    'colour.close(); colour.Gain = 1', 'brelk:Camera:closed', 'SIM-COLOR has been closed.', ...
      {'SetBRELKCCDParam(16, 0)'}
    'stuck = brelk_camera(''SIM-COLOR'', ''Pause'', @(s) []); stuck.expose(1)', 'brelk:Camera:invalidOperation', ...
      'SIM-COLOR: the clock did not move while waiting: give ''Pause'' with ''Clock''.', []
  };
  for k = 1:size(cases, 1)
    [code, identifier, message, calls] = cases{k, :};
    brelksim('clearjournal');
    [raised, text] = brelk_error(code);
    check({raised, text}, {identifier, message}, code);
    if ~isempty(calls)
      check(brelk_sdk_calls(), calls, '%s: the SDK calls', code);
    end
  end

  refused = {  % statement, message: nothing reaches the camera
    'mono.Gain = NaN',                 'Gain must be a finite real scalar, not NaN.'
    'mono.Gain = [1 2]',               'Gain must be a finite real scalar, not a 1x2 double.'
    'mono.Gain = ''30''',              'Gain must be a finite real scalar, not ''30''.'
    'mono.Gain = 1i',                  'Gain must be a finite real scalar, not 0+1i.'
    'mono.Gain = true',                'Gain must be a finite real scalar, not logical true.'
    'mono.Gain = {}',                  'Gain must be a finite real scalar, not a 0x0 cell.'
    'mono.ExposureTime = 0',           'ExposureTime must be a finite real scalar above 0, not 0.'
    'mono.ExposureTime = Inf',         'ExposureTime must be a finite real scalar above 0, not Inf.'
    'mono.CoolerPower = 150',          'CoolerPower must be a real scalar from 0 to 100, not 150.'
    'mono.CoolerPower = -1',           'CoolerPower must be a real scalar from 0 to 100, not -1.'
    'mono.DDR = 2',                    'DDR must be true or false, not 2.'
    'mono.ROI = [0 0 3009 10]',        'ROI must be [x y width height] in whole pixels within the 3008 x 2008 effective area.'
    'mono.ROI = [0.5 0 10 10]',        'ROI must be [x y width height] in whole pixels within the 3008 x 2008 effective area.'
    'mono.ROI = [0 0 10]',             'ROI must be [x y width height] in whole pixels within the 3008 x 2008 effective area.'
    'mono.TemperatureSetpoint = NaN',  'TemperatureSetpoint must be a finite real scalar, not NaN.'
    'mono.coolTo(''cold'')',           'The target temperature must be a finite real scalar, not ''cold''.'
    'mono.coolTo()',                   'coolTo needs the target temperature in C.'
    'mono.coolTo(-10, ''Rate'', -1)',  'Option ''Rate'' must be a finite real scalar of 0 or more, not -1.'
    'mono.coolTo(-10, ''Bogus'', 1)',  'Unknown option ''Bogus''; the options are Rate, Duration, Tolerance, SettleTime, Wait, Timeout, StallTime, ProgressFcn.'
    'mono.coolTo(-10, ''Rate'', 1, ''Duration'', 5)', 'Give coolTo a ''Rate'' or a ''Duration'', not both.'
    'mono.warmUp(''Target'')',         'Options come in name-value pairs; the options are Rate, Target, Tolerance, StallTime, Timeout, ProgressFcn.'
    'mono.startExposure(-1)',          'The exposure time must be a finite real scalar above 0, not -1.'
    'mono.waitForExposure(0)',         'The timeout must be a real scalar above 0 (Inf for no limit), not 0.'
    'mono.Verbose = ''yes''',          'Verbose must be true or false, not ''yes''.'
    'mono.ProgressFcn = 3',            'ProgressFcn must be a function handle, or [] for none, not 3.'
    'brelk.Camera(42)',                'The camera ID must be a non-empty char row or string scalar, not 42.'
    'brelk.Camera(''SIM-MONO'', ''Clock'', 5)', 'Option ''Clock'' must be a function handle, not 5.'
    'wheel.moveTo(8)',                 'The slot must be a whole number from 1 to 7, not 8.'
    'wheel.moveTo(2.5)',               'The slot must be a whole number from 1 to 7, not 2.5.'
    'wheel.moveTo(''Z'')',             'No slot is named ''Z''; the names are 1, 2, 3, 4, 5, 6, 7.'
    'wheel.moveTo(2, ''Timeout'', 0)', 'Option ''Timeout'' must be a real scalar above 0 (Inf for no limit), not 0.'
    'wheel.Names = {''a'', ''b''}',    'Names must be 7 unique, non-empty texts (a cell array of char rows, or a string array).'
  };
  for k = 1:size(refused, 1)
    [code, message] = refused{k, :};
    component = 'Camera';
    if strncmp(code, 'wheel', 5)
      component = 'FilterWheel';
    end
    brelksim('clearjournal');
    [raised, text] = brelk_error(code);
    check({raised, text}, {['brelk:' component ':invalidValue'], message}, code);
    check(brelksim('journal'), cell(0, 1), '%s reached the camera', code);
  end

  mono.close();
  check(brelk_error('wheel.Position'), 'brelk:FilterWheel:closed', 'the wheel of a closed camera');
end

% BRELK_11_CloseCamera releases the SDK, which closes every camera: only the
% last Camera to close calls it.
function closing_one_camera_keeps_the_other_working
  mono = brelk_camera('SIM-MONO');
  colour = brelk_camera('SIM-COLOR');
  again = brelk_camera('SIM-MONO');       % a second object on the same camera
  brelk_sdk_calls();
  again.close();
  check(brelk_sdk_calls(), cell(0, 1), 'closing one of two objects on a camera leaves it alone');
  colour.close();
  check(brelk_sdk_calls(), {'SetBRELKCCDParam(16, 0)'}, 'the first camera closed: cooler off, no release');
  mono.Gain = 20;
  mono.expose(1);
  check(mono.State, 'idle', 'the other camera still exposes');
  mono.close();
  check(brelk_sent(), {'SetBRELKCCDParam(6, 20)'; 'SetBRELKCCDParam(8, 1000000)'; ...
                       'ExpBRELKCCDSingleFrame()'; 'SetBRELKCCDParam(16, 0)'; ...
                       'CloseBRELKCCD()'; 'ReleaseBRELKCCDResource()'}, 'the last one releases the SDK');
  check({mono.State, colour.State, again.State}, {'closed', 'closed', 'closed'}, 'all closed');
end

% The Camera is deleted when its last reference goes, here the end of this
% function's workspace; its delete closes it, warm-up first.
function clearing_a_camera_closes_it
  open_and_forget();
  calls = brelk_sdk_calls();
  check(calls(end - 2:end), {'SetBRELKCCDParam(16, 0)'; 'CloseBRELKCCD()'; 'ReleaseBRELKCCDResource()'}, ...
        'closed when cleared');
  setpoints = str2double(regexp(strjoin(calls', ' '), 'SetBRELKCCDParam\(18, (-?[\d.]+)\)', 'tokens', 'once'));
  check(setpoints, -5, 'the setpoint the camera had');
  check(any(strcmp(calls, 'SetBRELKCCDParam(18, 20)')), true, 'a warm-up to 20 C before closing');
  [~, status] = brelk_call('BRELK_6_SetGain', 'SIM-MONO', 30);
  check(status, int32(-1), 'the camera is closed and the SDK released');
end

function open_and_forget()
  cam = brelk_camera('SIM-MONO');
  cam.TemperatureSetpoint = -5;
  brelksim('advance', 300);
  cam.Temperature;
  clear cam
end

function the_plot_shows_the_temperature_log
  cam = brelk_camera('SIM-MONO');
  cam.coolTo(-10, 'Rate', 10);
  cam.FilterWheel.Names(1:2) = {'L', 'Ha'};
  cam.expose(30);
  cam.expose(30);
  cam.FilterWheel.moveTo('Ha');
  cam.expose(60);
  cam.close();                              % the log outlives the camera
  log = cam.TemperatureLog;
  figure_handle = figure('Visible', 'off');
  cleanup = onCleanup(@() close(figure_handle));
  returned = cam.plotTemperature(figure_handle);
  check(returned, figure_handle, 'the figure drawn into');
  lines = findobj(figure_handle, 'Type', 'line');
  lines = lines(cellfun(@numel, get(lines, 'XData')) == numel(log.Time));  % not the legend's
  plotted = cellfun(@(y) y(:), get(lines, 'YData'), 'UniformOutput', false);
  expected = {log.Temperature, log.Setpoint, log.Power};
  for k = 1:numel(expected)
    found = cellfun(@(y) isequaln(y, expected{k}), plotted);
    check(sum(found), 1, 'log column %d plotted once', k);
  end
  check(get(lines(1), 'XData'), log.Time' / 60, 'against minutes');
  check(numel(log.Time) > 10 && log.Temperature(1) == 20 && log.Setpoint(end) == 20, true, ...
        'the log runs from connecting through cooling and warm-up');
  % Each exposure's span shaded, one colour a filter; the legend below the
  % plot names the curves, the power and the filters.
  records = cam.Exposures;
  plot_axes = findobj(figure_handle, 'Type', 'axes', '-not', 'Tag', 'legend');
  shades = findobj(plot_axes, 'Type', 'patch');
  spans = cellfun(@(x) [min(x), max(x)], get(shades, 'XData'), 'UniformOutput', false);
  check_near(sortrows(vertcat(spans{:})), [[records.Time]', [records.Time]' + [records.Elapsed]'] / 60, 1e-9, ...
             'the exposures'' spans');
  colours = get(shades, 'FaceColor');
  [~, order] = sort(cellfun(@min, get(shades, 'XData')));
  colours = colours(order);
  check({isequal(colours{1}, colours{2}), isequal(colours{1}, colours{3})}, {true, false}, 'a colour a filter');
  shown = findobj(figure_handle, 'Type', 'axes', 'Tag', 'legend');
  check(get(shown, 'String'), {'Sensor', 'Setpoint', 'Cooler power', 'Exposure, L', 'Exposure, Ha'}, 'the legend');
  plot_area = get(plot_axes, 'Position');
  where = get(shown, 'Position');
  check(where(2) + where(4) <= plot_area{1}(2), true, 'the legend below the plot, over no curve');
end

% help brelk.Camera and help brelk.FilterWheel name every property, public
% method, option and error identifier of their class.
function the_help_names_every_member_option_and_error
  mnemonics = {'notConnected', 'sdkFailed', 'notSupported', 'invalidValue', 'invalidOperation', ...
               'timeout', 'temperatureNotReached', 'closed'};
  classes = {  % class, public methods, options of the constructor and methods
    'brelk.Camera', {'coolTo', 'warmUp', 'waitForTemperature', 'startExposure', 'waitForExposure', 'reconnect', ...
                     'expose', 'abortExposure', 'startLive', 'stopLive', 'close', 'plotTemperature'}, ...
      {'ReadMode', 'StreamMode', 'Verbose', 'ExposureUnit', 'WarmUpOnClose', 'ProgressFcn', 'Clock', ...
       'Pause', 'TemperatureInterval', 'StartTime', 'LogFile', 'Rate', 'Duration', 'Tolerance', 'SettleTime', ...
       'Wait', 'Timeout', 'StallTime', 'Target'}
    'brelk.FilterWheel', {'moveTo', 'waitForMove'}, {'Wait', 'Timeout', 'ProgressFcn'}
  };
  for k = 1:size(classes, 1)
    [name, members, options] = classes{k, :};
    text = brelk_help_text(name);
    missing = setdiff(members, methods(name));
    check(missing(:)', cell(1, 0), '%s lacks methods', name);
    errors = mnemonics;
    if strcmp(name, 'brelk.FilterWheel')
      errors = setdiff(mnemonics, {'temperatureNotReached'});  % not a wheel's
    end
    named = [properties(name)', members, strcat('''', options, ''''), errors];
    unnamed = named(cellfun(@(n) isempty(strfind(text, n)), named));
    check(unnamed, cell(1, 0), 'help %s does not name these', name);
    check(isempty(strfind(text, ['brelk:' name(7:end) ':'])), false, 'help %s shows no identifier', name);
  end
end
