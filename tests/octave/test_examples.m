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

% The session with brelk.Sequence on the manual clock: cooled, seven
% frames through three filters by name with the wheel's fault and the
% camera's dropout ridden out, warmed up; its plot written as a PNG file
% and its journal beside it, which resume reads as a night done.
function night_session_runs_a_night_on_the_layer
  session = fullfile(fileparts(mfilename('fullpath')), '..', '..', 'examples', 'night_session.m');
  plot_file = [tempname() '.png'];
  journal = strrep(plot_file, '.png', '.jsonl');
  cleanup = onCleanup(@() delete(plot_file, journal));
  text = evalc('run(session);');
  lines = strsplit(strtrim(text), newline)';
  check(lines, { ...
    'Connected to SIM-MONO: 3072 x 2048 pixels of 3.75 um'
    'Cooling to -10 C at 5 C a minute, then 7 frames:'
    'L    frame 1 of 3: 0 of 7 done, 0:11:00 of exposure left'
    'L    frame 1 of 3 (try 2): 0 of 7 done, 0:11:00 of exposure left'
    'L    frame 2 of 3: 1 of 7 done, 0:10:00 of exposure left'
    'L    frame 3 of 3: 2 of 7 done, 0:09:00 of exposure left'
    'Ha   frame 1 of 2: 3 of 7 done, 0:08:00 of exposure left'
    'Ha   frame 1 of 2 (try 2): 3 of 7 done, 0:08:00 of exposure left'
    'Ha   frame 2 of 2: 4 of 7 done, 0:06:00 of exposure left'
    'OIII frame 1 of 2: 5 of 7 done, 0:04:00 of exposure left'
    'OIII frame 2 of 2: 6 of 7 done, 0:02:00 of exposure left'
    'The sequence is done: 7 of 7 frames, the sensor at 19.8 C, the cooler off'
    'Retried frame 1 of step 1 after brelk:FilterWheel:sdkFailed'
    'Retried frame 1 of step 2 after brelk:FilterWheel:notConnected'
    'L    1: completed  60 s at -10.00 C'
    'L    2: completed  60 s at -10.00 C'
    'L    3: completed  60 s at -10.00 C'
    'Ha   1: completed 120 s at -10.00 C'
    'Ha   2: completed 120 s at -10.00 C'
    'OIII 1: completed 120 s at -10.00 C'
    'OIII 2: completed 120 s at -10.00 C'
    ['The plot: ' plot_file]
    ['The journal: ' journal]}, 'what the session printed');
  file = fopen(plot_file, 'r');
  magic = fread(file, 8)';
  fclose(file);
  check(magic, [137 80 78 71 13 10 26 10], 'a PNG file');
  seq = brelk.Sequence.resume(journal);
  check({seq.State, seq.Done}, {'done', [3; 2; 2]}, 'the journal holds the night');
end
