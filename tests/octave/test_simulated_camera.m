function tests = test_simulated_camera
% The simulated camera as a script meets it through the toolbox: its life
% cycle, the ranges it accepts, and its physics on the manual clock (the
% cooler, the filter wheel, the exposures).
  tests = {@life_cycle_gates_the_operations, @values_outside_the_ranges_are_refused, ...
           @regulated_cooling_reaches_the_target, @too_deep_a_target_is_approached_for_ever, ...
           @cooler_power_and_switching_off, @the_wheel_takes_time_to_move, ...
           @exposures_last_their_time_and_exclude_each_other};
end

% SIM-MONO: ambient 20 C, 35 C of cooling depth at full power, a thermal time
% constant of 120 s, one second per wheel slot.
function value = read(name, id)
  [~, ~, value] = brelk_call(name, id);
end

function expect(name, id, varargin)
  [text, status] = brelk_call(name, id, varargin{:});
  check(status, int32(0), '%s(%s) printed %s', name, id, text);
end

function refuse(name, id, varargin)
  [text, status] = brelk_call(name, id, varargin{:});
  check(status, int32(-1), '%s(%s) printed %s', name, id, text);
end

function life_cycle_gates_the_operations
  id = 'SIM-MONO';
  [text, status] = brelk_call('BRELK_6_SetGain', id, 30);      % opened, not initialised
  check({text, status}, {sprintf('Set camera gain failed.\n'), int32(-1)}, 'gain before init');
  [text, status] = brelk_call('BRELK_7_GetEffective', id);
  check({text, status}, {sprintf('Get camera effective area failed.\n'), int32(-1)}, 'area before init');
  refuse('BRELK_9_BeginSingleExpose', id);
  expect('BRELK_2_SetReadMode', id, 0);                        % the modes come before init
  expect('BRELK_3_SetStreamMode', id, 0);
  expect('BRELK_4_InitCamera', id);
  expect('BRELK_6_SetGain', id, 30);
  expect('BRELK_11_CloseCamera', id);
  refuse('BRELK_6_SetGain', id, 30);                           % closed and released
  refuse('BRELK_10_BeginLiveExpose', id);
  expect('BRELK_4_InitCamera', id);                            % a new session
  expect('BRELK_6_SetGain', id, 30);
end

