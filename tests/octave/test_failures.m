function tests = test_failures
% What a script sees when a call cannot succeed: an unknown camera, a camera
% without the feature, and SDK failures scripted through brelksim.
  tests = {@unknown_camera_fails_every_function, @missing_features_stop_at_the_guard, ...
           @scripted_sdk_failures, @failed_reads_still_return_their_outputs};
end

function unknown_camera_fails_every_function
  functions = brelk_functions();
  for k = 1:size(functions, 1)
    [name, args, outputs] = functions{k, :};
    expected = sprintf('Open BRELKCCD failed.\n');
    if strcmp(name, 'BRELK_2_SetReadMode')
      expected = [sprintf('id = NO-SUCH-CAMERA\n') expected];
    end
    brelksim('clearjournal');
    [text, status] = brelk_call(name, 'NO-SUCH-CAMERA', args{:});
    check({text, status}, {expected, int32(-1)}, name);
    check(brelksim('journal'), {'OpenBRELKCCD("NO-SUCH-CAMERA")'}, name);
    if outputs > 0  % every output asked for, each saying nothing was read
      got = cell(1, outputs);
      [text, status, got{:}] = brelk_call(name, 'NO-SUCH-CAMERA', args{:});
      check({text, status, got}, {expected, int32(-1), brelk_unread_outputs(name)}, '%s, all outputs', name);
    end
  end
end

function missing_features_stop_at_the_guard
  cases = {  % camera, function, outputs after the status, guard control, message
    'SIM-COLOR', 'BRELK_8_CheckCFWPlug',   0, 17, sprintf('Camera don''t support CFW control function.\n')
    'SIM-COLOR', 'BRELK_8_GetCFWSlotsNum', 1, 17, sprintf('Camera don''t support CFW control function.\n')
    'SIM-COLOR', 'BRELK_8_GetCFWStatus',   1, 17, sprintf('Camera don''t support CFW control function.\n')
    'SIM-COLOR', 'BRELK_8_SetCFWTarget',   0, 17, sprintf('Camera don''t support CFW control function.\n')
    'SIM-MONO',  'BRELK_7_GetHumidity',    1, 62, sprintf('Camera don''t support humidity function.\n')
    'SIM-MONO',  'BRELK_7_GetPressure',    1, 63, sprintf('Camera don''t support pressure function.\n')
    'SIM-MONO',  'BRELK_7_GetDebayer',     1, 59, sprintf('Camera don''t support color function.\n')
  };
  brelk_ready('SIM-MONO');
  brelk_ready('SIM-COLOR');
  for k = 1:size(cases, 1)
    [id, name, outputs, control, message] = cases{k, :};
    args = {};
    if strcmp(name, 'BRELK_8_SetCFWTarget')
      args = {3};
    end
    brelksim('clearjournal');
    [text, status] = brelk_call(name, id, args{:});
    check({text, status}, {message, int32(-1)}, '%s(%s)', name, id);
    check(brelksim('journal'), {sprintf('OpenBRELKCCD("%s")', id); ...
                                sprintf('IsBRELKCCDControlAvailable(%d)', control)}, name);
    if outputs > 0
      got = cell(1, outputs);
      [text, status, got{:}] = brelk_call(name, id, args{:});
      check({text, status, got}, {message, int32(-1), brelk_unread_outputs(name)}, '%s(%s), all outputs', name, id);
    end
  end
end

