function worst = bench_layer(mex_folder, calls, rounds, log_calls, profiled)
% worst = bench_layer(mex_folder, calls, rounds, log_calls, profiled): what
% the brelk.Camera layer costs against its floor, the least a layer that
% captures the printed text must spend (tools/bench.sh):
%
%   octave-cli --eval "addpath('benchmarks/octave'); bench_layer('<mex folder>')"
%
% Each row is a layer statement beside its floor, the same toolbox
% functions called through evalc (or the clock and pause handles the layer
% is given), timed in one process: the rounds (default 7) take turns,
% layer and floor alternating which goes first, and the best round counts.
% A round runs each statement `calls` times (default 2000); a wait row runs
% one wait of calls/2 polls. The simulated camera runs on its manual clock,
% its journal off, with no progress reports. Returns the worst ratio.
%
% Then the call log: log_calls (default 100000, its limit) gain writes fill
% it, and gain writes are timed with a copy of cam.Log held in a variable
% and without one. profiled (default false) adds each row's profile: where
% the layer's time goes, by function, self time (what the profiler saw,
% which slows calls down).
  if nargin < 2 || isempty(calls)
    calls = 2000;
  end
  if nargin < 3 || isempty(rounds)
    rounds = 7;
  end
  if nargin < 4 || isempty(log_calls)
    log_calls = 100000;
  end
  if nargin < 5 || isempty(profiled)
    profiled = false;
  end
  addpath(mex_folder);

  brelksim('reset');
  brelksim('clock', 'manual');
  brelksim('journal', 'off');
  clock = @() brelksim('now');
  advance = @(seconds) brelksim('advance', seconds);
  whole_seconds(clock, advance);
  id = 'SIM-MONO';
  cam = brelk.Camera(id, 'Clock', clock, 'Pause', advance, 'ProgressFcn', []);
  wheel = cam.FilterWheel;
  cam.coolTo(-10);  % at the target: a cooling wait then lasts its settle time
  polls = max(2, min(3601, round(calls / 2)));
  check_polls(cam, polls);

  % Statements run in a loop (see time_loop), or a wait's run of n polls.
  temperature = 'evalc(''[s, t] = BRELK_7_GetTemperature(id);''); evalc(''[s, p] = BRELK_7_GetCoolerPWM(id);'');';
  cases = {  % name, units per run, layer, floor, what the floor stands for
    'cam.Gain = 30', calls, 'cam.Gain = 30;', 'evalc(''s = BRELK_6_SetGain(id, 30);'');', ''
    't = cam.Temperature', calls, 't = cam.Temperature;', temperature, ...
        'both functions the layer reads (the power for its temperature log)'
    'p = wheel.Position', calls, 'p = wheel.Position;', 'evalc(''[s, w] = BRELK_8_GetCFWStatus(id);'');', ''
    's = cam.State', calls, 's = cam.State;', 't = clock();', ...
        'the Clock handle: the least that tells whether an exposure''s time has passed'
    'exposure wait, one poll', polls, @(n) exposure_layer(cam, clock, n), 't = clock(); advance(1);', ...
        'the Clock and the Pause handle'
    'cooling wait, one poll', polls, @(n) cooling_layer(cam, clock, n), [temperature ' t = clock(); advance(2);'], ...
        'what a poll calls'
  };
  run = @(r, column, n) run_row(cases, r, column, n, cam, wheel, id, clock, advance);

  count = size(cases, 1);
  for r = 1:count  % loaded and warm before any timing
    run(r, 3, 2);
    run(r, 4, 2);
  end
  layer = inf(count, rounds);
  floors = inf(count, rounds);
  for pass = 1:rounds
    for r = 1:count
      n = cases{r, 2};
      if mod(pass, 2) == 1
        layer(r, pass) = run(r, 3, n);
        floors(r, pass) = run(r, 4, n);
      else
        floors(r, pass) = run(r, 4, n);
        layer(r, pass) = run(r, 3, n);
      end
    end
  end

  best_layer = min(layer, [], 2) * 1e6;
  best_floor = min(floors, [], 2) * 1e6;
  ratio = best_layer ./ best_floor;
  % The noise seen: how far the median round lies above the best one.
  spread = max(median(layer, 2) * 1e6 ./ best_layer, median(floors, 2) * 1e6 ./ best_floor) - 1;
  fprintf('%s %s, SIM-MONO on the manual clock, journal off; best of %d rounds, %d calls a row, %d polls a wait\n', ...
          host_name(), version(), rounds, calls, polls);
  fprintf('%-26s %11s %11s %7s %7s\n', 'row', 'layer', 'floor', 'ratio', 'spread');
  for r = 1:count
    fprintf('%-26s %8.2f us %8.2f us %7.2f %6.0f%%\n', cases{r, 1}, best_layer(r), best_floor(r), ratio(r), ...
            100 * spread(r));
  end
  fprintf('Floors (id = ''SIM-MONO''; spread: median round over the best, the worse of layer and floor):\n');
  for r = 1:count
    note = '';
    if ~isempty(cases{r, 5})
      note = ['  (' cases{r, 5} ')'];
    end
    fprintf('  %-24s %s%s\n', cases{r, 1}, cases{r, 4}, note);
  end
  [worst, at] = max(ratio);
  fprintf('worst layer ratio to the evalc floor: %.2f (%s)\n', worst, cases{at, 1});

  log_copy(cam, log_calls, rounds, best_layer(1));

  if profiled
    for r = 1:count
      profile_row(cases{r, 1}, @() run(r, 3, cases{r, 2}), cases{r, 2});
    end
  end
  cam.close();
  brelksim('journal', 'on');
