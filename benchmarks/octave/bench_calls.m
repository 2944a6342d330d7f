function bench_calls(mex_folder, bench_folder, calls, rounds)
% bench_calls(mex_folder, bench_folder, calls, rounds): what one call of a
% toolbox function costs in GNU Octave, against the baseline MEX function
% built the same way (tools/bench.sh):
%
%   octave-cli --eval "addpath('benchmarks/octave'); bench_calls('<mex folder>', '<bench folder>', 20000, 3)"
%
% Each function is called `calls` times (default 20000) in a plain loop, as
% a polling script calls it, with the outputs a script asks for; the rounds
% (default 3) take turns and the best round counts. What the functions print
% goes to standard output (send it to /dev/null); the table goes to standard
% error.
  if nargin < 3
    calls = 20000;
  end
  if nargin < 4
    rounds = 3;
  end
  addpath(mex_folder);
  addpath(bench_folder);
  page_screen_output(false);

  mono = 'SIM-MONO';
  color = 'SIM-COLOR';
  nocam = 'NO-SUCH-CAMERA';

  % The simulator standing still (manual clock), both cameras initialised and
  % every answer the cases read scripted, as in the stand-in benchmark.
  brelksim('reset');
  brelksim('clock', 'manual');
  for id = {mono, color}
    evalc('BRELK_2_SetReadMode(id{1}, 0); BRELK_3_SetStreamMode(id{1}, 0); BRELK_4_InitCamera(id{1});');
  end
  brelksim('script', 'SetBRELKCCDParam', 6, 0);
  brelksim('script', 'SetBRELKCCDResolution', 0);
  brelksim('script', 'GetBRELKCCDChipInfo', 0);
  brelksim('outputs', 'GetBRELKCCDChipInfo', [11.52 7.68 3072 2048 3.75 3.75 16]);
  brelksim('script', 'IsBRELKCCDControlAvailable', 17, 0);
  brelksim('script', 'IsBRELKCCDControlAvailable', 59, 0);
  brelksim('script', 'IsBRELKCCDControlAvailable', 20, 4);
  brelksim('script', 'GetBRELKCCDParam', 17, double('3'));

  cases = {
    'mexbaseline',          'SIM-MONO',       's = mexbaseline(mono);'
    'mexbaseline',          '7 outputs',      '[s, a, b, c, d, e, f] = mexbaseline(mono);'
    'BRELK_6_SetGain',      'SIM-MONO',       's = BRELK_6_SetGain(mono, 30);'
    'BRELK_6_SetROI',       'SIM-MONO',       's = BRELK_6_SetROI(mono, 0, 0, 640, 480);'
    'BRELK_7_GetChipInfo',  'SIM-MONO',       '[s, cw, ch, iw, ih, pw, ph] = BRELK_7_GetChipInfo(mono);'
    'BRELK_7_GetDebayer',   'SIM-COLOR',      '[s, p] = BRELK_7_GetDebayer(color);'
    'BRELK_8_GetCFWStatus', 'SIM-MONO',       '[s, w] = BRELK_8_GetCFWStatus(mono);'
    'BRELK_8_GetCFWStatus', 'NO-SUCH-CAMERA', 's = BRELK_8_GetCFWStatus(nocam);'  % only the status exists
  };

  % Loaded and warm before any timing.
  for c = 1:size(cases, 1)
    time_loop(cases{c, 3}, 100, mono, color, nocam);
  end

  best = inf(size(cases, 1), 1);
  for r = 1:rounds
    for c = 1:size(cases, 1)
      best(c) = min(best(c), time_loop(cases{c, 3}, calls, mono, color, nocam));
    end
  end

  perCall = best / calls * 1e6;
  fprintf(2, 'Octave %s, %d calls per function, best of %d rounds\n', OCTAVE_VERSION, calls, rounds);
  fprintf(2, '%-38s %12s %6s %10s\n', 'function (camera ID)', 'time/call', 'ratio', 'file');
  for c = 1:size(cases, 1)
    mex_file = fullfile(mex_folder, [cases{c, 1} '.mex']);
    if c <= 2
      mex_file = fullfile(bench_folder, [cases{c, 1} '.mex']);
    end
    info = dir(mex_file);
    fprintf(2, '%-38s %9.2f us %6.2f %6.1f KiB\n', sprintf('%s (%s)', cases{c, 1}, cases{c, 2}), ...
            perCall(c), perCall(c) / perCall(1), info.bytes / 1024);
  end
end

function seconds = time_loop(call, calls, mono, color, nocam)  %#ok<INUSD> the loop's statements use them
  brelksim('clearjournal');
  loop = sprintf('for k = 1:%d\n %s\nend', calls, call);
  start = tic;
  eval(loop);
  seconds = toc(start);
end
