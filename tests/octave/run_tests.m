% run_tests.m - the Octave suite: every tests/octave/test_*.m, run in octave-cli
% against the modules of one build.
%
%   octave-cli --no-init-file --no-history --quiet tests/octave/run_tests.m <build>/mex [filter]
%
% A test file is a function file test_<topic>.m. Either it returns a cell of
% handles to its own subfunctions, each one test, or it returns nothing and
% is one test itself. A test passes when it returns and fails when it raises
% an error (assert, error). Each test starts on a freshly reset simulated
% camera with the manual clock. The optional filter runs only the files whose
% name contains it. The last line printed is "N passed, N failed"; the exit
% status is non-zero when any test failed.
args = argv();
if isempty(args)
  error('run_tests: give the folder of the built modules, e.g. build-octave/mex');
end
mex_dir = make_absolute_filename(args{1});
filter = '';
if numel(args) > 1
  filter = args{2};
end
suite_dir = fileparts(mfilename('fullpath'));
addpath(mex_dir);
addpath(suite_dir);
% Octave looks in the current folder first: from the checkout's top, its
% +brelk would stand in for the one beside the modules under test.
cd(suite_dir);
if exist('brelksim') ~= 3
  error('run_tests: brelksim is not in %s: build with the simulated camera', mex_dir);
end

files = dir(fullfile(suite_dir, 'test_*.m'));
passed = 0;
failed = 0;
failures = {};
started = tic;
for f = 1:numel(files)
  [~, name] = fileparts(files(f).name);
  if ~isempty(filter) && isempty(strfind(name, filter))
    continue;
  end
  try
    if nargout(name) > 0
      tests = feval(name);
    else
      tests = {str2func(name)};
    end
  catch err  % a file that does not parse, or whose list fails
    tests = {};
    failed = failed + 1;
    failures{end + 1} = sprintf('%s: could not list its tests: %s', name, err.message);
  end
  for t = 1:numel(tests)
    label = func2str(tests{t});
    if ~strcmp(label, name)
      label = [name ' / ' label];
    end
    brelk_test_reset();
    try
      evalc('feval(tests{t});');  % the modules' printing is checked, not shown
      passed = passed + 1;
    catch err
      failed = failed + 1;
      failures{end + 1} = sprintf('%s\n    %s', label, strrep(err.message, newline, sprintf('\n    ')));
    end
  end
end
brelk_test_reset();

for k = 1:numel(failures)
  fprintf('FAIL %s\n', failures{k});
end
fprintf('Octave suite: %d tests in %.1f s\n', passed + failed, toc(started));
fprintf('%d passed, %d failed\n', passed, failed);
exit(failed > 0);