end

% Seconds per unit of row r's layer (column 3) or floor (4) over n units:
% a statement run n times, or a function of n.
function seconds = run_row(cases, r, column, n, cam, wheel, id, clock, advance)
  what = cases{r, column};
  if ischar(what)
    seconds = time_loop(what, n, cam, wheel, id, clock, advance) / n;
  else
    seconds = what(n) / n;
  end
end

% The statement in a plain loop, as a script runs it, with these names.
function seconds = time_loop(statement, n, cam, wheel, id, clock, advance)  %#ok<INUSD> the statement uses them
  loop = sprintf('for k = 1:%d\n  %s\nend', n, statement);
  start = tic;
  eval(loop);
  seconds = toc(start);
end

% --- the waits: one of n polls, started outside the timing

% An exposure of n - 1 s, polled each second and at its end: n polls on a
% clock of whole seconds (check_polls).
function seconds = exposure_layer(cam, clock, n)
  cam.startExposure(n - 1);
  before = clock();
  start = tic;
  cam.waitForExposure();
  seconds = toc(start);
  waited(clock, before, n - 1);
end

% At the target already, the wait lasts its settle time: n polls 2 s apart.
function seconds = cooling_layer(cam, clock, n)
  cam.coolTo(-10, 'SettleTime', 2 * (n - 1), 'Wait', false);
  before = clock();
  start = tic;
  cam.waitForTemperature();
  seconds = toc(start);
  waited(clock, before, 2 * (n - 1));
end

% A wait that took other than its planned time polled other than n times.
function waited(clock, before, seconds)
  if clock() - before ~= seconds
    error('bench_layer:polls', 'A wait planned for %g s took %g s of the clock.', seconds, clock() - before);
  end
end

% --- the setup's checks

% The manual clock on whole seconds, so that a wait's polls fall on whole
% seconds and their count follows from its length.
function whole_seconds(clock, advance)
  for k = 1:3
    advance(ceil(clock()) - clock());
  end
  if clock() ~= round(clock())
    error('bench_layer:clock', 'The manual clock stands at %.17g s, not on a whole second.', clock());
  end
end

% The waits poll as many times as the rows divide by, counted by a
% ProgressFcn (which the timed waits have not).
function check_polls(cam, polls)
  poll_count(0);
  cam.expose(polls - 1, 'ProgressFcn', @(info) poll_count(1));
  exposure = poll_count(0);
  cam.coolTo(-10, 'SettleTime', 2 * (polls - 1), 'ProgressFcn', @(info) poll_count(1));
  cooling = poll_count(0);
  if exposure ~= polls || cooling ~= polls
    error('bench_layer:polls', 'Waits of %d polls polled %d times (exposure) and %d times (cooling).', ...
          polls, exposure, cooling);
  end
end

