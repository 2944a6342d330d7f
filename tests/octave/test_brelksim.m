function tests = test_brelksim
% The control MEX that scripts and tests use to drive the simulated camera.
  tests = {@journal_lists_every_call, @scripts_apply_per_control_until_reset, ...
           @scripted_outputs_follow_the_mask, @manual_clock_moves_only_when_advanced, ...
           @misuse_raises_a_usage_error};
end

function journal_lists_every_call
  brelk_call('BRELK_6_SetGain', 'SIM-MONO', 30);
  lines = brelksim('journal');
  assert(iscellstr(lines) && columns(lines) == 1);
  assert(lines, {'OpenBRELKCCD("SIM-MONO")'; 'SetBRELKCCDParam(6, 30)'});
  brelksim('clearjournal');
  assert(size(brelksim('journal')), [0 1]);
end

function scripts_apply_per_control_until_reset
  brelk_ready('SIM-MONO');
  brelksim('script', 'SetBRELKCCDParam', 6, -1);  % gain only
  assert(brelk_call('BRELK_6_SetGain', 'SIM-MONO', 30), "Set camera gain failed.\n");
  assert(brelk_call('BRELK_6_SetOffset', 'SIM-MONO', 10), "Set camera offset successfully.\n");
  brelksim('script', 'SetBRELKCCDParam', 1);      % no control: every control, positive
  assert(brelk_call('BRELK_6_SetOffset', 'SIM-MONO', 10), "Set camera offset failed.\n");
  assert(brelk_call('BRELK_6_SetGain', 'SIM-MONO', 30), "Set camera gain failed.\n");
  brelk_test_reset();
  brelk_ready('SIM-MONO');
  assert(brelk_call('BRELK_6_SetGain', 'SIM-MONO', 30), "Set camera gain successfully.\n");
end

function scripted_outputs_follow_the_mask
  brelk_ready('SIM-MONO');
  brelksim('outputs', 'GetBRELKCCDEffectiveArea', [11 22 33 44], 5);  % bits 0 and 2
  brelksim('script', 'GetBRELKCCDEffectiveArea', -1);
  [text, status, x, y, w, h] = brelk_call('BRELK_7_GetEffective', 'SIM-MONO');
  assert(text, "Get camera effective area failed.\n");
  assert({status, x, y, w, h}, {int32(-1), uint32(11), uint32(0), uint32(33), uint32(0)});
  brelksim('outputs', 'GetBRELKCCDEffectiveArea', [1 2 3 4]);         % no mask: all four
  [~, ~, x, y, w, h] = brelk_call('BRELK_7_GetEffective', 'SIM-MONO');
  assert([x y w h], uint32([1 2 3 4]));
end

function manual_clock_moves_only_when_advanced
  start = brelksim('now');
  assert(start >= 0 && start < 1);  % the moments between the reset and the manual clock
  assert(brelksim('now'), start);
  brelksim('advance', 2.5);
  brelksim('advance', 0.25);
  assert(brelksim('now'), start + 2.75);
  brelksim('clock', 'real');      % the real clock carries on from there
  brelksim('timescale', 100);
  t = brelksim('now');
  assert(t >= start + 2.75 && brelksim('now') >= t);
  brelksim('clock', 'manual');    % and stops again
  t = brelksim('now');
  assert(brelksim('now'), t);
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
    {'outputs', 'GetBRELKCCDEffectiveArea', 'x'}, 'the values must be a real double vector'
    {'outputs', 'GetBRELKCCDEffectiveArea', [1 2], -1}, 'the mask must be a whole number'
    {'outputs', 'NoSuchOperation', 1},            'unknown SDK operation ''NoSuchOperation'''
    {'clock', 'sideways'},                        'the clock is ''manual'' or ''real'', not ''sideways'''
    {'advance', -1},                              'the seconds cannot be negative'
    {'advance', NaN},                             'the seconds must be a finite real double scalar'
    {'timescale', 0},                             'the factor must be positive'
    {'journal', 1},                               'usage: lines = brelksim(''journal'')'
  };
  for k = 1:rows(cases)
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
  text = strjoin(cellfun(@(a) strtrim(disp(a)), args, 'UniformOutput', false), ', ');
end
