function tests = test_brelksim
% The control MEX that scripts and tests use to drive the simulated camera.
  tests = {@journal_lists_every_call, @scripts_apply_per_control_until_reset, ...
           @a_gain_fault_for_one_call_fails_only_the_first_setting, ...
           @counted_scripts_answer_their_next_calls_then_fall_back, ...
           @unscript_removes_scripts_and_keeps_the_cameras, ...
           @a_scripted_open_other_than_zero_opens_as_usual, ...
           @scripted_outputs_follow_the_mask, @manual_clock_moves_only_when_advanced, ...
           @misuse_raises_a_usage_error};
end

function journal_lists_every_call
  brelk_call('BRELK_6_SetGain', 'SIM-MONO', 30);
  lines = brelksim('journal');
  assert(iscellstr(lines) && size(lines, 2) == 1);
  check(lines, {'OpenBRELKCCD("SIM-MONO")'; 'SetBRELKCCDParam(6, 30)'}, 'the journal');
  brelksim('clearjournal');
  check(size(brelksim('journal')), [0 1], 'the journal cleared');
  brelksim('journal', 'off');
  brelk_call('BRELK_6_SetGain', 'SIM-MONO', 31);
  brelksim('journal', 'on');
  brelk_call('BRELK_6_SetGain', 'SIM-MONO', 32);
  check(brelksim('journal'), {'OpenBRELKCCD("SIM-MONO")'; 'SetBRELKCCDParam(6, 32)'}, ...
        'only the call made while recording');
end

function scripts_apply_per_control_until_reset
  brelk_ready('SIM-MONO');
  brelksim('script', 'SetBRELKCCDParam', 6, -1);  % gain only
  check(brelk_call('BRELK_6_SetGain', 'SIM-MONO', 30), sprintf('Set camera gain failed.\n'), 'gain scripted');
  check(brelk_call('BRELK_6_SetOffset', 'SIM-MONO', 10), sprintf('Set camera offset successfully.\n'), ...
        'offset beside a gain script');
  brelksim('script', 'SetBRELKCCDParam', 1);      % no control: every control, positive
  check(brelk_call('BRELK_6_SetOffset', 'SIM-MONO', 10), sprintf('Set camera offset failed.\n'), ...
        'offset under the script for every control');
  check(brelk_call('BRELK_6_SetGain', 'SIM-MONO', 30), sprintf('Set camera gain failed.\n'), ...
        'the gain script before the one for every control');
  brelk_test_reset();
  brelk_ready('SIM-MONO');
  check(brelk_call('BRELK_6_SetGain', 'SIM-MONO', 30), sprintf('Set camera gain successfully.\n'), 'after the reset');
end

function a_gain_fault_for_one_call_fails_only_the_first_setting
  brelk_ready('SIM-MONO');
  brelksim('script', 'SetBRELKCCDParam', 6, -1, 1);
  [text, status] = brelk_call('BRELK_6_SetGain', 'SIM-MONO', 30);
  check({text, status}, {sprintf('Set camera gain failed.\n'), int32(-1)}, 'the counted call');
  [text, status] = brelk_call('BRELK_6_SetGain', 'SIM-MONO', 30);
  check({text, status}, {sprintf('Set camera gain successfully.\n'), int32(0)}, 'the call after it');
  check(brelksim('journal'), {'OpenBRELKCCD("SIM-MONO")'; 'SetBRELKCCDParam(6, 30)'; ...
                              'OpenBRELKCCD("SIM-MONO")'; 'SetBRELKCCDParam(6, 30)'}, 'both calls in the journal');
end

function counted_scripts_answer_their_next_calls_then_fall_back
  brelk_ready('SIM-MONO');
  % Without a control, four inputs are (operation, result, count).
  brelksim('script', 'ExpBRELKCCDSingleFrame', -1, 2);
  check(brelk_call('BRELK_9_BeginSingleExpose', 'SIM-MONO'), sprintf('Begin single expose failed.\n'), 'exposure 1 of 2');
  check(brelk_call('BRELK_9_BeginSingleExpose', 'SIM-MONO'), sprintf('Begin single expose failed.\n'), 'exposure 2 of 2');
  check(brelk_call('BRELK_9_BeginSingleExpose', 'SIM-MONO'), sprintf('Begin single expose successfully.\n'), ...
        'the exposure after the count');
  % [] counts every control's calls; other controls' calls use up the count.
  brelksim('script', 'SetBRELKCCDParam', [], -1, 2);
  check(brelk_call('BRELK_6_SetOffset', 'SIM-MONO', 10), sprintf('Set camera offset failed.\n'), 'setting 1 of 2');
  check(brelk_call('BRELK_6_SetGain', 'SIM-MONO', 30), sprintf('Set camera gain failed.\n'), 'setting 2 of 2');
  check(brelk_call('BRELK_6_SetGain', 'SIM-MONO', 30), sprintf('Set camera gain successfully.\n'), ...
        'the setting after the count');
  % After a control's counted script, the one for every control answers again.
  brelksim('script', 'SetBRELKCCDParam', 1);
  brelksim('script', 'SetBRELKCCDParam', 6, 0, 1);
  check(brelk_call('BRELK_6_SetGain', 'SIM-MONO', 30), sprintf('Set camera gain successfully.\n'), ...
        'the gain''s counted script');
  check(brelk_call('BRELK_6_SetGain', 'SIM-MONO', 30), sprintf('Set camera gain failed.\n'), ...
        'the script for every control after it');
  % A read: the scripted value once, then the sensor's own.
  brelksim('script', 'GetBRELKCCDParam', 14, -12.5, 1);
  [~, ~, first] = brelk_call('BRELK_7_GetTemperature', 'SIM-MONO');
  [~, ~, second] = brelk_call('BRELK_7_GetTemperature', 'SIM-MONO');
  check([first second], [-12.5 20], 'a scripted reading, then the sensor');
