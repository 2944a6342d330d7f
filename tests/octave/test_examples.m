function test_examples
% The demo in examples/ runs through on the simulated cameras (in real time,
% some seconds): the cooling curve reaches its target, the wheel arrives, and
% the only failures are the ones it shows on purpose.
  demo = fullfile(fileparts(mfilename('fullpath')), '..', '..', 'examples', 'night_demo.m');
  text = evalc('run(demo);');
  lines = strsplit(text, "\n");
  expect_line = @(line) assert(any(strcmp(lines, line)), 'the demo did not print "%s":\n%s', line, text);
  expect_line('Set target temperature successfully.');
  expect_line('Current TEMP : -10.000000 ℃');
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
  assert(lines{end - 1}, 'Good night.');
  failures = lines(~cellfun(@isempty, regexp(lines, 'failed\.$|^Camera don''t support', 'once')));
  assert(failures, {'Camera don''t support color function.', 'Camera don''t support humidity function.', ...
                    'Begin single expose failed.'});
end
