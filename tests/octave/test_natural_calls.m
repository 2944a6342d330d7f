function tests = test_natural_calls
% The toolbox called as a MATLAB user writes it: a char ID, plain doubles,
% no output asked for; other classes where they make sense; refused inputs.
  tests = {@char_id_and_doubles, @the_wheel_target_as_a_number_or_a_digit, ...
           @other_input_classes, @refused_inputs_never_reach_the_camera};
end

function char_id_and_doubles
  brelk_ready('SIM-MONO');
  text = evalc('BRELK_6_SetGain(''SIM-MONO'', 30)');   % at the prompt, no semicolon
  check(text, [sprintf('Set camera gain successfully.\n') evalc('ans = int32(0)')], ...
        'the line, then the status shown as the host shows an int32 0');
  check(brelksim('journal'), {'OpenBRELKCCD("SIM-MONO")'; 'SetBRELKCCDParam(6, 30)'}, 'the gain sent');
  text = evalc('status = BRELK_6_SetROI(''SIM-MONO'', 0, 0, 640, 480);');
  check(text, sprintf('x = 0.000000 y = 0.000000 sizex = 640.000000 sizey = 480.000000\nSet camera ROI successfully***********.\n'), ...
        'the region of interest');
  check(status, int32(0), 'its status');
  text = evalc('[status, temperature] = BRELK_7_GetTemperature(''SIM-MONO'');');
  check({text, status, temperature}, {['Current TEMP : 20.000000 ' brelk_celsius() newline], int32(0), 20}, ...
        'the temperature');
end

function the_wheel_target_as_a_number_or_a_digit
  brelk_ready('SIM-MONO');
  text = evalc('BRELK_8_SetCFWTarget(''SIM-MONO'', 3);');
  check(text, sprintf('Set CFW target position successfully.\n'), 'target 3');
  journal = brelksim('journal');
  check(journal{end}, 'SetBRELKCCDParam(17, 3)', 'target 3 sent');
  brelksim('advance', 3);
  [~, ~, wheel] = brelk_call('BRELK_8_GetCFWStatus', 'SIM-MONO');
  check(wheel, uint8('3'), 'at slot 3');
  cases = {  % target input, what the SDK is given
    '5',        'SetBRELKCCDParam(17, 53)'     % a char: its code's low byte
    uint8(48),  'SetBRELKCCDParam(17, 48)'
    uint8(200), 'SetBRELKCCDParam(17, -56)'    % the byte is signed
    int32(2),   'SetBRELKCCDParam(17, 2)'
  };
  for k = 1:size(cases, 1)
    brelksim('clearjournal');
    brelk_call('BRELK_8_SetCFWTarget', 'SIM-MONO', cases{k, 1});
    journal = brelksim('journal');
    check(journal{end}, cases{k, 2}, 'target %s', class(cases{k, 1}));
    brelksim('advance', 10);  % let the wheel arrive before the next target
  end
end

function other_input_classes
  brelk_ready('SIM-MONO');
  id_bytes = [uint8('SIM-MONO') 0];
  cases = {  % function, camera ID, inputs, what the SDK is given
    'BRELK_6_SetGain',   id_bytes,            {30},        'SetBRELKCCDParam(6, 30)'
    'BRELK_6_SetGain',   int8('SIM-MONO'),    {30},        'SetBRELKCCDParam(6, 30)'
    'BRELK_6_SetGain',   'SIM-MONO',          {int32(25)}, 'SetBRELKCCDParam(6, 25)'
    'BRELK_6_SetGain',   'SIM-MONO',          {single(2.5)}, 'SetBRELKCCDParam(6, 2.5)'
    'BRELK_6_SetGain',   'SIM-MONO',          {[40 50]},   'SetBRELKCCDParam(6, 40)'   % the first element
    'BRELK_6_SetGain',   'SIM-MONO',          {true},      'SetBRELKCCDParam(6, 1)'
    'BRELK_6_SetROI',    'SIM-MONO',          {uint16(8), int8(4), 64, single(32)}, 'SetBRELKCCDResolution(8, 4, 64, 32)'
    'BRELK_2_SetReadMode', 'SIM-MONO',        {1.9},       'SetBRELKCCDReadMode(1)'
  };
  for k = 1:size(cases, 1)
    [name, id, inputs, call] = cases{k, :};
    brelksim('clearjournal');
    [text, status] = brelk_call(name, id, inputs{:});
    label = sprintf('%s with a %s ID and %s', name, class(id), strjoin(cellfun(@class, inputs, 'UniformOutput', false), ', '));
    check(status, int32(0), '%s printed %s', label, text);
    check(brelksim('journal'), {'OpenBRELKCCD("SIM-MONO")'; call}, label);
  end
end

function refused_inputs_never_reach_the_camera
  cases = {  % function, inputs, printed
    'BRELK_4_InitCamera', {},                    sprintf('Missing camera ID.\n')
    'BRELK_6_SetGain',    {'SIM-MONO'},          sprintf('Missing value.\n')
    'BRELK_6_SetGain',    {'SIM-MONO', 'thirty'}, sprintf('Invalid value.\n')
    'BRELK_6_SetGain',    {'SIM-MONO', []},      sprintf('Invalid value.\n')
    'BRELK_6_SetGain',    {42, 30},              sprintf('Invalid camera ID.\n')
    'BRELK_6_SetGain',    {'', 30},              sprintf('Invalid camera ID.\n')
    'BRELK_6_SetGain',    {{'SIM-MONO'}, 30},    sprintf('Invalid camera ID.\n')
    'BRELK_6_SetROI',     {'SIM-MONO', 0, 0, 640}, sprintf('Missing sizey.\n')
    'BRELK_8_SetCFWTarget', {'SIM-MONO'},        sprintf('Missing target position.\n')
    'BRELK_2_SetReadMode', {'SIM-MONO', 1i},     sprintf('Invalid readMode.\n')
  };
  for k = 1:size(cases, 1)
    [name, inputs, printed] = cases{k, :};
    brelksim('clearjournal');
    [text, status] = brelk_call(name, inputs{:});
    check({text, status}, {printed, int32(-1)}, '%s, case %d', name, k);
    check(size(brelksim('journal')), [0 1], '%s, case %d: the SDK was called', name, k);
  end
end