end

function unscript_removes_scripts_and_keeps_the_cameras
  brelk_ready('SIM-MONO');
  check(brelk_call('BRELK_6_SetGain', 'SIM-MONO', 30), sprintf('Set camera gain successfully.\n'), 'gain');
  check(brelk_call('BRELK_8_SetCFWTarget', 'SIM-MONO', '3'), sprintf('Set CFW target position successfully.\n'), ...
        'wheel target');
  brelksim('script', 'SetBRELKCCDParam', 6, -1);
  brelksim('script', 'SetBRELKCCDParam', 1);
  brelksim('unscript', 'SetBRELKCCDParam', 6);     % the one for every control answers now
  check(brelk_call('BRELK_6_SetGain', 'SIM-MONO', 40), sprintf('Set camera gain failed.\n'), ...
        'the gain''s script removed');
  brelksim('unscript', 'SetBRELKCCDParam', []);
  check(brelk_call('BRELK_6_SetGain', 'SIM-MONO', 40), sprintf('Set camera gain successfully.\n'), ...
        'the script for every control removed');

  brelksim('outputs', 'GetBRELKCCDEffectiveArea', [1 2 3 4]);
  brelksim('script', 'GetBRELKCCDEffectiveArea', -1);
  brelksim('unscript', 'GetBRELKCCDEffectiveArea');  % its outputs go too
  [text, status, x, y, w, h] = brelk_call('BRELK_7_GetEffective', 'SIM-MONO');
  check({text, status, [x y w h]}, {sprintf('Get camera effective area successfully.\n'), int32(0), ...
                                    uint32([48 24 3008 2008])}, 'the outputs unscripted with it');
  brelksim('unscript', 'InitBRELKCCD');              % nothing scripted: nothing happens

  % Still initialised, the wheel still on its way to slot 3.
  [~, status, wheel] = brelk_call('BRELK_8_GetCFWStatus', 'SIM-MONO');
  check({status, char(wheel)}, {int32(0), 'N'}, 'the wheel still moving');
  brelksim('advance', 3);
  [~, ~, wheel] = brelk_call('BRELK_8_GetCFWStatus', 'SIM-MONO');
  check(char(wheel), '3', 'the wheel arrived');
end

% Scripting the open back to 1 after a failing 0 leaves both cameras
% answering what they answer when the open was never scripted.
function a_scripted_open_other_than_zero_opens_as_usual
  unscripted = night_of_opens({});
  check(unscripted{3}, sprintf('Current Humidity : 45.000000\n'), 'SIM-COLOR''s humidity');
  for result = {1, -1, 7}
    check(night_of_opens({'OpenBRELKCCD', result{1}}), unscripted, 'open scripted to %d', result{1});
  end
  brelk_test_reset();
  brelksim('script', 'OpenBRELKCCD', 0, 1);
  check(brelk_call('BRELK_4_InitCamera', 'SIM-MONO'), sprintf('Open BRELKCCD failed.\n'), 'the open counted');
  check(brelk_call('BRELK_4_InitCamera', 'SIM-MONO'), sprintf('Init camera''s parameters successfully.\n'), ...
        'the open after it');
end

function answers = night_of_opens(script)
  brelk_test_reset();
  brelk_ready('SIM-MONO');
  brelk_ready('SIM-COLOR');
  if ~isempty(script)
    brelksim('script', 'OpenBRELKCCD', 0);
    check(brelk_call('BRELK_8_CheckCFWPlug', 'SIM-MONO'), sprintf('Open BRELKCCD failed.\n'), 'open scripted to 0');
    brelksim('script', script{:});
  end
  brelksim('clearjournal');
  answers = {brelk_call('BRELK_7_GetHumidity', 'SIM-MONO'), ...
             brelk_call('BRELK_8_SetCFWTarget', 'SIM-MONO', '3'), ...
             brelk_call('BRELK_7_GetHumidity', 'SIM-COLOR'), ...
             brelk_call('BRELK_8_SetCFWTarget', 'SIM-COLOR', '3')};
  brelksim('advance', 3);
  [text, status, wheel] = brelk_call('BRELK_8_GetCFWStatus', 'SIM-MONO');
  answers = [answers, {text, status, wheel, brelksim('journal')}];
