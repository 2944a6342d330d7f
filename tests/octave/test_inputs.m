function tests = test_inputs
% What brelk.Camera and brelk.FilterWheel take as MATLAB users give it:
% shapes, ranges and classes refused with invalidValue before anything is
% sent, [] as a default and no other empty, text as char or string, and
% objects in the language (isequal, disp) that make no camera call.
  tests = {@values_of_the_wrong_shape_range_or_class_are_refused, ...
           @empty_means_the_default_only_as_a_double, ...
           @text_comes_as_char_or_string, ...
           @a_closed_camera_says_so_before_anything_else, ...
           @objects_in_the_language_make_no_camera_call, ...
           @a_name_that_matches_several_slots_is_ambiguous};
end

function values_of_the_wrong_shape_range_or_class_are_refused
  cam = brelk_camera('SIM-MONO');
  wheel = cam.FilterWheel;
  roi = 'ROI must be [x y width height] in whole pixels within the 3008 x 2008 effective area.';
  cases = {  % statement, message
    'cam.ROI = [1 2; 3 4]',                      roi
    'cam.ROI = sparse([1 2 3 4])',               roi
    'cam.ROI = {1, 2, 3, 4}',                    roi
    'cam.Gain = sparse(1)',                      'Gain must be a finite real scalar, not a 1x1 sparse double.'
    'cam.Gain = single(NaN)',                    'Gain must be a finite real scalar, not NaN.'
    'cam.Gain = 1 + 2i',                         'Gain must be a finite real scalar, not 1+2i.'
    'cam.Gain = @sin',                           'Gain must be a finite real scalar, not sin.'
    'cam.Gain = containers.Map()',               'Gain must be a finite real scalar, not a 0x1 containers.Map.'
    'cam.WhiteBalanceRed = ''1''',               'WhiteBalanceRed must be a finite real scalar, not ''1''.'
    'cam.DDR = sparse(true)',                    'DDR must be true or false, not a 1x1 sparse logical.'
    'cam.TemperatureSetpoint = int8([1 2])',     'TemperatureSetpoint must be a finite real scalar, not a 1x2 int8.'
    'brelk_camera(''SIM-MONO'', ''StreamMode'', 256)', 'Option ''StreamMode'' must be a whole number from 0 to 255, not 256.'
    'brelk_camera(''SIM-MONO'', ''ReadMode'', 1e10)',  'Option ''ReadMode'' must be a whole number from 0 to 2147483647, not 10000000000.'
    'brelk_camera(''SIM-MONO'', ''ReadMode'', 1.5)',   'Option ''ReadMode'' must be a whole number from 0 to 2147483647, not 1.5.'
    'brelk_camera(''SIM-MONO'', ''Clock'', @sin)',     []
    'cam.coolTo(-10, [''Ra''; ''te''], 5)',      'Option names are char rows or string scalars, not a 2x2 char; the options are Rate, Duration, Tolerance, SettleTime, Wait, Timeout, StallTime, ProgressFcn.'
    'cam.coolTo(-10, 5, 5)',                     'Option names are char rows or string scalars, not 5; the options are Rate, Duration, Tolerance, SettleTime, Wait, Timeout, StallTime, ProgressFcn.'
    'cam.coolTo(-10, ''StallTime'', Inf)',       'Option ''StallTime'' must be a finite real scalar above 0, not Inf.'
    'cam.waitForTemperature({})',                'The tolerance must be a finite real scalar above 0, not a 0x0 cell.'
    'cam.waitForTemperature('''')',              'The tolerance must be a finite real scalar above 0, not a 0x0 char.'
    'cam.waitForTemperature(0.2, containers.Map())', 'The timeout must be a real scalar above 0 (Inf for no limit), not a 0x1 containers.Map.'
    'cam.waitForExposure(zeros(0, 1, ''int8''))', 'The timeout must be a real scalar above 0 (Inf for no limit), not a 0x1 int8.'
    'wheel.waitForMove({})',                     'The timeout must be a real scalar above 0 (Inf for no limit), not a 0x0 cell.'
    'wheel.moveTo(int8(9))',                     'The slot must be a whole number from 1 to 7, not 9.'
    'wheel.moveTo(true)',                        'The slot must be a whole number from 1 to 7, not logical true.'
    'wheel.moveTo({''L''})',                     'The slot must be a whole number from 1 to 7, not a 1x1 cell.'
    'wheel.moveTo('''')',                        'The slot name must be a non-empty char row or string scalar, not a 0x0 char.'
    'wheel.Names = {''a'', ''b'', ''c'', ''d'', ''e'', ''f'', ''f''}', 'Names must be 7 unique, non-empty texts (a cell array of char rows, or a string array).'
  };
  for k = 1:size(cases, 1)
    [statement, message] = cases{k, :};
    component = 'Camera';
    if strncmp(statement, 'wheel', 5)
      component = 'FilterWheel';
    end
    brelksim('clearjournal');
    [identifier, text] = brelk_error(statement);
    check(identifier, ['brelk:' component ':invalidValue'], '%s: %s', statement, text);
    if ~isempty(message)
      check(text, message, '%s', statement);
    end
    check(brelksim('journal'), cell(0, 1), '%s reached the camera', statement);
  end
  brelk_sdk_calls();
  cam.Gain = int16(12);                     % any numeric class
  cam.ExposureTime = 1.005;
  check(brelk_sdk_calls(), {'SetBRELKCCDParam(6, 12)'; 'SetBRELKCCDParam(8, 1005000)'}, 'sent');
  check({cam.Gain, cam.ExposureTime}, {12, 1.005}, 'kept as doubles');
