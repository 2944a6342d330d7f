function [failed, skipped] = run_tests(folder, filter)
%RUN_TESTS Run the toolbox's test suite, in MATLAB or in GNU Octave.
%   failed = run_tests(folder) puts the toolbox folder on the path (the MEX
%   functions with their help, Contents.m, +brelk, and with the simulated
%   camera brelksim), runs every test of the suite's test_*.m files on it
%   and returns how many failed.
%
%   [failed, skipped] = run_tests(...) also returns how many were skipped.
%
%   run_tests() runs them on the toolbox already on the path.
%
%   run_tests(folder, filter) runs only the files whose name contains
%   filter, e.g. run_tests('', 'camera').
%
%   In MATLAB, with the toolbox built by brelk_build:
%     addpath(fullfile(pwd, 'build-matlab-mex', 'brelk'), fullfile(pwd, 'tests', 'octave'));
%     run_tests
%
%   With the simulated camera, every test starts on freshly reset simulated
%   cameras on their manual clock. With the maker's SDK (no brelksim on the
%   path) only the tests that run on any SDK run, and the rest are reported
%   as skipped: they script and call the simulated cameras. A test of what
%   only Octave has (brelk_octave_only) is skipped in MATLAB. The last line
%   printed is "N passed, N failed".
%
%   A test file test_<topic>.m returns a cell of handles to its own
%   subfunctions, each one test, and may return as second output those of
%   them that run on any SDK; or it returns nothing and is one test itself.
%   A test passes when it returns and fails when it raises an error (check,
%   check_near, assert, error).
  if nargin < 1
    folder = '';
  end
  if nargin < 2
    filter = '';
  end
  suite = fileparts(mfilename('fullpath'));
  here = pwd;
  if ~isempty(folder)
    if ~exist(folder, 'dir')
      error('run_tests:folder', 'run_tests: there is no folder %s', folder);
    end
    cd(folder);
    folder = pwd;
    cd(here);
    addpath(folder);
  end
  addpath(suite);
  toolbox = fileparts(which('BRELK_4_InitCamera'));
  same = @strcmp;
  if ispc
    same = @strcmpi;  % c:\ and C:\ are one folder
  end
  if isempty(toolbox) || (~isempty(folder) && ~same(toolbox, folder))
    error('run_tests:toolbox', 'run_tests: the toolbox''s functions are not in %s', ...
          choose(isempty(folder), 'any folder on the path', folder));
  end
  % The current folder comes first on the path: from the checkout's top, its
  % +brelk would stand in for the one in the toolbox under test.
  cd(suite);
  back = onCleanup(@() cd(here));  %#ok<NASGU> goes back on return
  simulated = exist('brelksim') == 3;  %#ok<EXIST> a MEX function only

  files = dir(fullfile(suite, 'test_*.m'));
  passed = 0;
  failed = 0;
  skipped = 0;
  failures = {};
  skips = {};
  started = tic;
  for f = 1:numel(files)
    [~, name] = fileparts(files(f).name);
    if ~isempty(filter) && isempty(strfind(name, filter))
      continue;
    end
    try
      [tests, any_sdk] = tests_of(name);
    catch err  % a file that does not parse, or whose list fails
      tests = {};
      failed = failed + 1;
      failures{end + 1} = sprintf('%s: could not list its tests: %s', name, err.message);  %#ok<AGROW>
    end
    unsimulated = 0;
    for t = 1:numel(tests)
      label = func2str(tests{t});
      if ~any(strcmp(label, any_sdk)) && ~simulated
        unsimulated = unsimulated + 1;
        continue;
      end
      if ~strcmp(label, name)
        label = [name ' / ' label];
      end
      if simulated
        brelk_test_reset();
      end
      try
        evalc('feval(tests{t});');  % the modules' printing is checked, not shown
        passed = passed + 1;
      catch err
        if strcmp(err.identifier, 'brelk_suite:skipped')
          skipped = skipped + 1;
          skips{end + 1} = sprintf('%s: %s', label, err.message);  %#ok<AGROW>
        else
          failed = failed + 1;
          failures{end + 1} = sprintf('%s\n    %s', label, strrep(err.message, newline, sprintf('\n    ')));  %#ok<AGROW>
        end
      end
    end
    if unsimulated > 0
      skipped = skipped + unsimulated;
      skips{end + 1} = sprintf('%s: %d of its %d tests need the simulated camera (brelksim)', ...
                               name, unsimulated, numel(tests));  %#ok<AGROW>
    end
  end
  if simulated
    brelk_test_reset();
  end

  for k = 1:numel(skips)
    fprintf('SKIP %s\n', skips{k});
  end
  for k = 1:numel(failures)
    fprintf('FAIL %s\n', failures{k});
  end
  host = choose(exist('OCTAVE_VERSION', 'builtin') ~= 0, 'Octave', 'MATLAB');
  fprintf('Suite in %s %s on %s: %d tests in %.1f s, %d skipped\n', host, version(), toolbox, ...
          passed + failed, toc(started), skipped);
  fprintf('%d passed, %d failed\n', passed, failed);
end

% The tests of a file, and the names of those that run on any SDK.
function [tests, any_sdk] = tests_of(name)
  any_sdk = {};
  switch nargout(name)
    case 0
      tests = {str2func(name)};
    case 1
      tests = feval(name);
    otherwise
      [tests, handles] = feval(name);
      any_sdk = cellfun(@func2str, handles, 'UniformOutput', false);
  end
  unknown = setdiff(any_sdk, cellfun(@func2str, tests, 'UniformOutput', false));
  if ~isempty(unknown)
    error('run_tests:list', 'it names %s to run on any SDK, which it does not list', strjoin(unknown, ', '));
  end
end

function value = choose(condition, yes, no)
  if condition
    value = yes;
  else
    value = no;
  end
end