function values_outside_the_ranges_are_refused
  brelk_ready('SIM-MONO');
  brelk_ready('SIM-COLOR');
  cases = {  % camera, function, inputs, accepted, SDK call
    'SIM-MONO',  'BRELK_6_SetGain',              {100},    true,  'SetBRELKCCDParam(6, 100)'
    'SIM-MONO',  'BRELK_6_SetGain',              {100.5},  false, 'SetBRELKCCDParam(6, 100.5)'
    'SIM-MONO',  'BRELK_6_SetGain',              {-1},     false, 'SetBRELKCCDParam(6, -1)'
    'SIM-MONO',  'BRELK_6_SetOffset',            {255},    true,  'SetBRELKCCDParam(7, 255)'
    'SIM-MONO',  'BRELK_6_SetOffset',            {256},    false, 'SetBRELKCCDParam(7, 256)'
    'SIM-MONO',  'BRELK_6_SetExposeTime',        {1},      true,  'SetBRELKCCDParam(8, 1)'
    'SIM-MONO',  'BRELK_6_SetExposeTime',        {0},      false, 'SetBRELKCCDParam(8, 0)'
    'SIM-MONO',  'BRELK_6_SetExposeTime',        {3600e6}, true,  'SetBRELKCCDParam(8, 3600000000)'
    'SIM-MONO',  'BRELK_6_SetExposeTime',        {3601e6}, false, 'SetBRELKCCDParam(8, 3601000000)'
    'SIM-MONO',  'BRELK_6_SetLiveBrightness',    {-101},   false, 'SetBRELKCCDParam(0, -101)'
    'SIM-MONO',  'BRELK_6_SetLiveContrast',      {100},    true,  'SetBRELKCCDParam(1, 100)'
    'SIM-MONO',  'BRELK_6_SetLiveGamma',         {0.05},   false, 'SetBRELKCCDParam(5, 0.050000000000000003)'
    'SIM-MONO',  'BRELK_6_SetTraffic',           {256},    false, 'SetBRELKCCDParam(12, 256)'
    'SIM-MONO',  'BRELK_6_SetDDR',               {0.5},    false, 'SetBRELKCCDParam(48, 0.5)'
    'SIM-MONO',  'BRELK_6_SetDDR',               {1},      true,  'SetBRELKCCDParam(48, 1)'
    'SIM-MONO',  'BRELK_6_SetLiveWBR',           {100},    false, 'SetBRELKCCDParam(2, 100)'   % colour only
    'SIM-COLOR', 'BRELK_6_SetLiveWBR',           {256},    false, 'SetBRELKCCDParam(2, 256)'
    'SIM-MONO',  'BRELK_6_SetCoolerTemperature', {-50},    true,  'SetBRELKCCDParam(18, -50)'
    'SIM-MONO',  'BRELK_6_SetCoolerTemperature', {-51},    false, 'SetBRELKCCDParam(18, -51)'
    'SIM-MONO',  'BRELK_6_SetCoolerPWM',         {100},    true,  'SetBRELKCCDParam(16, 255)'
    'SIM-MONO',  'BRELK_6_SetCoolerPWM',         {101},    false, 'SetBRELKCCDParam(16, 257.55000000000001)'
    'SIM-MONO',  'BRELK_2_SetReadMode',          {3},      true,  'SetBRELKCCDReadMode(3)'
    'SIM-MONO',  'BRELK_2_SetReadMode',          {4},      false, 'SetBRELKCCDReadMode(4)'
    'SIM-COLOR', 'BRELK_2_SetReadMode',          {2},      false, 'SetBRELKCCDReadMode(2)'
    'SIM-MONO',  'BRELK_3_SetStreamMode',        {2},      false, 'SetBRELKCCDStreamMode(2)'
    'SIM-MONO',  'BRELK_3_SetStreamMode',        {257},    true,  'SetBRELKCCDStreamMode(1)'   % low 8 bits
    'SIM-MONO',  'BRELK_6_SetROI',               {0, 0, 3008, 2008}, true,  'SetBRELKCCDResolution(0, 0, 3008, 2008)'
    'SIM-MONO',  'BRELK_6_SetROI',               {1, 0, 3008, 2008}, false, 'SetBRELKCCDResolution(1, 0, 3008, 2008)'
    'SIM-MONO',  'BRELK_6_SetROI',               {0, 0, 0, 10},      false, 'SetBRELKCCDResolution(0, 0, 0, 10)'
    'SIM-COLOR', 'BRELK_6_SetROI',               {0, 0, 4064, 2744}, true,  'SetBRELKCCDResolution(0, 0, 4064, 2744)'
  };
  endings = {'failed\.\n$', 'successfully\**\.\n$'};  % refused, accepted
  for k = 1:size(cases, 1)
    [id, name, inputs, accepted, call] = cases{k, :};
    brelksim('clearjournal');
    [text, status] = brelk_call(name, id, inputs{:});
    label = sprintf('%s(%s, %s)', name, id, mat2str([inputs{:}]));
    journal = brelksim('journal');
    check(journal{end}, call, label);
    check(status, int32(-~accepted), '%s printed %s', label, text);
    assert(~isempty(regexp(text, endings{accepted + 1}, 'once')), '%s printed %s', label, text);
  end
end

function regulated_cooling_reaches_the_target
  id = 'SIM-MONO';
  brelk_ready(id);
  expect('BRELK_6_SetCoolerTemperature', id, -10);
  % Full power pulls toward -15 C until -10 C is reached, after 120 ln 7 s; then it holds.
  curve = @(t) max(-10, -15 + 35 * exp(-t / 120));
  elapsed = 0;
  previous = read('BRELK_7_GetTemperature', id);
  check(previous, 20, 'at ambient');
  for step = [30 30 60 60 50 10 60 300]
    brelksim('advance', step);
    elapsed = elapsed + step;
    temperature = read('BRELK_7_GetTemperature', id);
    assert(abs(temperature - curve(elapsed)) < 1e-9, 'after %d s: %.17g, not %.17g', ...
           elapsed, temperature, curve(elapsed));
    assert(temperature < previous || temperature == -10, 'warmer after %d s', elapsed);
    previous = temperature;
  end
  check(temperature, -10, 'held at the target');
