function tests = test_examples
% The examples in examples/ run through on the simulated cameras.
  tests = {@night_demo_walks_through_the_functions, @night_session_runs_a_night_on_the_layer};
end

% The walk-through of the functions, in real time (some seconds): the
% cooling curve reaches its target, the wheel arrives, and the only failures
% are the ones it shows on purpose.
function night_demo_walks_through_the_functions
  demo = fullfile(fileparts(mfilename('fullpath')), '..', '..', 'examples', 'night_demo.m');
  text = evalc('run(demo);');
  lines = strsplit(text, newline);
  expect_line = @(line) assert(any(strcmp(lines, line)), 'the demo did not print "%s":\n%s', line, text);
  expect_line('Set target temperature successfully.');
  expect_line(['Current TEMP : -10.000000 ' brelk_celsius()]);
  % The readings follow the real clock, so how many there are depends on the
  % machine's pace; their course does not.
  curve = regexp(text, '\n +\d+ s +(-?\d+\.\d+) C', 'tokens');
  curve = cellfun(@(t) str2double(t{1}), curve);
  assert(numel(curve) >= 5 && all(diff(curve) < 0) && curve(end) == -10, ...
         'not a cooling curve to -10 C: %s', mat2str(curve));
  wheel = regexp(text, '\n +\d+\.\d s +status +(\d+)', 'tokens');
  wheel = cellfun(@(t) str2double(t{1}), wheel);
  assert(numel(wheel) >= 2 && all(wheel(1:end - 1) == 'N') && wheel(end) == '3', ...
         'the wheel did not move, then arrive: %s', mat2str(wheel));
  expect_line('Get debayer format successfully.RGGB');
  expect_line('Stop single mode successfully.');
  expect_line('Stop live mode successfully.');
  expect_line('Release resource successfully.');
  check(lines{end - 1}, 'Good night.', 'the last line');
  failures = lines(~cellfun(@isempty, regexp(lines, 'failed\.$|^Camera don''t support', 'once')));
  check(failures, {'Camera don''t support color function.', 'Camera don''t support humidity function.', ...
                   'Begin single expose failed.'}, 'the failures the demo shows');
end

% The session on brelk.Camera, on the manual clock: cooled, three filters
% by name with the scripted fault ridden out, warmed up, and its plot
% written as a PNG file.
function night_session_runs_a_night_on_the_layer
  session = fullfile(fileparts(mfilename('fullpath')), '..', '..', 'examples', 'night_session.m');
  plot_file = [tempname() '.png'];
  cleanup = onCleanup(@() delete(plot_file));
  text = evalc('run(session);');
  lines = strsplit(strtrim(text), newline)';
  said = @(pattern) lines(~cellfun(@isempty, regexp(lines, pattern, 'once')));
  check(lines(1:2), {'Connected to SIM-MONO: 3072 x 2048 pixels of 3.75 um'; ...
                     'Cooling from 20.0 C to -10 C at 5 C a minute:'}, 'the start');
  check(numel(said('^SIM-MONO cooling: sensor .* power 100%, \d:\d\d elapsed$')), 12, ...
        'progress lines of the 6 minutes of cooling');
  check(numel(said('^At -(9\.\d\d|10\.00) C \(at target\), the cooler at \d+%$')), 1, 'cooled');
  check(said('^The wheel failed'), ...
        {'The wheel failed (BRELK_8_SetCFWTarget(''SIM-MONO'', ''0''): Set CFW target position failed.); trying again'}, ...
        'the fault, ridden out');
  check(said('^(L|Ha|OIII) +slot'), {'L    slot 1, 60 s at -10.00 C'; 'Ha   slot 2, 60 s at -10.00 C'; ...
                                     'OIII slot 3, 60 s at -10.00 C'}, 'three filters by name');
  check(said('^SIM-MONO exposure: 50% done, 0:30 elapsed$'), repmat({'SIM-MONO exposure: 50% done, 0:30 elapsed'}, 3, 1), ...
        'progress of each minute-long exposure');
  check(numel(said('^At 19\.[89] C, the cooler off$')), 1, 'warmed up, cooler off');
  check(numel(regexp(lines{end}, ['^\d+ calls, \d+ temperature readings; the plot: ' regexptranslate('escape', plot_file) '$'])), ...
        1, 'the last line: %s', lines{end});
  file = fopen(plot_file, 'r');
  magic = fread(file, 8)';
  fclose(file);
  check(magic, [137 80 78 71 13 10 26 10], 'a PNG file');
end