% poll_count(1) counts one poll; poll_count(0) returns the count and restarts it.
function n = poll_count(add)
  persistent count
  if isempty(count)
    count = 0;
  end
  count = count + add;
  n = count;
  if add == 0
    count = 0;
  end
end

% --- the call log kept at its limit, with a copy of it held and without

function log_copy(cam, log_calls, rounds, short_log)
  filled = gain_writes(cam, log_calls);
  start = tic;
  kept = cam.Log;
  read = toc(start);
  entries = numel(kept);
  chunk = 2048;  % two blocks of the log and more
  held = inf(1, rounds);
  free = inf(1, rounds);
  held_first = inf(1, rounds);
  free_first = inf(1, rounds);
  for pass = 1:rounds
    kept = cam.Log;  %#ok<NASGU> held while the layer writes
    [held_first(pass), held(pass)] = first_and_rest(cam, chunk);
    kept = [];  %#ok<NASGU>
    [free_first(pass), free(pass)] = first_and_rest(cam, chunk);
  end
  fprintf('Call log: %d entries after %d more gain writes (%.1f s); reading cam.Log takes %.0f ms\n', ...
          entries, log_calls, filled, read * 1e3);
  fprintf('  cam.Gain = 30, a copy of cam.Log held: %8.2f us a call (the first after the copy %.0f us)\n', ...
          min(held) * 1e6, min(held_first) * 1e6);
  fprintf('  cam.Gain = 30, no copy held:           %8.2f us a call (the first %.0f us)\n', ...
          min(free) * 1e6, min(free_first) * 1e6);
  fprintf('  with a short log (the row above):      %8.2f us; held copy to short log: %.2f times\n', ...
          short_log, min(held) * 1e6 / short_log);
end

function [first, rest] = first_and_rest(cam, n)
  start = tic;
  cam.Gain = 30;
  first = toc(start);
  rest = gain_writes(cam, n - 1) / (n - 1);
end

function seconds = gain_writes(cam, n)
  start = tic;
  for k = 1:n
    cam.Gain = 30;
  end
  seconds = toc(start);
end

% --- where the time goes

% Row r's layer functions by self time, as the profiler saw them, per call
% of the row (or poll). A function's self time includes what it spends
% reaching the ones it calls: the lookup, the dispatch, its property reads.
function profile_row(name, run, units)
  profile('clear');
  profile('on');
  run();
  profile('off');
  [names, self, counts] = self_times(profile('info'));
  % This file's functions are the timing's, but for its anonymous ones: the
  % Clock and Pause handles (and the few calls that start each run).
  mine = ~cellfun(@isempty, regexp(names, '^(bench_layer>|profile$|__profiler)'));
  names = regexprep(names(~mine), '^anonymous@.*bench_layer\.m.*$', 'the Clock and Pause handles');
  names = regexprep(names, '^anonymous@.*?[/\\](\+brelk[/\\].*?\.m).*$', 'anonymous function in $1');
  names = regexprep(names, '^eval$', 'eval: the statement in its loop (reaching the property)');
  self = self(~mine) / units * 1e6;
  counts = counts(~mine) / units;
  [self, order] = sort(self, 'descend');
  names = names(order);
  counts = counts(order);
  fprintf('\nProfile of %s: %.1f us a call in all, profiled; top self times\n', name, sum(self));
  fprintf('%10s %6s %8s  %s\n', 'self', 'share', 'calls', 'function');
  for k = 1:min(12, numel(names))
    fprintf('%7.2f us %5.1f%% %8.3f  %s\n', self(k), 100 * self(k) / sum(self), counts(k), names{k});
  end
end

% Self time per function: Octave's profile gives it as TotalTime; MATLAB's
% TotalTime includes the children's.
function [names, self, counts] = self_times(info)
  entries = info.FunctionTable;
  names = {entries.FunctionName};
  self = [entries.TotalTime];
  counts = [entries.NumCalls];
  if ~exist('OCTAVE_VERSION', 'builtin')
    for k = 1:numel(entries)
      if ~isempty(entries(k).Children)
        self(k) = self(k) - sum([entries(k).Children.TotalTime]);
      end
    end
  end
end

function name = host_name()
  if exist('OCTAVE_VERSION', 'builtin')
    name = 'GNU Octave';
  else
    name = 'MATLAB';
  end
end