end

function too_deep_a_target_is_approached_for_ever
  id = 'SIM-MONO';
  brelk_ready(id);
  expect('BRELK_6_SetCoolerTemperature', id, -40);  % accepted: the regulator's range is -50..50
  brelksim('advance', 600);
  check_near(read('BRELK_7_GetTemperature', id), -15 + 35 * exp(-5), 1e-12, 'after 600 s');
  brelksim('advance', 3000);
  temperature = read('BRELK_7_GetTemperature', id);
  assert(temperature > -15 && temperature < -14.99999, 'after an hour: %.17g', temperature);
end

function cooler_power_and_switching_off
  id = 'SIM-MONO';
  brelk_ready(id);
  expect('BRELK_6_SetCoolerPWM', id, 50);   % half power holds 17.5 C below ambient
  brelksim('advance', 120);
  check_near(read('BRELK_7_GetTemperature', id), 2.5 + 17.5 * exp(-1), 1e-12, 'half power for 120 s');
  expect('BRELK_6_SetCoolerOFF', id);       % and back up toward ambient
  start = read('BRELK_7_GetTemperature', id);
  brelksim('advance', 120);
  check_near(read('BRELK_7_GetTemperature', id), 20 + (start - 20) * exp(-1), 1e-12, 'off for 120 s');
  brelksim('advance', 7200);
  check_near(read('BRELK_7_GetTemperature', id), 20, 1e-9, 'off for two hours more');
end

function the_wheel_takes_time_to_move
  id = 'SIM-MONO';
  brelk_ready(id);
  status = @() read('BRELK_8_GetCFWStatus', id);
  moving = uint8('N');
  check(status(), uint8('0'), 'at power-on');
  expect('BRELK_8_SetCFWTarget', id, 3);          % three slots: three seconds
  brelksim('advance', 1);
  check(status(), moving, 'after 1 s of 3');
  [text, result] = brelk_call('BRELK_8_SetCFWTarget', id, 5);
  check({text, result}, {sprintf('Set CFW target position failed.\n'), int32(-1)}, 'a target while moving');
  brelksim('advance', 1.999);
  check(status(), moving, 'just before 3 s');
  brelksim('advance', 0.001);
  check(status(), uint8('3'), 'at 3 s');
  expect('BRELK_8_SetCFWTarget', id, 3);          % already there
  check(status(), uint8('3'), 'already there');
  expect('BRELK_8_SetCFWTarget', id, '1');        % as a digit; two slots back
  brelksim('advance', 1.5);
  check(status(), moving, 'on the way back');
  brelksim('advance', 0.5);
  check(status(), uint8('1'), 'back at 1');
  expect('BRELK_8_SetCFWTarget', id, 6);          % the shorter way round: two slots
  brelksim('advance', 2);
  check(status(), uint8('6'), 'the shorter way round to 6');
  refuse('BRELK_8_SetCFWTarget', id, 7);          % seven slots: 0 to 6
  refuse('BRELK_8_SetCFWTarget', id, '7');
  check(status(), uint8('6'), 'still at 6');
end

function exposures_last_their_time_and_exclude_each_other
  id = 'SIM-MONO';
  brelk_ready(id);
  expect('BRELK_6_SetExposeTime', id, 2e6);       % two seconds
  expect('BRELK_9_BeginSingleExpose', id);
  brelksim('advance', 1.5);
  refuse('BRELK_9_BeginSingleExpose', id);        % still exposing
  refuse('BRELK_10_BeginLiveExpose', id);
  refuse('BRELK_6_SetROI', id, 0, 0, 640, 480);
  brelksim('advance', 0.5);
  expect('BRELK_10_BeginLiveExpose', id);         % the exposure has ended
  refuse('BRELK_9_BeginSingleExpose', id);        % live excludes single frames
  expect('BRELK_10_StopLiveCapture', id);
  expect('BRELK_10_StopLiveCapture', id);         % stopping again is harmless
  expect('BRELK_9_BeginSingleExpose', id);
  brelksim('advance', 0.5);
  expect('BRELK_9_StopSingleCapture', id);        % cancelled early
  expect('BRELK_9_BeginSingleExpose', id);        % so the camera is free at once
end