end

function empty_means_the_default_only_as_a_double
  cam = brelk_camera('SIM-MONO');
  brelk_sdk_calls();
  cam.coolTo(-2, 'Duration', [], 'Rate', [], 'Timeout', [], 'Wait', false);  % as with none: at once
  check(brelk_sdk_calls(), {'SetBRELKCCDParam(18, -2)'}, 'the target at once');
  cam.waitForTemperature([], []);
  check(cam.CoolerState, 'at target', 'waited with the defaults');
  cam.expose(1, 'Timeout', [], 'ProgressFcn', []);
  cam.FilterWheel.waitForMove([]);
  cam.FilterWheel.moveTo(2, 'Wait', [], 'Timeout', []);
  check(cam.FilterWheel.Position, 2, 'waited, by default');
end

function text_comes_as_char_or_string
  cam = brelk_camera(brelk_string('SIM-MONO'), brelk_string('ReadMode'), 1);
  check({cam.ID, cam.ReadMode}, {'SIM-MONO', 1}, 'the ID and an option name as strings');
  wheel = cam.FilterWheel;
  wheel.Names = brelk_string({'L', 'R', 'G', 'B', 'Ha', 'OIII', 'SII'});
  check(wheel.Names, {'L', 'R', 'G', 'B', 'Ha', 'OIII', 'SII'}, 'names from a string array');
  wheel.Names(5:7) = {brelk_string('H-alpha'), 'O3', brelk_string('S2')};
  check(wheel.Names(5:7), {'H-alpha', 'O3', 'S2'}, 'names from a cell of both');
  wheel.moveTo(brelk_string('H-alpha'));
  check(wheel.Position, 5, 'moved by a string');
  cam.coolTo(-5, brelk_string('Rate'), 5, 'Wait', false);
  check(cam.CoolerState, 'ramping', 'an option name as a string');
  [identifier, message] = brelk_error('wheel.moveTo(brelk_string({''L'', ''R''}))');
  check({identifier, message}, {'brelk:FilterWheel:invalidValue', ...
        'The slot name must be a non-empty char row or string scalar, not a 1x2 string.'}, 'a string array');
end

function a_closed_camera_says_so_before_anything_else
  cam = brelk_camera('SIM-MONO');
  wheel = cam.FilterWheel;
  cam.close();
  statements = {'cam.Gain = ''bad''', 'cam.coolTo()', 'cam.coolTo(-10, ''Bogus'')', 'cam.expose()', ...
                'cam.Temperature', 'cam.Verbose = 3', 'cam.waitForTemperature({})', 'wheel.moveTo(99)', ...
                'wheel.Names = 5', 'wheel.Position'};
  for k = 1:numel(statements)
    brelksim('clearjournal');
    [identifier, message] = brelk_error(statements{k});
    check({identifier(end - 6:end), message}, {':closed', 'SIM-MONO has been closed.'}, '%s', statements{k});
    check(brelksim('journal'), cell(0, 1), '%s reached the camera', statements{k});
  end
  check({cam.State, cam.CoolerState, cam.Gain}, {'closed', 'off', []}, 'what a closed camera reads');
end

function objects_in_the_language_make_no_camera_call
  cam = brelk_camera('SIM-COLOR');
  other = brelk_camera('SIM-MONO');
  brelksim('clearjournal');
  check({isequal(cam, cam), isequal(cam, other), isequal(cam, cam, cam), isequal(cam, 'SIM-COLOR'), ...
         isequal(other.FilterWheel, other.FilterWheel), isequal(other.FilterWheel, cam)}, ...
        {true, false, true, false, true, false}, 'isequal is identity');
  text = evalc('disp(cam); disp(other.FilterWheel); cam');
  check(brelksim('journal'), cell(0, 1), 'isequal and disp read nothing');
  lines = strtrim(strsplit(strtrim(text), newline)');
  check(lines(~cellfun(@isempty, lines)), ...
        {'brelk.Camera SIM-COLOR: colour RGGB, 4096 x 2760 pixels, no filter wheel'; ...
         'State: idle; cooler: off'; ...
         'brelk.FilterWheel of SIM-MONO: 7 slots, named 1, 2, 3, 4, 5, 6, 7'; ...
         'cam ='; 'brelk.Camera SIM-COLOR: colour RGGB, 4096 x 2760 pixels, no filter wheel'; ...
         'State: idle; cooler: off'}, 'what disp shows');
end

function a_name_that_matches_several_slots_is_ambiguous
  cam = brelk_camera('SIM-MONO');
  wheel = cam.FilterWheel;
  wheel.Names = {'L', 'Ha', 'HA', 'B', 'ha2', 'O', 'S'};
  brelksim('clearjournal');
  [identifier, message] = brelk_error('wheel.moveTo(''ha'')');
  check({identifier, message}, {'brelk:FilterWheel:invalidValue', ...
        'The name ''ha'' is ambiguous: it matches ''Ha'' and ''HA'' whatever their case.'}, 'ambiguous');
  check(brelksim('journal'), cell(0, 1), 'nothing sent');
  wheel.moveTo('HA');                       % exactly one
  check(wheel.Position, 3, 'the exact match');
  [~, message] = brelk_error('wheel.moveTo(''x'')');
  check(message, 'No slot is named ''x''; the names are L, Ha, HA, B, ha2, O, S.', 'missing');
end