end

function scripted_outputs_follow_the_mask
  brelk_ready('SIM-MONO');
  brelksim('outputs', 'GetBRELKCCDEffectiveArea', [11 22 33 44], 5);  % bits 0 and 2
  brelksim('script', 'GetBRELKCCDEffectiveArea', -1);
  [text, status, x, y, w, h] = brelk_call('BRELK_7_GetEffective', 'SIM-MONO');
  check(text, sprintf('Get camera effective area failed.\n'), 'the line, mask 5');
  check({status, x, y, w, h}, {int32(-1), uint32(11), uint32(0), uint32(33), uint32(0)}, 'the outputs, mask 5');
  brelksim('outputs', 'GetBRELKCCDEffectiveArea', [1 2 3 4]);         % no mask: all four
  [~, ~, x, y, w, h] = brelk_call('BRELK_7_GetEffective', 'SIM-MONO');
  check([x y w h], uint32([1 2 3 4]), 'no mask');
end

function manual_clock_moves_only_when_advanced
  start = brelksim('now');
  assert(start >= 0 && start < 1);  % the moments between the reset and the manual clock
  check(brelksim('now'), start, 'the manual clock stands');
  brelksim('advance', 2.5);
  brelksim('advance', 0.25);
  check(brelksim('now'), start + 2.75, 'advanced twice');
  brelksim('clock', 'real');      % the real clock carries on from there
  brelksim('timescale', 100);
  t = brelksim('now');
  assert(t >= start + 2.75 && brelksim('now') >= t);
  brelksim('clock', 'manual');    % and stops again
  t = brelksim('now');
  check(brelksim('now'), t, 'manual again');
end

function misuse_raises_a_usage_error
  cases = {
    {},                                           'the command must be a char row'
    {42},                                         'the command must be a char row'
    {'bogus'},                                    'unknown command ''bogus'''
    {'reset', 1},                                 'usage: brelksim(''reset'')'
    {'script', 'NoSuchOperation', 1},             'unknown SDK operation ''NoSuchOperation'''
    {'script', 'InitBRELKCCD'},                   'usage: brelksim(''script'''
    {'script', 'SetBRELKCCDParam', 1.5, 0},       'the control must be a control number'
    {'script', 'SetBRELKCCDParam', 6, 'x'},       'the result must be a real double scalar'
    {'script', 'SetBRELKCCDParam', -1, 1},        'the control must be a control number from 0'
    {'script', 'SetBRELKCCDParam', 6, -1, 0},     'the count must be a whole number from 1'
    {'script', 'SetBRELKCCDParam', [], -1, 1.5},  'the count must be a whole number from 1'
    {'script', 'InitBRELKCCD', 6, -1, 1},         'InitBRELKCCD takes no control: give [] or leave it out'
    {'script', 'InitBRELKCCD', 6, -1},            'the count must be a whole number from 1'
    {'script', 'InitBRELKCCD', [], -1, 1, 1},     'usage: brelksim(''script'''
    {'unscript'},                                 'usage: brelksim(''unscript'', operation[, control])'
    {'unscript', 'NoSuchOperation'},              'unknown SDK operation ''NoSuchOperation'''
    {'unscript', 'CloseBRELKCCD', 1},             'CloseBRELKCCD takes no control'
    {'unscript', 'GetBRELKCCDParam', 'x'},        'the control must be a finite real double scalar'
    {'outputs', 'GetBRELKCCDEffectiveArea', 'x'}, 'the values must be a real double vector'
    {'outputs', 'GetBRELKCCDEffectiveArea', [1 2], -1}, 'the mask must be a whole number'
    {'outputs', 'NoSuchOperation', 1},            'unknown SDK operation ''NoSuchOperation'''
    {'clock', 'sideways'},                        'the clock is ''manual'' or ''real'', not ''sideways'''
    {'advance', -1},                              'the seconds cannot be negative'
    {'advance', NaN},                             'the seconds must be a finite real double scalar'
    {'timescale', 0},                             'the factor must be positive'
    {'journal', 1},                               'usage: lines = brelksim(''journal'')'
    {'journal', 'sideways'},                      'usage: lines = brelksim(''journal'')'
  };
  for k = 1:size(cases, 1)
    err = [];
    try
      brelksim(cases{k, 1}{:});
    catch err
    end
    call = disp_args(cases{k, 1});
    assert(~isempty(err), 'brelksim(%s) raised no error', call);
    assert(strcmp(err.identifier, 'brelksim:usage') && ~isempty(strfind(err.message, cases{k, 2})), ...
           'brelksim(%s) raised %s "%s", not brelksim:usage "...%s..."', call, err.identifier, ...
           err.message, cases{k, 2});
  end
end

function text = disp_args(args)
  shown = cell(size(args));
  for k = 1:numel(args)
    shown{k} = strtrim(evalc('disp(args{k})'));
  end
  text = strjoin(shown, ', ');
end