function scripted_sdk_failures
  mono = 'SIM-MONO';
  roi = {10.9, 0, 640.2, 480};
  roi_echo = sprintf('x = 10.900000 y = 0.000000 sizex = 640.200000 sizey = 480.000000\n');
  cases = {  % camera, function, inputs, operation, control ([] any), result, printed, status
    mono, 'BRELK_2_SetReadMode', {1}, 'SetBRELKCCDReadMode', [], -1, ...
      sprintf('id = SIM-MONO\nreadMode = 1.000000\nSetup read mode failed.\n'), -1
    mono, 'BRELK_3_SetStreamMode', {1}, 'SetBRELKCCDStreamMode', [], 2, ...
      sprintf('streamMode = 1.000000\nSetup stream mode failed.\n'), -1
    mono, 'BRELK_4_InitCamera', {}, 'InitBRELKCCD', [], 1, sprintf('Init camera''s parameters failed.\n'), -1
    mono, 'BRELK_6_SetGain', {30}, 'SetBRELKCCDParam', 6, -1, sprintf('Set camera gain failed.\n'), -1
    mono, 'BRELK_6_SetLiveWBB', {10}, 'SetBRELKCCDParam', 3, 1, sprintf('Set camera bule balance failed.\n'), -1
    mono, 'BRELK_6_SetCoolerOFF', {}, 'SetBRELKCCDParam', 16, -1, sprintf('Set cooler OFF failed.\n'), -1
    mono, 'BRELK_6_SetDDR', {1}, 'SetBRELKCCDParam', 48, -1, sprintf('DDR value = 1.000000\nSet camera DDR failed.\n'), -1
    mono, 'BRELK_6_SetROI', roi, 'SetBRELKCCDResolution', [], -1, [roi_echo sprintf('Set camera ROI failed.\n')], -1
    mono, 'BRELK_8_CheckCFWPlug', {}, 'IsBRELKCCDCFWPlugged', [], -1, sprintf('No CFW is connected to camera.\n'), -1
    mono, 'BRELK_8_CheckCFWPlug', {}, 'IsBRELKCCDCFWPlugged', [], 1, sprintf('CFW is connected to camera.\n'), 0
    mono, 'BRELK_8_SetCFWTarget', {3}, 'SetBRELKCCDParam', 17, -1, sprintf('Set CFW target position failed.\n'), -1
    mono, 'BRELK_9_BeginSingleExpose', {}, 'ExpBRELKCCDSingleFrame', [], -1, sprintf('Begin single expose failed.\n'), -1
    mono, 'BRELK_9_BeginSingleExpose', {}, 'ExpBRELKCCDSingleFrame', [], 1, sprintf('Begin single expose successfully.\n'), 0
    mono, 'BRELK_9_StopSingleCapture', {}, 'CancelBRELKCCDExposingAndReadout', [], -1, sprintf('Stop single mode failed.\n'), -1
    mono, 'BRELK_10_BeginLiveExpose', {}, 'BeginBRELKCCDLive', [], -1, sprintf('Begin live expose failed.\n'), -1
    mono, 'BRELK_10_StopLiveCapture', {}, 'StopBRELKCCDLive', [], -1, sprintf('Stop live mode failed.\n'), -1
    mono, 'BRELK_11_CloseCamera', {}, 'CloseBRELKCCD', [], -1, sprintf('Close camera failed.\n'), -1
    mono, 'BRELK_11_CloseCamera', {}, 'ReleaseBRELKCCDResource', [], -1, ...
      sprintf('Close camera successfully.\nRelease resource failed.\n'), -1
    mono, 'BRELK_6_SetGain', {30}, 'OpenBRELKCCD', [], 0, sprintf('Open BRELKCCD failed.\n'), -1
    'SIM-COLOR', 'BRELK_7_GetDebayer', {}, 'IsBRELKCCDControlAvailable', 20, 5, sprintf('Debayer format error.\n'), -1
  };
  for k = 1:size(cases, 1)
    [id, name, args, operation, control, result, printed, expected] = cases{k, :};
    brelk_test_reset();
    brelk_ready(id);
    if isempty(control)
      brelksim('script', operation, result);
    else
      brelksim('script', operation, control, result);
    end
    [text, status] = brelk_call(name, id, args{:});
    check({text, status}, {printed, int32(expected)}, '%s with %s -> %g', name, operation, result);
  end
end

function failed_reads_still_return_their_outputs
  brelk_ready('SIM-MONO');
  brelk_ready('SIM-COLOR');
  brelksim('script', 'GetBRELKCCDParam', 44, -1);
  [text, status, slots] = brelk_call('BRELK_8_GetCFWSlotsNum', 'SIM-MONO');
  check({text, status, slots}, {sprintf('Get CFW slots number failed.\n'), int32(-1), int32(-1)}, 'slot count');

  brelksim('script', 'GetBRELKCCDParam', 17, -1.5);  % truncated before the test
  [text, status] = brelk_call('BRELK_8_GetCFWStatus', 'SIM-MONO');
  check({text, status}, {sprintf('Get CFW status failed.\n'), int32(-1)}, 'wheel status');

  brelksim('script', 'GetBRELKCCDParam', 14, -1);    % read as given, never tested
  [text, status, temperature] = brelk_call('BRELK_7_GetTemperature', 'SIM-MONO');
  check({text, status, temperature}, {['Current TEMP : -1.000000 ' brelk_celsius() newline], int32(0), -1}, ...
        'temperature');

  brelksim('outputs', 'GetBRELKCCDChipInfo', [36 24 6000 4000 6 6 16], 119);  % all but bit 3
  brelksim('script', 'GetBRELKCCDChipInfo', -1);
  out = cell(1, 6);
  [text, status, out{:}] = brelk_call('BRELK_7_GetChipInfo', 'SIM-MONO');
  check({text, status}, {sprintf('Get camera chip info failed.\n'), int32(-1)}, 'chip info');
  check(out, {36, 24, uint32(6000), uint32(0), 6, 6}, 'chip info, bit 3 (the image height) left unwritten');

  brelksim('script', 'IsBRELKCCDControlAvailable', 20, 0);
  [text, status, pattern] = brelk_call('BRELK_7_GetDebayer', 'SIM-COLOR');
  check({text, status, pattern}, {sprintf('Debayer format error.\n'), int32(-1), zeros(4, 1, 'uint8')}, ...
        'colour pattern');
end
