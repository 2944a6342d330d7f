function fuzz_layer(seed, steps, first)
% fuzz_layer(seed, steps[, first]): a seeded, model-based random test of the
% +brelk layer. Random operations on brelk.Camera and brelk.FilterWheel
% objects (both simulated cameras, every option, settings, cooling and
% warming, the wheel by slot and name, exposures, aborts, live view, close,
% clear) run on the manual clock, with inputs of every class and SDK faults
% scripted at random: between steps, and in the middle of an operation from
% inside its 'Clock' (results, counts, failed opens, a clock or pause that
% breaks). Steps come in episodes of 25, each on freshly reset cameras and
% ending with the faults removed, every object made to work or closed.
%
% After every step: the operation returned or raised a documented
% brelk:Camera:* or brelk:FilterWheel:* error (never Octave's own, never one
% without an identifier), and one the model allows (without faults, the one
% it predicts); no wait ran past its bound (its timeout, its stall rule, the
% wheel's or exposure's time; a pause budget ends a hang); an invalidValue
% sent nothing; and each object's setpoint, cooler mode, settings, State and
% Position agree with a twin of the simulated cameras, which follows the
% SDK journal with the scripted faults. A failure raises an error giving the
% command that replays its episode, and the episode's steps up to it.
%
% first (default 1) starts at the episode holding that step, so
% fuzz_layer(seed, step, step) replays the episode of a failing step alone.
% BRELK_LAYER_FUZZ_VERBOSE=1 prints each step before it runs.
%
%   octave-cli --eval "addpath('<build>/mex', 'tests/octave'); fuzz_layer(1, 2000)"
  if nargin < 3 || isempty(first)
    first = 1;
  end
  % The current folder comes first on the path: from the checkout's top,
  % its +brelk would stand in for the toolbox's.
  here = pwd;
  cd(fileparts(mfilename('fullpath')));
  back = onCleanup(@() cd(here));  %#ok<NASGU> goes back on return
  per = 25;
  verbose = strcmp(getenv('BRELK_LAYER_FUZZ_VERBOSE'), '1');
  fprintf('Layer fuzz: seed %d, steps %d to %d\n', seed, first, steps);
  started = tic;
  outcomes = {};
  strict = 0;
  for episode = ceil(first / per):ceil(steps / per)
    rng(mod(seed * 1000 + episode, 2^32));
    [more, unfaulted] = run_episode(seed, episode, per, min(episode * per, steps), verbose);
    outcomes = [outcomes, more];  %#ok<AGROW>
    strict = strict + unfaulted;
  end
  [names, ~, index] = unique(outcomes);
  counts = accumarray(index(:), 1);
  tally = arrayfun(@(k) sprintf('%d %s', counts(k), names{k}), 1:numel(names), 'UniformOutput', false);
  fprintf('Layer fuzz: %d operations in %.1f s (%d without faults, their outcome predicted): %s\n', ...
          numel(outcomes), toc(started), strict, strjoin(tally, ', '));
end

% --- episodes and steps -----------------------------------------------------------

function [outcomes, strict] = run_episode(seed, episode, per, last, verbose)
  brelk_test_reset();
  objects('reset');
  S.Seed = seed;
  S.First = (episode - 1) * per + 1;
  S.Step = S.First;
  S.Verbose = verbose;
  S.History = {};
  S.Outcomes = {};
  S.Strict = 0;
  S.Twin = twin_new();
  S.Objs = obj_new('', 0);
  S.Objs(1) = [];
  S.Coolers = [cooler_new(), cooler_new()];
  for step = S.First:last
    S.Step = step;
    if step == episode * per
      S = cleanup(S);
    else
      S = run_step(S, random_op(S));
    end
  end
  outcomes = S.Outcomes;
  strict = S.Strict;
  evalc('objects(''reset'');');  % a replay ending mid-episode closes what is open
end

% One operation: predicted, run with its budget and faults, then checked
% against the twin and the model, which it updates.
function S = run_step(S, op)
  S.History{end + 1} = sprintf('step %d: %s', S.Step, op.Text);
  if S.Verbose
    fprintf('%s\n', S.History{end});
  end
  op.Faulty = ~isempty(S.Twin.Scripts) || ~isempty(op.Inject) || ~isempty(op.Glitch) || op.Stuck > 0;
  [before, logged] = object_states(S, op.Obj);
  allowed = expect(S, op, op.Faulty, before);
  hooks('arm', op.Budget, op.Inject, op.Glitch, op.Stuck);
  lastwarn('');
  [err, cam] = execute(op);
  H = hooks('take');
  [warning_text, warning_id] = lastwarn();
  [S.Twin, L] = twin_replay(S.Twin, H.Events, op.Obj);

  if H.Hung && op.Endless && op.Faulty
    allowed = [allowed, {'invalidOperation'}];  % no timeout, and a wheel that reads moving for ever: cut short
  elseif H.Hung
    S = fail(S, sprintf('a wait ran past its bound: pauses of %.6g s against a budget of %.6g s', H.Paused, op.Budget));
  end
  mnemonic = outcome_of(S, op, err);
  if ~any(strcmp(mnemonic, allowed))
    S = fail(S, sprintf('expected %s, got %s', outcomes_text(allowed), error_text(mnemonic, err)));
  end
  if strcmp(mnemonic, 'invalidValue') && ~isempty(L)
    S = fail(S, sprintf('invalidValue (%s), yet it sent %s', err.message, strjoin({L.Line}, '; ')));
  end
  if strcmp(op.Kind, 'disp') && ~isempty(L)
    S = fail(S, sprintf('disp and isequal make no camera call, yet it sent %s', strjoin({L.Line}, '; ')));
  end
  if ~isempty(warning_text) && isempty(regexp(warning_id, ['^brelk:(Camera|FilterWheel):(' mnemonics() ...
                                                           '|progressFcnFailed)$'], 'once'))
    S = fail(S, sprintf('warned %s: %s', warning_id, warning_text));
  end
  if strcmp(op.Kind, 'clear') && ~isempty(warning_text) && counts(S, op.Obj) == 0
    S.Twin.Cams(twin_index(S.Objs(op.Obj).ID)).Orphan = true;  % its cooler may run on, known to no object
  end
  S = check_wait(S, op, H, mnemonic, logged);
  S = update_model(S, op, mnemonic, L, H, before, cam);
  S = check_objects(S);
  if isempty(mnemonic)
    S.Outcomes{end + 1} = 'returned';
  else
    S.Outcomes{end + 1} = mnemonic;
  end
  S.Strict = S.Strict + ~op.Faulty;
end

function [err, cam] = execute(op)
  err = [];
  cam = [];
  wheel = [];
  v = op.Values;
  switch op.Kind
    case 'clear'
      evalc('objects(''clear'', op.Obj);');
      return;
    case 'fault'
      script_fault(v{1});
      return;
    case 'heal'
      return;  % done on the twin and the simulator by update_model
    case 'advance'
      brelksim('advance', v{1});
      return;
    case 'open'
    otherwise
      cam = objects('get', op.Obj);
      if ~isempty(strfind(op.Code, 'wheel'))
        wheel = cam.FilterWheel;
      end
  end
  [err, cam] = run_code(op.Code, cam, wheel, v);
end

function [err, cam] = run_code(code, cam, wheel, v)  %#ok<INUSD> the code uses them
  err = [];
  try
    evalc(code);
  catch err
  end
end

% The documented mnemonic an error carries, '' for none; anything else fails.
function mnemonic = outcome_of(S, op, err)
  mnemonic = '';
  if isempty(err)
    return;
  end
  parts = regexp(err.identifier, ['^brelk:(Camera|FilterWheel):(' mnemonics() ')$'], 'tokens', 'once');
  if isempty(parts) || ~strcmp(parts{1}, op.Component) ...
     || (strcmp(parts{1}, 'FilterWheel') && strcmp(parts{2}, 'temperatureNotReached'))
    fail(S, sprintf('raised %s, not a documented error of brelk.%s', error_text('?', err), op.Component));
  end
  mnemonic = parts{2};
end

function text = mnemonics()
  text = 'notConnected|sdkFailed|notSupported|invalidValue|invalidOperation|timeout|temperatureNotReached|closed';
end

function text = error_text(mnemonic, err)
  if isempty(mnemonic)
    text = 'a return';
  elseif isempty(err.identifier)
    text = sprintf('an error without identifier (%s)', err.message);
  else
    text = sprintf('%s (%s)', err.identifier, err.message);
  end
end

function text = outcomes_text(allowed)
  shown = allowed;
  shown(cellfun(@isempty, shown)) = {'a return'};
  text = strjoin(shown, ' or ');
end

function S = fail(S, message)
  here = fileparts(mfilename('fullpath'));
  toolbox = fileparts(which('BRELK_4_InitCamera'));
  error('fuzz_layer:failed', ['Layer fuzz FAILED at step %d (seed %d): %s\n' ...
                              'Replay its episode:\n  octave-cli --no-init-file --eval "addpath(''%s'', ''%s''); ' ...
                              'fuzz_layer(%d, %d, %d)"\n(BRELK_LAYER_FUZZ_VERBOSE=1 prints each step.) ' ...
                              'The episode so far:\n  %s'], ...
        S.Step, S.Seed, message, toolbox, here, S.Seed, S.Step, S.First, strjoin(S.History, sprintf('\n  ')));
end

% The end of an episode: faults removed; every open object's exposures and
% live view ended; each object whose camera is ready works again (wheel,
% a setting, a reading, an exposure); then each one closes, the last one
% releasing the SDK.
function S = cleanup(S)
  S = run_step(S, new_op('heal', 0, 'Camera', '', {}, 'brelksim(''unscript'', ...) for every fault'));
  for k = open_objects(S)
    S = run_step(S, new_op('abort', k, 'Camera', 'cam.abortExposure();', {}, ''));
    S = run_step(S, new_op('stopLive', k, 'Camera', 'cam.stopLive();', {}, ''));
  end
  busy = [S.Twin.Cams.Exposing] & [S.Twin.Cams.End] > brelksim('now');
  if any(busy)
    S = run_step(S, new_op('advance', 0, 'Camera', '', {max([S.Twin.Cams(busy).End]) - brelksim('now') + 1e-3}, ''));
  end
  for k = open_objects(S)
    if S.Twin.Cams(twin_index(S.Objs(k).ID)).Session ~= 2
      continue;
    end
    if S.Objs(k).Wheel
      S = run_step(S, gen_move_to(S, k, randi(7)));
    end
    S = run_step(S, gen_setting(S, k, 'Gain', 10));
    S = run_step(S, gen_read(S, k, 'Temperature'));
    S = run_step(S, gen_expose(S, k, 0.01));
  end
  ready = arrayfun(@(k) S.Twin.Cams(twin_index(S.Objs(k).ID)).Session == 2, open_objects(S));
  order = open_objects(S);
  order = [order(ready), order(~ready)];
  for k = order
    S = run_step(S, gen_close(S, k));
  end
  closed_last = ~isempty(order);
  for k = open_objects(S)  % what failed while others were open, now the last ones
    S = run_step(S, gen_close(S, k));
  end
  if ~isempty(open_objects(S))
    S = fail(S, sprintf('objects %s are still open after closing them with no faults', mat2str(open_objects(S))));
  end
  if closed_last && any([S.Twin.Cams.Session] ~= 0)
    S = fail(S, 'every object closed, yet the SDK was not released: a camera is still open');
  end
end

% --- the operations ---------------------------------------------------------------

function op = new_op(kind, k, component, code, values, text)
  op = struct('Kind', kind, 'Obj', k, 'Component', component, 'Code', code, 'Values', {values}, ...
              'Text', text, 'Invalid', false, 'Budget', 0, 'Info', struct(), 'Inject', [], 'Glitch', [], 'Stuck', 0, ...
              'Faulty', false, 'Endless', false);
  if isempty(text)
    op.Text = code_text(code, values, k);
  end
end

% The code as a script would write it: the object by its slot, the values.
function text = code_text(code, values, k)
  text = regexprep(code, '\<wheel\>', sprintf('cam%d.FilterWheel', k));
  text = regexprep(text, '\<cam\>', sprintf('cam%d', k));
  shown = cellfun(@describe, values, 'UniformOutput', false);
  text = strrep(text, 'v{:}', strjoin(shown, ', '));
  for i = numel(values):-1:1
    text = strrep(text, sprintf('v{%d}', i), shown{i});
  end
end

function op = random_op(S)
  opened = open_objects(S);
  alive = find([S.Objs.Alive]);
  if isempty(alive) || (numel(opened) < 3 && rand() < 0.08)
    op = gen_open(S);
    op = add_faults(op);
    return;
  end
  kinds = {'setting', 8; 'read', 4; 'setpoint', 3; 'power', 2; 'coolTo', 5; 'warmUp', 2; 'waitTemp', 2; ...
           'startExposure', 3; 'expose', 3; 'waitExposure', 2; 'abort', 2; 'startLive', 1.5; 'stopLive', 1.5; ...
           'moveTo', 4; 'waitMove', 1.5; 'names', 1; 'wheelRead', 1; 'option', 1.5; 'advance', 4; ...
           'fault', 3; 'heal', 1; 'close', 1.2; 'clear', 0.8; 'disp', 0.5; 'missing', 0.5};
  weights = cumsum([kinds{:, 2}]);
  kind = kinds{find(rand() * weights(end) < weights, 1), 1};
  k = alive(randi(numel(alive)));
  if ~isempty(opened) && rand() < 0.85
    k = opened(randi(numel(opened)));
  end
  monos = alive([S.Objs(alive).Wheel]);
  if any(strcmp(kind, {'moveTo', 'waitMove', 'names', 'wheelRead'}))
    if isempty(monos)
      kind = 'advance';
    else
      k = monos(randi(numel(monos)));
    end
  end
  switch kind
    case 'setting'
      known = setting_rows();
      op = gen_setting(S, k, known{randi(size(known, 1)), 1});
    case 'read'
      op = gen_read(S, k, one_of({'Temperature', 'CoolerPower', 'Humidity', 'Pressure', 'CoolerState', ...
                                  'TemperatureSetpoint', 'State', 'PercentCompleted', 'TemperatureLog', 'Log', ...
                                  'Sensor', 'Gain', 'ROI'}));
    case 'setpoint'
      [value, valid] = value_for('real', {-30 + 55 * rand(), -10, 0, 25, -60, 60, int8(-5)}, 'property');
      op = new_op('setpoint', k, 'Camera', 'cam.TemperatureSetpoint = v{1};', {value}, '');
      op.Invalid = ~valid;
      op.Info.Target = double_or_nan(value);
    case 'power'
      [value, valid] = value_for('percent', {0, 10, 50, 100, 150, -1, uint8(30)}, 'property');
      op = new_op('power', k, 'Camera', 'cam.CoolerPower = v{1};', {value}, '');
      op.Invalid = ~valid;
      op.Info.Percent = double_or_nan(value);
    case 'coolTo'
      op = gen_cool_to(S, k);
    case 'warmUp'
      op = gen_warm_up(S, k);
    case 'waitTemp'
      op = gen_wait_temperature(S, k);
    case 'startExposure'
      [seconds, valid] = exposure_time();
      op = new_op('startExposure', k, 'Camera', 'cam.startExposure(v{1});', {seconds}, '');
      op.Invalid = ~valid;
      op.Info.Seconds = seconds;
    case 'expose'
      op = gen_expose(S, k, []);
    case 'waitExposure'
      op = gen_wait_exposure(S, k);
    case 'abort'
      op = new_op('abort', k, 'Camera', 'cam.abortExposure();', {}, '');
    case 'startLive'
      op = new_op('startLive', k, 'Camera', 'cam.startLive();', {}, '');
    case 'stopLive'
      op = new_op('stopLive', k, 'Camera', 'cam.stopLive();', {}, '');
    case 'moveTo'
      op = gen_move_to(S, k, []);
    case 'waitMove'
      [args, invalid] = timeout_argument({[], Inf, 0.5, 2, 10});
      op = new_op('waitMove', k, 'FilterWheel', 'wheel.waitForMove(v{:});', args, '');
      op.Invalid = invalid;
      op.Info.Timeout = default_of(args, S.Objs(k).MoveTimeout, 24);
      op.Budget = min(op.Info.Timeout, 600) + 1e-6;
      op.Endless = isinf(op.Info.Timeout);
    case 'names'
      op = gen_names(k);
    case 'wheelRead'
      op = new_op('wheelRead', k, 'FilterWheel', ['x = wheel.' one_of({'Position', 'IsMoving'}) ';'], {}, '');
    case 'option'
      op = gen_option(k);
    case 'advance'
      op = gen_advance(S);
    case 'fault'
      fault = random_fault();
      op = new_op('fault', 0, 'Camera', '', {fault}, fault_text(fault));
    case 'heal'
      op = new_op('heal', 0, 'Camera', '', {}, 'brelksim(''unscript'', ...) for every fault');
    case 'close'
      op = gen_close(S, k);
    case 'clear'
      op = gen_close(S, k);
      op.Kind = 'clear';
      op.Text = sprintf('clear cam%d', k);
    case 'disp'
      op = new_op('disp', k, 'Camera', one_of({'disp(cam);', 'x = isequal(cam, cam);'}), {}, '');
    case 'missing'
      op = gen_missing(S, k);
  end
  op = add_faults(op);
end

% Now and then a fault in the middle of the operation: scripted from the
% clock at one of its readings, or the clock or pause itself failing once.
function op = add_faults(op)
  if op.Obj == 0 && ~strcmp(op.Kind, 'open') || any(strcmp(op.Kind, {'clear', 'disp'}))
    return;
  end
  r = rand();
  if r < 0.12
    op.Inject = struct('At', randi(12), 'Fault', random_fault());
    op.Text = sprintf('%s   [clock reading %d scripts %s]', op.Text, op.Inject.At, fault_text(op.Inject.Fault));
  elseif r < 0.15
    op.Glitch = struct('At', randi(8), 'Kind', one_of({'error', 'nan', 'back', 'complex', 'text'}));
    op.Text = sprintf('%s   [clock reading %d: %s]', op.Text, op.Glitch.At, op.Glitch.Kind);
  elseif r < 0.17 && op.Budget > 0
    op.Stuck = randi(5);
    op.Text = sprintf('%s   [pause %d does not move the clock]', op.Text, op.Stuck);
  end
end

function op = gen_open(S)
  k = numel(S.Objs) + 1;
  r = rand();
  if r < 0.58
    id = 'SIM-MONO';
  elseif r < 0.93
    id = 'SIM-COLOR';
  elseif r < 0.96
    id = 'NO-SUCH';
  else
    id = one_of({42, '', {'SIM-MONO'}, ['SIM'; 'MON'], NaN});
  end
  spec = {'ReadMode', 0, 'readmode', {0, 1, 2, 3, uint8(1), 4, 2.5, -1}
          'StreamMode', 0, 'streammode', {0, 1, 2, 256}
          'Verbose', false, 'flag', {true, false}
          'ExposureUnit', 1e6, 'positive', {1e6, [], 0, -1}
          'WarmUpOnClose', true, 'flag', {true, false, 0}
          'ProgressFcn', [], 'progress', progress_functions()};
  [args, ok, opts] = random_options(spec, 0.25);
  units = find(strcmpi(args(1:2:end), 'ExposureUnit')) * 2;
  units = units(units <= numel(args));
  for i = units(cellfun(@(u) classify('positive', u, 'option') && ~is_default(u), args(units)))
    args{i} = 1e6;  % the simulated camera counts microseconds
  end
  [ok, opts] = read_options(spec, args);
  if rand() < 0.03  % a clock or pause that is no function; [] would be the computer's own
    args = [args, {one_of({'Clock', 'Pause'}), one_of({5, 'now', {}})}];
    ok = false;
  end
  values = [{id, 'Clock', @() hooks('clock'), 'Pause', @(s) hooks('pause', s)}, args];
  shown = cellfun(@describe, [{id}, args], 'UniformOutput', false);
  op = new_op('open', k, 'Camera', 'cam = brelk.Camera(v{:});', values, ...
              sprintf('cam%d = brelk.Camera(%s) on the manual clock', k, strjoin(shown, ', ')));
  op.Invalid = ~ok || ~ischar(id) || size(id, 1) ~= 1 || isempty(id);
  op.Info.ID = id;
  op.Info.Opts = opts;
end

function op = gen_setting(S, k, name, value)
  known = setting_rows();
  row = known(strcmp(known(:, 1), name), :);
  [~, control, kind, goods] = row{:};
  if strcmp(name, 'ROI')
    area = effective_area(S.Objs(k).ID);
    goods = {random_roi(area), random_roi(area), [0 0 area(3:4)], [10 10 20], [0.5 0 10 10], ...
             [0 0 area(3) + 1 10], int16([1 2 3 4]), [1; 2; 3; 4]};
  end
  if nargin < 4
    [value, valid] = value_for(kind, goods, 'property');
  else
    valid = true;
  end
  op = new_op('setting', k, 'Camera', sprintf('cam.%s = v{1};', name), {value}, '');
  op.Info.Name = name;
  op.Info.Control = control;
  if strcmp(kind, 'roi')
    valid = roi_valid(value, effective_area(S.Objs(k).ID));
    if valid
      op.Info.Sent = double(value(:)');
    end
  elseif valid
    sent = double(value);
    if strcmp(name, 'ExposureTime')
      sent = round(sent * 1e6);
      valid = sent >= 1;
    end
    op.Info.Sent = sent;
  end
  op.Invalid = ~valid;
end

function op = gen_read(~, k, name)
  op = new_op('read', k, 'Camera', sprintf('x = cam.%s;', name), {}, '');
  op.Info.Name = name;
end

function op = gen_cool_to(S, k)
  [target, valid] = value_for('real', {round(-250 + 500 * rand()) / 10, -10, -40, 30, -60, 60, int16(-12)}, 'argument');
  if isempty(target)
    valid = false;  % a target has no default
  end
  spec = {'Rate', 0, 'nonnegative', {0, 2, 5, 10, 30, 60, []}
          'Duration', [], 'nonnegative', {0, 0.5, 1, 3, []}
          'Tolerance', 0.2, 'positive', {0.05, 0.2, 0.5, 1}
          'SettleTime', 30, 'nonnegative', {0, 5, 30, 60}
          'Wait', true, 'flag', {true, false, 0, 1, int8(1)}
          'Timeout', Inf, 'seconds', {Inf, 5, 30, 120, 600, []}
          'StallTime', 120, 'positive', {5, 30, 120, 300}
          'ProgressFcn', [], 'progress', progress_functions()};
  [args, ok, opts, given] = random_options(spec, 0.35);
  if ok && given.Rate && given.Duration
    ok = false;
  end
  op = new_op('coolTo', k, 'Camera', 'cam.coolTo(v{:});', [{target}, args], '');
  op.Invalid = ~valid || ~ok;
  if op.Invalid
    return;
  end
  target = double(target);
  ramp = 0;
  if given.Duration
    ramp = opts.Duration * 60;
  elseif opts.Rate > 0
    ramp = (abs(target) + 51) / (opts.Rate / 60);
  end
  if opts.Wait && min(opts.Timeout, ramp + cooling_cap(opts.StallTime, opts.SettleTime)) > long_wait()
    op.Values = [op.Values, {'Timeout', 600}];  % a ramp of years, or no stall for ages: a test's wait is shorter
    op.Text = code_text(op.Code, op.Values, k);
    opts.Timeout = 600;
  end
  op.Info = struct('Target', target, 'Opts', opts, 'PreRead', given.Duration || opts.Rate > 0, 'RampTime', ramp);
  if opts.Wait
    op.Budget = min(opts.Timeout, ramp + cooling_cap(opts.StallTime, opts.SettleTime)) + 1e-6;
  end
end

% Waits longer than this, which odd but valid options make, get a timeout.
function seconds = long_wait()
  seconds = 20000;
end

% A cooling or warming wait ends within this long after its ramp: the
% sensor stops coming 0.1 C closer within about 1000 s, and a few faulty
% readings each add a stall time at most.
function cap = cooling_cap(stall, settle)
  cap = 1000 + 8 * stall + settle + 10;
end

function op = gen_warm_up(~, k)
  spec = {'Rate', 3, 'nonnegative', {0, 3, 10, 30}
          'Target', 20, 'real', {20, 10, 25, -10, 60, 15}
          'Tolerance', 0.2, 'positive', {0.2, 0.5, 1}
          'StallTime', 120, 'positive', {10, 60, 120}
          'Timeout', Inf, 'seconds', {Inf, 30, 300}
          'ProgressFcn', [], 'progress', progress_functions()};
  [args, ok, opts] = random_options(spec, 0.3);
  op = new_op('warmUp', k, 'Camera', 'cam.warmUp(v{:});', args, '');
  op.Invalid = ~ok;
  if ok
    if warm_budget(opts) > long_wait()
      op.Values = [op.Values, {'Timeout', 600}];
      op.Text = code_text(op.Code, op.Values, k);
      opts.Timeout = 600;
    end
    op.Info = struct('Target', opts.Target, 'Opts', opts, 'PreRead', true);
    op.Budget = warm_budget(opts);
  end
end

function budget = warm_budget(opts)
  ramp = 0;
  if opts.Rate > 0
    ramp = (abs(opts.Target) + 51) / (opts.Rate / 60);
  end
  budget = min(opts.Timeout, ramp + cooling_cap(opts.StallTime, 0)) + 1e-6;
end

function op = gen_wait_temperature(S, k)
  [tolerance, tolerance_ok] = value_for('positive', {[], 0.1, 0.2, 0.5}, 'argument');
  [timeout, timeout_ok] = value_for('seconds', {[], Inf, 10, 60, 300}, 'argument');
  args = {tolerance, timeout};
  args = args(1:randi([0, 2]));
  op = new_op('waitTemp', k, 'Camera', 'cam.waitForTemperature(v{:});', args, '');
  op.Invalid = (numel(args) >= 1 && ~tolerance_ok) || (numel(args) == 2 && ~timeout_ok);
  c = S.Coolers(twin_index(S.Objs(k).ID));
  op.Info.Tolerance = default_of(args(1:min(1, end)), [], c.Tolerance);
  op.Info.Timeout = default_of(args(2:end), [], Inf);
  if ~op.Invalid && strcmp(c.Mode, 'regulating')
    bound = max(0, c.RampEnd - brelksim('now')) + cooling_cap(c.StallTime, c.SettleTime);
    if min(op.Info.Timeout, bound) > long_wait()
      op.Values = [args(1:min(1, end)), {600}];
      if isempty(args)
        op.Values = {[], 600};
      end
      op.Text = code_text(op.Code, op.Values, k);
      op.Info.Timeout = 600;
    end
    op.Budget = min(op.Info.Timeout, bound) + 1e-6;
  end
end

function [seconds, valid] = exposure_time()
  [seconds, valid] = value_for('positive', {1e-3, 0.25, 1, 2.5, 6e-7, 4000, single(0.5)}, 'property');
  valid = valid && round(double(seconds) * 1e6) >= 1;
end

function op = gen_expose(~, k, seconds)
  valid = true;
  fuzzed = isempty(seconds);
  if fuzzed
    [seconds, valid] = exposure_time();
  end
  spec = {'Timeout', Inf, 'seconds', {Inf, 0.5, 1, 3, []}
          'ProgressFcn', [], 'progress', progress_functions()};
  [args, ok, opts] = random_options(spec, 0.4 * fuzzed);
  op = new_op('expose', k, 'Camera', 'cam.expose(v{:});', [{seconds}, args], '');
  op.Invalid = ~valid || ~ok;
  op.Info.Seconds = seconds;
  if ~op.Invalid
    op.Info.Timeout = opts.Timeout;
    op.Budget = min(opts.Timeout, round(double(seconds) * 1e6) / 1e6) + 1e-6;
  end
end

function op = gen_wait_exposure(S, k)
  [args, invalid] = timeout_argument({[], Inf, 0.5, 2, 5});
  op = new_op('waitExposure', k, 'Camera', 'cam.waitForExposure(v{:});', args, '');
  op.Invalid = invalid;
  op.Info.Timeout = default_of(args, [], Inf);
  own = S.Objs(k).Own;
  op.Budget = min(op.Info.Timeout, max(0, own.Start + own.Duration - brelksim('now'))) + 1e-6;
end

% A timeout as a method's one argument, or none.
function [args, invalid] = timeout_argument(goods)
  [timeout, valid] = value_for('seconds', goods, 'argument');
  args = {timeout};
  if rand() < 0.3
    args = {};
  end
  invalid = ~isempty(args) && ~valid;
end

function op = gen_move_to(S, k, slot)
  names = S.Objs(k).Names;
  valid = true;
  fuzzed = isempty(slot);  % else a plain move, as a script makes it
  if fuzzed
    r = rand();
    if r < 0.45
      [slot, valid] = value_for('slot', {1, 2, 3, 4, 5, 6, 7, uint8(3)}, 'property');
    elseif r < 0.8
      slot = names{randi(7)};
      if rand() < 0.3
        slot = lower(slot);
      end
    else
      slot = one_of({0, 8, 2.5, 'Z', '', NaN, true, {'1'}, int8(-1)});
    end
  end
  spec = {'Wait', true, 'flag', {true, false, 1}
          'Timeout', [], 'seconds', {[], 0.5, 2, 5, 30}
          'ProgressFcn', [], 'progress', progress_functions()};
  [args, ok, opts] = random_options(spec, 0.3 * fuzzed);
  op = new_op('moveTo', k, 'FilterWheel', 'wheel.moveTo(v{:});', [{slot}, args], '');
  target = NaN;
  if ischar(slot) && size(slot, 1) == 1 && ~isempty(slot)
    target = find(strcmp(names, slot));
    if isempty(target)
      target = find(strcmpi(names, slot));
    end
    valid = isscalar(target);
  elseif ~ischar(slot)
    valid = valid && classify('slot', slot, 'property');
    if valid
      target = double(slot);
    end
  else
    valid = false;
  end
  op.Invalid = ~valid || ~ok;
  if op.Invalid
    return;
  end
  op.Info = struct('Slot', target, 'Opts', opts);
  op.Budget = max(24, max([S.Objs(k).MoveTimeout, 0])) + 1e-6;  % a move under way is waited for first
  if opts.Wait
    move = opts.Timeout;
    if isempty(move)
      move = 16;  % 10 s and 2 s for each of at most 3 steps
    end
    op.Budget = op.Budget + min(move, 600);
    op.Endless = isinf(move);
  end
end

function op = gen_names(k)
  base = {'L', 'R', 'G', 'B', 'Ha', 'OIII', 'SII'};
  r = rand();
  if r < 0.5
    names = base(randperm(7));
    valid = true;
  elseif r < 0.65
    names = base;
    names{randi(7)} = 'ha';  % distinct, yet Ha and ha are the same whatever their case
    valid = numel(unique(names)) == 7;
  else
    names = one_of({base(1:6), [base(1:6), {'L'}], [base(1:6), {''}], [base(1:6), {7}], 'LRGBHOS', ...
                    reshape(base, 7, 1), {}});
    valid = iscell(names) && numel(names) == 7 && all(cellfun(@(n) ischar(n) && ~isempty(n), names)) ...
            && numel(unique(names)) == 7;
  end
  op = new_op('names', k, 'FilterWheel', 'wheel.Names = v{1};', {names}, '');
  op.Invalid = ~valid;
  op.Info.Names = names;
end

function op = gen_option(k)
  name = one_of({'Verbose', 'WarmUpOnClose', 'ProgressFcn'});
  if strcmp(name, 'ProgressFcn')
    [value, valid] = value_for('progress', progress_functions(), 'property');
  else
    [value, valid] = value_for('flag', {true, false, 0, 1, int8(1)}, 'property');
  end
  op = new_op('option', k, 'Camera', sprintf('cam.%s = v{1};', name), {value}, '');
  op.Invalid = ~valid;
end

% Time moving on between steps: some seconds, or to just before or after
% an exposure's or the wheel's end, where a rounding error would show.
function op = gen_advance(S)
  now = brelksim('now');
  events = [[S.Twin.Cams([S.Twin.Cams.Exposing]).End], [S.Twin.Cams([S.Twin.Cams.Moving]).Arrival]];
  events = events(events > now);
  seconds = one_of({0.1, 1, 2.5, 30, 120, 600});
  if ~isempty(events) && rand() < 0.6
    seconds = events(randi(numel(events))) - now + one_of({-1e-3, -5e-7, -1e-8, 0, 1e-8, 1e-3});
  end
  seconds = max(seconds, 1e-9);
  op = new_op('advance', 0, 'Camera', '', {seconds}, sprintf('brelksim(''advance'', %.17g)', seconds));
end

function op = gen_close(~, k)
  op = new_op('close', k, 'Camera', 'cam.close();', {}, '');
  op.Info = struct('Target', 20, 'PreRead', true);
  op.Budget = warm_budget(struct('Rate', 3, 'Target', 20, 'StallTime', 120, 'Timeout', Inf));
end

function op = gen_missing(S, k)
  cases = {'cam.coolTo();', 'cam.expose();', 'cam.startExposure();', 'cam.expose(1, ''Timeout'');'};
  if S.Objs(k).Wheel
    cases = [cases, {'wheel.moveTo();'}];
  end
  if rand() < 0.3
    op = new_op('setWheel', k, 'Camera', 'cam.FilterWheel = v{1};', {one_of({[], 3, zeros(0, 1), 'wheel'})}, '');
    return;
  end
  code = one_of(cases);
  component = 'Camera';
  if strncmp(code, 'wheel', 5)
    component = 'FilterWheel';
  end
  op = new_op('missing', k, component, code, {}, '');
  op.Invalid = true;
end

function fcns = progress_functions()
  fcns = {[], @(info) [], @(info) error('fuzz:progress', 'a failing ProgressFcn')};
end

% --- inputs -------------------------------------------------------------------------

% A value for a check of this kind: mostly one of the plausible ones, else
% one of every class; and whether the layer must take it.
function [value, valid] = value_for(kind, goods, context)
  if rand() < 0.8
    value = goods{randi(numel(goods))};
  else
    value = odd_value();
  end
  valid = classify(kind, value, context);
end

function value = odd_value()
  values = {NaN, Inf, -Inf, 1i, complex(2, 0), sparse(3), true, false, '30', '', 'x', [], zeros(0, 3), ...
            int8([]), single([]), {}, {1}, struct('a', 1), struct([]), @sin, containers.Map(), [1 2], ...
            [1; 2; 3; 4], ones(2, 2), ones(1, 1, 2), int8(5), uint64(7), single(2.5), int32(-3), uint8(255), ...
            int64(-20), int16(-7), uint16(2), uint32(9), logical([1 0]), 1e300, -1e300, 0, -1, 1e-7, 0.5, ...
            NaN(1, 4), sparse(true)};
  value = values{randi(numel(values))};
end

% The rules the layer's help gives a value: numbers are real, non-sparse
% numeric scalars of any class, finite (a timeout may be Inf), in range; a
% flag is a logical or a 0 or 1; as an option or a method's argument, a
% double empty stands for the default.
function ok = classify(kind, v, context)
  if ~strcmp(context, 'property') && is_default(v)
    ok = true;
    return;
  end
  switch kind
    case 'flag'
      ok = isscalar(v) && ~issparse(v) && (islogical(v) || (isnumeric(v) && isreal(v) && (v == 0 || v == 1)));
      return;
    case 'progress'
      ok = is_default(v) || (isa(v, 'function_handle') && isscalar(v));
      return;
  end
  ok = isnumeric(v) && isscalar(v) && isreal(v) && ~issparse(v);
  if ~ok
    return;
  end
  d = double(v);
  ok = ~isnan(d) && (isfinite(d) || strcmp(kind, 'seconds'));
  switch kind
    case 'positive'
      ok = ok && d > 0;
    case 'nonnegative'
      ok = ok && d >= 0;
    case 'percent'
      ok = ok && d >= 0 && d <= 100;
    case 'seconds'
      ok = ok && d > 0;
    case 'slot'
      ok = ok && d >= 1 && d <= 7 && d == round(d);
    case 'readmode'
      ok = ok && d >= 0 && d <= 2147483647 && d == round(d);
    case 'streammode'
      ok = ok && d >= 0 && d <= 255 && d == round(d);
  end
end

function tf = is_default(v)
  tf = isa(v, 'double') && isempty(v) && ~issparse(v);
end

function ok = roi_valid(v, area)
  ok = isnumeric(v) && isreal(v) && ~issparse(v) && isvector(v) && numel(v) == 4;
  if ok
    r = double(v(:)');
    ok = all(isfinite(r)) && all(r == round(r)) && all(r(1:2) >= 0) && all(r(3:4) >= 1) ...
         && r(1) + r(3) <= area(3) && r(2) + r(4) <= area(4);
  end
end

function roi = random_roi(area)
  x = randi([0, area(3) - 1]);
  y = randi([0, area(4) - 1]);
  roi = [x, y, randi([1, area(3) - x]), randi([1, area(4) - y])];
end

% Name-value pairs: a random few of the options in a random order, names
% in any case; now and then one unknown, one not text, or one short. ok
% and opts are the layer's reading of them (the last of a name counts).
function [args, ok, opts, given] = random_options(spec, share)
  args = {};
  for r = randperm(size(spec, 1))
    if rand() < share
      name = spec{r, 1};
      if rand() < 0.2
        name = one_of({lower(name), upper(name)});
      end
      args = [args, {name, value_for(spec{r, 3}, spec{r, 4}, 'option')}];  %#ok<AGROW>
    end
  end
  r = rand() + (share == 0);
  if r < 0.02
    args = [args, {'Bogus', 1}];
  elseif r < 0.04
    args = [args, {one_of({5, {}, ''}), 1}];
  elseif r < 0.06
    args = [args, {spec{randi(size(spec, 1)), 1}}];
  end
  [ok, opts, given] = read_options(spec, args);
end

function [ok, opts, given] = read_options(spec, args)
  names = spec(:, 1)';
  opts = cell2struct(spec(:, 2), names, 1);
  given = cell2struct(num2cell(false(numel(names), 1)), names, 1);
  ok = mod(numel(args), 2) == 0;
  for k = 1:2:numel(args) * ok
    name = args{k};
    match = [];
    if ischar(name) && size(name, 1) == 1 && ~isempty(name)
      match = find(strcmpi(name, names), 1);
    end
    if isempty(match)
      ok = false;
      return;
    end
    [name, default, kind] = spec{match, 1:3};
    value = args{k + 1};
    if ~classify(kind, value, 'option')
      ok = false;
      return;
    end
    given.(name) = strcmp(kind, 'progress') || ~is_default(value);
    if strcmp(kind, 'progress') || ~given.(name)
      opts.(name) = default;
    elseif strcmp(kind, 'flag')
      opts.(name) = logical(value);
    else
      opts.(name) = double(value);
    end
  end
end

function value = default_of(args, fallback, default)
  value = fallback;
  if ~isempty(args) && ~is_default(args{1}) && isnumeric(args{1}) && isscalar(args{1})
    value = double(args{1});
  end
  if isempty(value)
    value = default;
  end
end

function x = double_or_nan(v)
  x = NaN;
  if isnumeric(v) && isscalar(v)
    x = double(v);
  end
end

function x = one_of(list)
  x = list{randi(numel(list))};
end

function text = describe(v)
  if isa(v, 'function_handle')
    text = func2str(v);
  elseif ischar(v) && size(v, 1) == 1
    text = ['''' strrep(v, '''', '''''') ''''];
  elseif isa(v, 'double') && isequal(size(v), [0 0]) && ~issparse(v)
    text = '[]';
  elseif (isnumeric(v) || islogical(v)) && ismatrix(v) && isempty(v)
    text = sprintf('zeros(%d, %d)', size(v));
    if ~isa(v, 'double')
      text = sprintf('%s([])', class(v));
    end
  elseif (isnumeric(v) || islogical(v)) && ismatrix(v) && numel(v) <= 8
    if issparse(v)
      text = sprintf('sparse(%s)', mat2str(full(v), 17));
    elseif isa(v, 'double') || islogical(v)
      text = mat2str(v, 17);
    else
      text = mat2str(v, 'class');
    end
  elseif iscell(v) && numel(v) <= 7 && all(cellfun(@(c) ischar(c) || isnumeric(c), v))
    parts = cellfun(@describe, v, 'UniformOutput', false);
    text = ['{' strjoin(parts(:)', ', ') '}'];
    if size(v, 1) > 1
      text = [text ''''];
    end
  else
    dims = sprintf('%dx', size(v));
    text = sprintf('<%s %s>', dims(1:end - 1), class(v));
  end
end

% --- faults ------------------------------------------------------------------------

% An SDK fault as brelksim scripts it: operation, control (-1: every one,
% or an operation without controls), result and count (0: every later call).
function fault = random_fault()
  faults = {
    'SetBRELKCCDParam', 18, -1;  'SetBRELKCCDParam', 16, -1;  'SetBRELKCCDParam', 6, -1
    'SetBRELKCCDParam', 8, -1;   'SetBRELKCCDParam', 17, -1;  'SetBRELKCCDParam', -1, -1
    'GetBRELKCCDParam', 14, -1;  'GetBRELKCCDParam', 14, 5;   'GetBRELKCCDParam', 14, NaN
    'GetBRELKCCDParam', 16, -1;  'GetBRELKCCDParam', 16, 255; 'GetBRELKCCDParam', 17, -1
    'GetBRELKCCDParam', 17, 78;  'GetBRELKCCDParam', 17, 200; 'GetBRELKCCDParam', 44, 0
    'GetBRELKCCDParam', -1, -1;  'IsBRELKCCDControlAvailable', 17, -1
    'IsBRELKCCDControlAvailable', 62, -1;  'IsBRELKCCDControlAvailable', 20, 5
    'ExpBRELKCCDSingleFrame', -1, -1;  'CancelBRELKCCDExposingAndReadout', -1, -1
    'BeginBRELKCCDLive', -1, -1;  'StopBRELKCCDLive', -1, -1;  'CloseBRELKCCD', -1, -1
    'ReleaseBRELKCCDResource', -1, -1;  'OpenBRELKCCD', -1, 0;  'InitBRELKCCD', -1, -1
    'SetBRELKCCDReadMode', -1, -1;  'SetBRELKCCDResolution', -1, -1;  'GetBRELKCCDChipInfo', -1, -1
    'IsBRELKCCDCFWPlugged', -1, -1};
  row = faults(randi(size(faults, 1)), :);
  count = 0;
  if rand() < 0.7
    count = randi(3);
  end
  fault = struct('Op', row{1}, 'Control', row{2}, 'Result', row{3}, 'Count', count);
end

function script_fault(fault)
  args = {fault.Result};
  if takes_control(fault.Op)
    control = fault.Control;
    if control < 0
      control = [];
    end
    args = [{control}, args];
  end
  if fault.Count > 0
    args = [args, {fault.Count}];
  end
  brelksim('script', fault.Op, args{:});
end

function tf = takes_control(op)
  tf = any(strcmp(op, {'SetBRELKCCDParam', 'GetBRELKCCDParam', 'IsBRELKCCDControlAvailable'}));
end

function text = fault_text(fault)
  control = '';
  if takes_control(fault.Op)
    control = '[], ';
    if fault.Control >= 0
      control = sprintf('%d, ', fault.Control);
    end
  end
  count = '';
  if fault.Count > 0
    count = sprintf(', %d', fault.Count);
  end
  text = sprintf('brelksim(''script'', ''%s'', %s%g%s)', fault.Op, control, fault.Result, count);
end

% The clock and pause the Cameras get, and what happened within a step:
% the SDK lines in order with the faults scripted and the time moved
% between them, the seconds paused against the step's budget.
function varargout = hooks(action, varargin)
  persistent h
  if isempty(h)
    h = quiet_hooks();
  end
  switch action
    case 'arm'
      leftover = brelksim('journal');
      if ~isempty(leftover)
        error('fuzz_layer:harness', 'SDK calls outside a step: %s', strjoin(leftover', '; '));
      end
      h = quiet_hooks();
      [h.Budget, h.Inject, h.Glitch, h.Stuck] = varargin{:};
      h.Events = {{'time', brelksim('now')}};
    case 'clock'
      h.Readings = h.Readings + 1;
      if ~isempty(h.Inject) && h.Readings == h.Inject.At
        h = flush(h);
        script_fault(h.Inject.Fault);
        h.Events{end + 1} = {'script', h.Inject.Fault};
      end
      value = brelksim('now');
      if ~isempty(h.Glitch) && h.Readings == h.Glitch.At
        h.Glitched = true;
        switch h.Glitch.Kind
          case 'error'
            error('fuzz:clock', 'the clock is broken');
          case 'nan'
            value = NaN;
          case 'back'
            value = value - 1;
          case 'complex'
            value = complex(value, 1);
          case 'text'
            value = 'noon';
        end
      end
      varargout{1} = value;
    case 'pause'
      h.Pauses = h.Pauses + 1;
      if h.Pauses == h.Stuck
        h.Glitched = true;
        return;  % the clock stays where it is
      end
      h = flush(h);
      h.Paused = h.Paused + varargin{1};
      if h.Hung || h.Paused > h.Budget + 1e-6
        h.Hung = true;
        error('fuzz:hang', 'the wait ran past its budget');
      end
      brelksim('advance', varargin{1});
      h.Events{end + 1} = {'time', brelksim('now')};
    case 'take'
      varargout{1} = flush(h);
      h = quiet_hooks();
  end
end

function h = quiet_hooks()
  h = struct('Budget', Inf, 'Inject', [], 'Glitch', [], 'Stuck', 0, 'Events', {{}}, 'Readings', 0, ...
             'Pauses', 0, 'Paused', 0, 'Hung', false, 'Glitched', false);
end

function h = flush(h)
  lines = brelksim('journal');
  if ~isempty(lines)
    brelksim('clearjournal');
    h.Events{end + 1} = {'lines', lines};
  end
end

% The Cameras, held here alone, so that clearing one deletes it at once.
function varargout = objects(action, k, cam)
  persistent kept
  switch action
    case 'reset'
      kept = {};
    case 'get'
      varargout{1} = kept{k};
    case 'set'
      kept{k} = cam;
    case 'clear'
      kept{k} = [];
  end
end

% --- predictions ---------------------------------------------------------------------

% The outcomes the operation may have: '' a return, else a mnemonic. An
% invalid input raises invalidValue and a closed object closed, whatever
% the faults; with faults under way any documented error may come; without
% them the twin and the model tell which one.
function allowed = expect(S, op, faulty, before)
  every = [{''}, strsplit(mnemonics(), '|')];
  if strcmp(op.Component, 'FilterWheel')
    every = setdiff(every, {'temperatureNotReached'}, 'stable');
  end
  kind = op.Kind;
  if any(strcmp(kind, {'fault', 'heal', 'advance', 'clear', 'disp'}))
    allowed = {''};
    return;
  end
  if strcmp(kind, 'setWheel')
    v = op.Values{1};
    allowed = choose(isa(v, 'brelk.FilterWheel') || (isempty(v) && ~S.Objs(op.Obj).Wheel), ...
                     '', 'invalidOperation');
    return;
  end
  if strcmp(kind, 'open')
    if op.Invalid
      allowed = {'invalidValue'};
    elseif faulty
      allowed = every;
    else
      allowed = open_outcome(S, op);
    end
    return;
  end
  o = S.Objs(op.Obj);
  free = any(strcmp(kind, {'close'})) || (strcmp(kind, 'read') ...
         && ~any(strcmp(op.Info.Name, {'Temperature', 'CoolerPower', 'Humidity', 'Pressure'})));
  if o.Closed
    allowed = choose(free, '', 'closed');
    return;
  end
  if op.Invalid
    allowed = {'invalidValue'};
    return;
  end
  if faulty
    allowed = every;
    return;
  end
  idx = twin_index(o.ID);
  now = brelksim('now');
  tw = cam_advance(S.Twin.Cams(idx), now);
  ready = tw.Session == 2;
  busy = tw.Live || tw.Exposing;
  state = before{op.Obj};
  c = S.Coolers(idx);
  % Reading the temperature moves a ramp on, whose next step the camera
  % may refuse.
  ramp_risk = any(strcmp(c.Mode, {'regulating', 'warming'})) && c.Ramp && (~ready || abs(c.Target) > 50);
  risk = {};
  if ramp_risk
    risk = {'sdkFailed'};
  end
  switch kind
    case 'setting'
      if strcmp(op.Info.Name, 'ROI')
        ok = ready && ~busy;
      else
        [~, ok] = cam_set(tw, op.Info.Control, op.Info.Sent, now);
      end
      allowed = choose(ok, '', 'sdkFailed');
    case 'read'
      switch op.Info.Name
        case 'CoolerPower'
          allowed = choose(ready, '', 'sdkFailed');
        case {'Humidity', 'Pressure'}
          allowed = choose(ready && tw.Colour, '', 'notSupported');
        case {'Temperature', 'CoolerState'}
          allowed = [{''}, risk];
        otherwise
          allowed = {''};
      end
    case 'setpoint'
      [~, ok] = cam_set(tw, 18, op.Info.Target, now);
      allowed = choose(ok, '', 'sdkFailed');
    case 'power'
      [~, ok] = cam_set(tw, 16, op.Info.Percent / 100 * 255, now);
      allowed = choose(ok, '', 'sdkFailed');
    case 'coolTo'
      opts = op.Info.Opts;
      [~, ok] = cam_set(tw, 18, op.Info.Target, now);
      ramped = ready && (isempty(opts.Duration) && opts.Rate > 0 || ~isempty(opts.Duration) && opts.Duration > 0);
      allowed = choose(ok, '', 'sdkFailed');
      if ramped
        allowed = [allowed, {''}];
      end
      if opts.Wait && any(strcmp(allowed, ''))
        allowed = [allowed, {'temperatureNotReached'}, choose(isfinite(opts.Timeout), 'timeout', '')];
      end
      if op.Info.PreRead
        allowed = [allowed, risk];
      end
    case 'waitTemp'
      if ~strcmp(c.Mode, 'regulating')
        allowed = {'invalidOperation'};
      else
        allowed = [{'', 'temperatureNotReached'}, choose(isfinite(op.Info.Timeout), 'timeout', ''), risk];
      end
    case 'warmUp'
      allowed = [{''}, choose(isfinite(op.Info.Opts.Timeout), 'timeout', ''), ...
                 choose(op.Info.Target > 50 || ~ready, 'sdkFailed', ''), risk];
    case 'startExposure'
      allowed = {start_outcome(op, o, tw, state, ready, now)};
    case 'expose'
      allowed = {start_outcome(op, o, tw, state, ready, now)};
      if isempty(allowed{1})
        allowed = timed(op.Info.Timeout, round(double(op.Info.Seconds) * 1e6) / 1e6, 0);
      end
    case 'waitExposure'
      if strcmp(state, 'live')
        allowed = {'invalidOperation'};
      elseif strcmp(state, 'exposing')
        allowed = timed(op.Info.Timeout, o.Own.Start + o.Own.Duration - now, 0);
      else
        allowed = {''};
      end
    case 'abort'
      allowed = choose(~strcmp(state, 'exposing') || ready, '', 'sdkFailed');
    case 'startLive'
      if strcmp(state, 'live')
        allowed = {''};
      elseif strcmp(state, 'exposing')
        allowed = {'invalidOperation'};
      else
        allowed = choose(ready && ~busy, '', 'sdkFailed');
      end
    case 'stopLive'
      allowed = choose(~strcmp(state, 'live') || ready, '', 'sdkFailed');
    case 'moveTo'
      allowed = move_outcome(op, o, tw, state, ready, now);
    case 'waitMove'
      allowed = wait_move_outcome(op, o, tw, ready, now);
    case 'wheelRead'
      allowed = choose(ready, '', 'notSupported');
    case 'close'
      % Its steps may fail on a camera that is not ready, and only the last
      % Camera's release ends them; beside another object on its ID it
      % only lets go.
      [same, others] = counts(S, op.Obj);
      allowed = {''};
      if same == 0 && others > 0 && (~ready || ramp_risk)
        allowed = {'', 'sdkFailed'};
      end
    otherwise  % names, option
      allowed = {''};
  end
  allowed = unique(allowed(cellfun(@ischar, allowed)));
end

% choose(condition, yes, no): {yes} or {no}.
function outcome = choose(condition, yes, no)
  if condition
    outcome = {yes};
  else
    outcome = {no};
  end
end

% A wait of `needed` seconds under a timeout, polled every `poll` seconds:
% a return or a timeout, both near the edge.
function allowed = timed(timeout, needed, poll)
  if timeout >= needed + poll + 1e-3
    allowed = {''};
  elseif timeout < needed - 1e-3
    allowed = {'timeout'};
  else
    allowed = {'', 'timeout'};
  end
end

function allowed = open_outcome(S, op)
  id = op.Info.ID;
  if ~any(strcmp(id, {'SIM-MONO', 'SIM-COLOR'}))
    allowed = {'notConnected'};
    return;
  end
  tw = cam_advance(S.Twin.Cams(twin_index(id)), brelksim('now'));
  modes = 4 - 2 * tw.Colour;
  ok = op.Info.Opts.ReadMode < modes && op.Info.Opts.StreamMode < 2 && ~tw.Exposing && ~tw.Live;
  allowed = choose(ok, '', 'sdkFailed');
end

function outcome = start_outcome(op, o, tw, state, ready, now)
  outcome = '';
  units = round(double(op.Info.Seconds) * 1e6);
  if ~strcmp(state, 'idle')
    outcome = 'invalidOperation';
  elseif o.Wheel && ~ready
    outcome = 'notSupported';   % the wheel is read first, behind its guard
  elseif o.Wheel && tw.Moving   % whoever moved it
    outcome = 'invalidOperation';
  elseif ~isequal(o.Values.ExposureTime, units / 1e6) && ~cam_ok(tw, 8, units, now)
    outcome = 'sdkFailed';
  elseif ~ready || tw.Exposing || tw.Live
    outcome = 'sdkFailed';
  end
end

function ok = cam_ok(tw, control, value, now)
  [~, ok] = cam_set(tw, control, value, now);
end

function allowed = move_outcome(op, o, tw, state, ready, now)
  opts = op.Info.Opts;
  if strcmp(state, 'exposing')
    allowed = {'invalidOperation'};
    return;
  end
  if ~ready
    allowed = {'notSupported'};
    return;
  end
  steps = wheel_steps(tw, op.Info.Slot);
  timeout = opts.Timeout;
  if isempty(timeout)
    timeout = 10 + 2 * steps;
  end
  allowed = {''};
  if opts.Wait
    allowed = timed(timeout, steps, 0);
  end
  if tw.Moving  % the move under way is waited for first, with its own timeout
    first = timed(max([o.MoveTimeout, 24 * isempty(o.MoveTimeout)]), tw.Arrival - now, 0.25);
    if isequal(first, {'timeout'})
      allowed = first;
    elseif numel(first) == 2
      allowed = [allowed, {'timeout'}];
    end
  end
  if ~isempty(o.Pending) && tw.Moving && tw.WheelTarget + 1 ~= o.Pending
    allowed = [allowed, {'timeout'}];  % a stale target of this wheel, while another object's move runs
  end
end

function allowed = wait_move_outcome(op, o, tw, ready, now)
  if ~ready
    allowed = {'notSupported'};
    return;
  end
  eventual = tw.Slot + 1;
  if tw.Moving
    eventual = tw.WheelTarget + 1;
  end
  if ~isempty(o.Pending) && o.Pending ~= eventual
    allowed = {'timeout'};
  elseif tw.Moving
    allowed = timed(op.Info.Timeout, tw.Arrival - now, 0.25);
  else
    allowed = {''};
  end
end

% The steps the wheel turns from where it goes now to the slot, the shorter way.
function steps = wheel_steps(tw, slot)
  from = tw.Slot;
  if tw.Moving
    from = tw.WheelTarget;
  end
  forward = mod(slot - 1 - from, 7);
  steps = min(forward, 7 - forward);
end

% The objects open on the camera's ID besides it, and on the other IDs.
function [same, others] = counts(S, k)
  open = [S.Objs.Alive] & ~[S.Objs.Closed];
  open(k) = false;
  here = strcmp({S.Objs.ID}, S.Objs(k).ID);
  same = nnz(open & here);
  others = nnz(open & ~here);
end

function list = open_objects(S)
  list = find([S.Objs.Alive] & ~[S.Objs.Closed]);
end

% Each object's State before the step, and how many readings the step's
% object has logged, read without the camera.
function [states, logged] = object_states(S, actor)
  states = cell(1, numel(S.Objs));
  logged = 0;
  for k = find([S.Objs.Alive])
    cam = objects('get', k);
    states{k} = cam.State;
    if k == actor
      logged = numel(cam.TemperatureLog.Time);
    end
  end
end

% --- the model: what each object should hold -----------------------------------------

function o = obj_new(id, origin)
  known = setting_rows();
  values = cell2struct(cell(size(known, 1), 1), known(:, 1), 1);
  names = arrayfun(@(k) sprintf('%d', k), 1:7, 'UniformOutput', false);
  o = struct('ID', id, 'Alive', true, 'Closed', false, 'Wheel', false, 'Values', values, 'Names', {names}, 'Pending', [], ...
             'MoveTimeout', [], 'Own', struct('Start', NaN, 'Duration', NaN), 'Origin', origin);
end

% The cooler of one ID, shared by its objects: mode 'off', 'fixed',
% 'regulating' or 'warming'; the target; a ramp from RampFrom that may
% still move, ending by RampEnd at the latest; the wait's rules.
function c = cooler_new()
  c = struct('Mode', 'off', 'Target', [], 'Fixed', 0, 'Ramp', false, 'RampFrom', NaN, 'RampEnd', -Inf, ...
             'Tolerance', 0.2, 'StallTime', 120, 'SettleTime', 30, 'Held', NaN);
end

function known = setting_rows()
  known = {  % name, control (-1: the ROI), the layer's check, plausible values
    'Gain',              6,  'real',     {0, 30, 100, 55.5, int16(20), 150, -5}
    'Offset',            7,  'real',     {0, 10, 255, 300}
    'ExposureTime',      8,  'positive', {1e-3, 0.25, 1, 2.5, 6e-7, 4000, 4e-7}
    'Brightness',        0,  'real',     {-100, 0, 50, 120}
    'Contrast',          1,  'real',     {-100, 7, 100, -101}
    'Gamma',             5,  'positive', {0.1, 1, 1.5, 3, 0.05, 5}
    'Traffic',           12, 'real',     {0, 40, 255, -1}
    'DDR',               48, 'flag',     {true, false, 0, 1, int8(1)}
    'ROI',               -1, 'roi',      {}
    'WhiteBalanceRed',   2,  'real',     {0, 128, 255, 300}
    'WhiteBalanceGreen', 4,  'real',     {0, 128, 255, 300}
    'WhiteBalanceBlue',  3,  'real',     {0, 128, 255, 300}};
end

function S = update_model(S, op, mnemonic, L, H, before, cam)
  k = op.Obj;
  switch op.Kind
    case 'open'
      if ~isempty(mnemonic)
        return;
      end
      objects('set', k, cam);
      id = op.Info.ID;
      if nnz([S.Objs.Alive] & ~[S.Objs.Closed] & strcmp({S.Objs.ID}, id)) == 0
        S.Coolers(twin_index(id)) = cooler_new();  % the first object on an ID has a cooler of its own
      end
      S.Objs(k) = obj_new(id, H.Events{1}{2});
      S.Objs(k).Wheel = isa(cam.FilterWheel, 'brelk.FilterWheel');
      if ~op.Faulty && ~isequal({cam.ID, cam.IsColor, S.Objs(k).Wheel}, {id, strcmp(id, 'SIM-COLOR'), strcmp(id, 'SIM-MONO')})
        S = fail(S, sprintf('cam%d connected as %s, colour %d, with a wheel %d', k, cam.ID, cam.IsColor, S.Objs(k).Wheel));
      end
    case 'fault'
      S.Twin = twin_script(S.Twin, op.Values{1});
    case 'heal'
      operations = unique({S.Twin.Scripts.Op});
      for i = 1:numel(operations)
        brelksim('unscript', operations{i});
      end
      S.Twin.Scripts = no_scripts();
    case 'clear'
      S.Objs(k).Alive = false;
      S.Objs(k).Closed = true;
    case 'close'
      if isempty(mnemonic)
        S.Objs(k).Closed = true;
      end
  end
  if k == 0 || k > numel(S.Objs) || strcmp(op.Kind, 'clear')
    return;
  end
  idx = twin_index(S.Objs(k).ID);
  S = follow_cooler(S, op, L, idx);
  o = S.Objs(k);
  ok = L([L.Ok]);
  known = setting_rows();
  for i = 1:numel(ok)
    args = ok(i).Args;
    switch ok(i).Op
      case 'SetBRELKCCDParam'
        row = find([known{:, 2}] == args(1), 1);
        if ~isempty(row)
          value = args(2);
          if args(1) == 8
            value = value / 1e6;
          elseif args(1) == 48
            value = logical(value);
          end
          o.Values.(known{row, 1}) = value;
        elseif args(1) == 17
          o.Pending = op.Info.Slot;
          o.MoveTimeout = op.Info.Opts.Timeout;
          if isempty(o.MoveTimeout)
            o.MoveTimeout = 16;
          end
        end
      case 'SetBRELKCCDResolution'
        o.Values.ROI = args;
      case 'ExpBRELKCCDSingleFrame'
        o.Own = struct('Start', ok(i).Time, 'Duration', o.Values.ExposureTime);
      case 'CancelBRELKCCDExposingAndReadout'
        o.Own.Start = NaN;
    end
  end
  switch op.Kind
    case 'names'
      if isempty(mnemonic)
        o.Names = reshape(cellstr(op.Info.Names), 1, 7);
      end
    case {'moveTo', 'waitMove'}
      if isempty(mnemonic) && (strcmp(op.Kind, 'waitMove') || op.Info.Opts.Wait)
        o.Pending = [];
        o.MoveTimeout = [];
      end
    case {'startExposure', 'expose'}
      tw = cam_advance(S.Twin.Cams(idx), H.Events{1}{2});
      if ~isempty(o.Pending) && ~tw.Moving && strcmp(before{k}, 'idle')
        o.Pending = [];  % found at rest before exposing
        o.MoveTimeout = [];
      end
  end
  S.Objs(k) = o;
  % An exposure the camera began but the layer did not start, when the clock
  % broke right after the call: none of the objects knows of it.
  tw = S.Twin.Cams(idx);
  if H.Glitched && tw.Exposing && tw.Owner == k && ~o.Closed
    cam = objects('get', k);
    if strcmp(cam.State, 'idle')
      S.Twin.Cams(idx).Owner = 0;
    end
  end
end

% The cooler after the SDK lines the camera accepted: the first setpoint of
% coolTo, TemperatureSetpoint, warmUp or close's warm-up starts regulation
% or warming (after the temperature read that a ramp starts from); any
% later one is a ramp's step; a power sets the cooler fixed, 0 off.
function S = follow_cooler(S, op, L, idx)
  c = S.Coolers(idx);
  sets = find(lines_of(L, 'SetBRELKCCDParam', 18));
  start = 0;
  if any(strcmp(op.Kind, {'coolTo', 'setpoint', 'warmUp', 'close'})) && ~isempty(sets)
    start = sets(1);
    if isfield(op.Info, 'PreRead') && op.Info.PreRead
      reads = find(lines_of(L, 'GetBRELKCCDParam', 14), 1);
      start = sets(find(sets > reads, 1));
      if isempty(reads) || isempty(start)
        start = 0;
      end
    end
  end
  for i = 1:numel(L)
    e = L(i);
    if ~strcmp(e.Op, 'SetBRELKCCDParam')
      continue;
    end
    x = e.Args(2);
    if ~e.Ok
      % A ramp's step refused: the ramp ends at the step the camera holds.
      if e.Args(1) == 18 && i ~= start && c.Ramp
        c.Ramp = false;
        c.Target = c.Held;
      end
      continue;
    end
    if e.Args(1) == 18
      c.Held = x;
    end
    if e.Args(1) == 18 && i == start
      c.RampFrom = x;
      if any(strcmp(op.Kind, {'coolTo', 'setpoint'}))
        c.Mode = 'regulating';
        c.Target = op.Info.Target;
        c.RampEnd = e.Time;
        if strcmp(op.Kind, 'coolTo')
          opts = op.Info.Opts;
          c.Tolerance = opts.Tolerance;
          c.StallTime = opts.StallTime;
          c.SettleTime = opts.SettleTime;
          c.RampEnd = e.Time + op.Info.RampTime;
        end
      else
        c.Mode = 'warming';
        c.Target = op.Info.Target;
      end
      c.Ramp = x ~= c.Target;
    elseif e.Args(1) == 18
      c.Ramp = c.Ramp && x ~= c.Target;
    elseif e.Args(1) == 16 && x == 0
      c.Mode = 'off';
      c.Target = [];
      c.Ramp = false;
    elseif e.Args(1) == 16
      c.Mode = 'fixed';
      c.Target = [];
      c.Ramp = false;
      c.Fixed = x;
    end
  end
  S.Coolers(idx) = c;
end

% Which of the SDK lines call the operation for the control.
function tf = lines_of(L, op, control)
  tf = arrayfun(@(e) strcmp(e.Op, op) && ~isempty(e.Args) && e.Args(1) == control, L);
end

% --- checks after a step ------------------------------------------------------------

% A cooling or warming wait, by the readings it made (an unreadable NaN is
% no reading): progress is a reading 0.1 C nearer where the sensor should
% be (the ramp's setpoint while it moves, then the target), or one within
% the tolerance of a moving ramp. It ends within StallTime + SettleTime +
% a poll of its last progress or of a reading within the tolerance of the
% target; it stalls only StallTime after its last progress; it is at the
% target only when its readings of the last SettleTime were within the
% tolerance.
function S = check_wait(S, op, H, mnemonic, logged)
  k = op.Obj;
  if op.Invalid || H.Paused == 0 || k == 0 || k > numel(S.Objs) || ~S.Objs(k).Alive ...
     || ~any(strcmp(op.Kind, {'coolTo', 'waitTemp', 'warmUp', 'close'})) ...
     || any(strcmp(mnemonic, {'invalidOperation', 'closed'}))
    return;
  end
  switch op.Kind  % tolerance, stall time, settle time, target
    case 'coolTo'
      rules = [op.Info.Opts.Tolerance, op.Info.Opts.StallTime, op.Info.Opts.SettleTime, op.Info.Target];
    case 'waitTemp'
      c = S.Coolers(twin_index(S.Objs(k).ID));
      rules = [op.Info.Tolerance, c.StallTime, c.SettleTime, c.Target];
    case 'warmUp'
      rules = [op.Info.Opts.Tolerance, op.Info.Opts.StallTime, 0, op.Info.Target];
    otherwise
      rules = [0.2, 120, 0, 20];
  end
  [tolerance, stall, settle, target] = deal(rules(1), rules(2), rules(3), rules(4));
  cam = objects('get', k);
  log = cam.TemperatureLog;
  mine = logged + 1:numel(log.Time);
  % The wait's own readings: a reading before it (the warm-up's, a ramp's
  % start) was at the time of its first poll, which it comes before.
  mine = mine(find(log.Time(mine) == log.Time(mine(min(1, end))), 1, 'last'):end);
  t = log.Time(mine) + S.Objs(k).Origin;
  temperature = log.Temperature(mine);
  setpoint = log.Setpoint(mine);
  if isempty(t)
    return;
  end
  [last, near] = progress_times(t, temperature, setpoint, target, tolerance, 1e-6);  % generous
  exact = progress_times(t, temperature, setpoint, target, tolerance, 0);  % as the layer compares
  here = sprintf(' (the wait''s last progress at %.6g s, its end at %.6g s)', last - t(1), t(end) - t(1));
  if t(end) > max(last, near) + stall + settle + 2 + 1e-6
    S = fail(S, sprintf('the wait ran past its stall bound of %g s + %g s + a poll%s', stall, settle, here));
  end
  stalled = strcmp(mnemonic, 'temperatureNotReached') ...
            || (isempty(mnemonic) && strcmp(op.Kind, 'warmUp') && ~(temperature(end) >= target - tolerance));
  if stalled && t(end) - exact < stall - 1e-6
    S = fail(S, sprintf('the wait took the sensor for stalled %.6g s after its last progress, before the stall time of %g s%s', ...
                        t(end) - exact, stall, here));
  end
  settling = t >= t(end) - settle - 1e-9;
  if isempty(mnemonic) && any(strcmp(op.Kind, {'coolTo', 'waitTemp'})) ...
     && ~all(abs(temperature(settling) - target) <= tolerance + 1e-9)
    S = fail(S, sprintf('the wait ended at the target, but its readings of the last %g s were not all within %g C of %g C', ...
                        settle, tolerance, target));
  end
end

% When the readings last made progress, with this much slack, and when one
% was last within the tolerance of the target after the ramp. As the layer
% judges it, a reading counts only with the one before it: the one of the
% two farther from where the sensor should be, at its own time.
function [last, near] = progress_times(t, temperature, setpoint, target, tolerance, slack)
  mark = NaN;
  previous = [];
  last = t(1);
  near = -Inf;
  for i = 1:numel(t)
    if isnan(temperature(i))
      continue;
    end
    reference = setpoint(i);
    ramping = reference ~= target;
    if abs(temperature(i) - reference) <= tolerance + slack && ~ramping
      near = t(i);
    end
    candidate = [temperature(i), t(i)];
    if isempty(previous)
      previous = candidate;
      continue;
    end
    if abs(previous(1) - reference) > abs(temperature(i) - reference)
      candidate = previous;
    end
    previous = [temperature(i), t(i)];
    tracking = ramping && abs(candidate(1) - reference) <= tolerance + slack;
    if isnan(mark)
      mark = candidate(1);  % the stall time runs from the first poll
      toward = 0;
    else
      toward = (candidate(1) - mark) * sign(reference - mark);
    end
    if tracking || toward >= 0.1 - 1e-9 - slack
      mark = candidate(1);
      last = candidate(2);
    end
  end
end

% Every object against the model and the twin: its settings, its State, its
% cooler; and, when no fault is scripted, where its wheel is.
function S = check_objects(S)
  now = brelksim('now');
  known = setting_rows();
  for k = find([S.Objs.Alive])
    o = S.Objs(k);
    cam = objects('get', k);
    for r = 1:size(known, 1)
      name = known{r, 1};
      if ~isequal(cam.(name), o.Values.(name))
        S = fail(S, sprintf('cam%d.%s reads %s, but the camera accepted %s through it last', k, name, ...
                            describe(cam.(name)), describe(o.Values.(name))));
      end
    end
    state = cam.State;
    if o.Closed
      if ~strcmp(state, 'closed')
        S = fail(S, sprintf('cam%d was closed, yet its State is %s', k, state));
      end
      continue;
    end
    idx = twin_index(o.ID);
    raw = S.Twin.Cams(idx);
    tw = cam_advance(raw, now);
    mine = tw.Owner == k;
    switch state
      case 'live'
        ok = tw.Live && mine;
      case 'exposing'
        ok = raw.Exposing && mine && now < raw.End + 1e-8;
      case 'idle'
        ok = ~((tw.Live || tw.Exposing) && mine);
      otherwise
        ok = false;
    end
    if ~ok
      S = fail(S, sprintf('cam%d.State is %s, but the simulated camera %s', k, state, twin_text(tw, now, k)));
    end
    S = check_cooler(S, k, cam, tw);
  end
  if isempty(S.Twin.Scripts)
    S = check_wheels(S);
  end
end

function text = twin_text(tw, now, k)
  if tw.Live
    text = sprintf('is in live view (started by cam%d)', tw.Owner);
  elseif tw.Exposing
    text = sprintf('exposes until %.17g s, %.3g s from now (started by cam%d)', tw.End, tw.End - now, tw.Owner);
  else
    text = sprintf('is idle (cam%d started its last exposure)', k);
  end
end

function S = check_cooler(S, k, cam, tw)
  c = S.Coolers(twin_index(S.Objs(k).ID));
  expected = [];
  if any(strcmp(c.Mode, {'regulating', 'warming'}))
    expected = c.Target;
  end
  if ~isequal(cam.TemperatureSetpoint, expected)
    S = fail(S, sprintf('cam%d.TemperatureSetpoint is %s, but the camera accepted %s (cooler %s)', k, ...
                        describe(cam.TemperatureSetpoint), describe(expected), c.Mode));
  end
  states = struct('off', 'off', 'fixed', 'settling', 'warming', 'warming');
  if isfield(states, c.Mode) && ~strcmp(cam.CoolerState, states.(c.Mode))
    S = fail(S, sprintf('cam%d.CoolerState is %s, but its cooler is %s', k, cam.CoolerState, c.Mode));
  end
  switch c.Mode
    case 'off'
      ok = strcmp(tw.Cooler, 'off') || tw.Orphan;
    case 'fixed'
      ok = strcmp(tw.Cooler, 'fixed') && tw.Fixed == c.Fixed;
    otherwise
      between = (tw.Target - c.RampFrom) * (tw.Target - c.Target) <= 1e-9;
      ok = strcmp(tw.Cooler, 'regulated') && (tw.Target == c.Target ...
           || (c.Ramp && between && abs(tw.Target * 10 - round(tw.Target * 10)) < 1e-6));
  end
  if ~ok
    S = fail(S, sprintf('the layer''s cooler of cam%d is %s to %s, the simulated camera''s %s to %g', k, ...
                        c.Mode, describe(c.Target), tw.Cooler, tw.Target));
  end
end

% wheel.Position, read from the camera, against where the twin's wheel is.
function S = check_wheels(S)
  now = brelksim('now');
  for k = open_objects(S)
    tw = cam_advance(S.Twin.Cams(1), now);
    if ~S.Objs(k).Wheel || tw.Session ~= 2
      continue;
    end
    cam = objects('get', k);
    wheel = cam.FilterWheel;
    hooks('arm', 0, [], [], 0);
    try
      evalc('position = wheel.Position;');
    catch err
      position = err.message;
    end
    H = hooks('take');
    S.Twin = twin_replay(S.Twin, H.Events, 0);
    expected = tw.Slot + 1;
    if tw.Moving
      expected = NaN;
    end
    if ~isequaln(position, expected)
      S = fail(S, sprintf('cam%d.FilterWheel.Position is %s, but the simulated wheel is at %s', k, ...
                          describe(position), describe(expected)));
    end
  end
end

% --- the twin: the simulated cameras as the SDK journal moves them ------------------

function T = twin_new()
  T.Scripts = no_scripts();
  T.Cams = [cam_new('SIM-MONO'), cam_new('SIM-COLOR')];
  T.Cur = [];
  T.Now = 0;
end

function scripts = no_scripts()
  scripts = struct('Op', {}, 'Control', {}, 'Result', {}, 'Left', {});
end

function c = cam_new(id)
  c = struct('ID', id, 'Colour', strcmp(id, 'SIM-COLOR'), 'Session', 0, 'PowerOn', false, 'Slot', 0, ...
             'Moving', false, 'WheelTarget', 0, 'Arrival', 0, 'Settings', [], 'Roi', [], 'Cooler', 'off', ...
             'Fixed', 0, 'Target', 0, 'Exposing', false, 'End', 0, 'Live', false, 'Owner', 0, 'Orphan', false);
  c = cam_defaults(c);
end

function c = cam_defaults(c)
  limits = sim_settings();
  c.Settings = NaN(1, 64);
  c.Settings(limits(:, 1) + 1) = limits(:, 4);
  area = effective_area(c.ID);
  c.Roi = [0 0 area(3:4)];
  c.Cooler = 'off';
  c.Fixed = 0;
  c.Target = 0;
  c.Exposing = false;
  c.Live = false;
end

% The plain settings: control, least, most, power-on value, colour only, whole.
function limits = sim_settings()
  limits = [0 -100 100 0 0 0; 1 -100 100 0 0 0; 2 0 255 128 1 0; 3 0 255 128 1 0; 4 0 255 128 1 0
           5 0.1 3 1 0 0; 6 0 100 0 0 0; 7 0 255 30 0 0; 8 1 3600e6 1e6 0 0; 12 0 255 30 0 0; 48 0 1 1 0 1];
end

function area = effective_area(id)
  if strcmp(id, 'SIM-COLOR')
    area = [16 8 4064 2744];
  else
    area = [48 24 3008 2008];
  end
end

function idx = twin_index(id)
  idx = 1 + strcmp(id, 'SIM-COLOR');
end

% Events fall due a nanosecond early, as the simulator has them.
function c = cam_advance(c, now)
  if c.Moving && now >= c.Arrival - 1e-9
    c.Slot = c.WheelTarget;
    c.Moving = false;
  end
  if c.Exposing && now >= c.End - 1e-9
    c.Exposing = false;
  end
end

function c = end_session(c)
  c.Session = 0;
  c.Orphan = false;
  c.Exposing = false;
  c.Live = false;
  c.Cooler = 'off';
end

function [c, ok] = cam_set(c, control, value, now)
  ok = false;
  c = cam_advance(c, now);
  has = any(control == [14 16 18]) || (any(control == [17 44]) && ~c.Colour) ...
        || (any(control == [20 59 62 63]) && c.Colour);
  limits = sim_settings();
  row = limits(limits(:, 1) == control, :);
  if ~isempty(row)
    has = ~row(5) || c.Colour;
  end
  if c.Session ~= 2 || ~has || ~isfinite(value)
    return;
  end
  if ~isempty(row)
    ok = value >= row(2) && value <= row(3) && (~row(6) || value == fix(value));
    if ok
      c.Settings(control + 1) = value;
    end
    return;
  end
  switch control
    case 16
      ok = value >= 0 && value <= 255;
      if ok
        c.Cooler = choose_text(value == 0, 'off', 'fixed');
        c.Fixed = value;
        c.Orphan = false;
      end
    case 18
      ok = value >= -50 && value <= 50;
      if ok
        c.Cooler = 'regulated';
        c.Target = value;
        c.Orphan = false;
      end
    case 17
      slot = NaN;
      if value == fix(value) && ~c.Moving
        if value >= 48 && value < 55
          slot = value - 48;
        elseif value >= 0 && value < 7
          slot = value;
        end
      end
      ok = ~isnan(slot);
      forward = mod(slot - c.Slot, 7);
      if ok && min(forward, 7 - forward) > 0
        c.WheelTarget = slot;
        c.Moving = true;
        c.Arrival = now + min(forward, 7 - forward) * 1.0;
      end
  end
end

function text = choose_text(condition, yes, no)
  text = no;
  if condition
    text = yes;
  end
end

function [T, L] = twin_replay(T, events, actor)
  L = struct('Op', {}, 'Args', {}, 'Ok', {}, 'Time', {}, 'Line', {});
  for e = 1:numel(events)
    event = events{e};
    switch event{1}
      case 'time'
        T.Now = event{2};
      case 'script'
        T = twin_script(T, event{2});
      case 'lines'
        lines = event{2};
        for i = 1:numel(lines)
          [T, L(end + 1)] = twin_line(T, lines{i}, actor);  %#ok<AGROW>
        end
    end
  end
end

% One SDK call: answered by a script where one is set (-1 fails it before
% the camera, which then changes nothing; OpenBRELKCCD fails on 0), else by
% the camera, whose state it moves as the simulator's own rules say.
function [T, entry] = twin_line(T, line, actor)
  parts = regexp(line, '^(\w+)\((.*)\)$', 'tokens', 'once');
  op = parts{1};
  inside = parts{2};
  args = [];
  if ~strcmp(op, 'OpenBRELKCCD') && ~isempty(inside)
    args = str2double(strsplit(inside, ', '));
  end
  entry = struct('Op', op, 'Args', args, 'Ok', false, 'Time', T.Now, 'Line', line);
  control = -1;
  if takes_control(op)
    control = args(1);
  end
  [T, scripted, result] = twin_answer(T, op, control);
  if strcmp(op, 'OpenBRELKCCD')
    T.Cur = find(strcmp({T.Cams.ID}, inside(2:end - 1)));
    if scripted && result == 0
      T.Cur = [];
    end
    if ~isempty(T.Cur)
      c = cam_advance(T.Cams(T.Cur), T.Now);
      if c.PowerOn
        c = cam_defaults(c);
        c.PowerOn = false;
      end
      c.Session = max(c.Session, 1);
      T.Cams(T.Cur) = c;
      entry.Ok = true;
    end
    return;
  end
  if isempty(T.Cur) || (scripted && fails(result))
    return;
  end
  if strcmp(op, 'ReleaseBRELKCCDResource')
    for i = 1:numel(T.Cams)
      T.Cams(i) = end_session(cam_advance(T.Cams(i), T.Now));
      T.Cams(i).PowerOn = true;
    end
    entry.Ok = true;
    return;
  end
  c = cam_advance(T.Cams(T.Cur), T.Now);
  ready = c.Session == 2;
  idle = ~c.Exposing && ~c.Live;
  ok = true;
  switch op
    case 'InitBRELKCCD'
      ok = c.Session ~= 0 && idle;
      if ok
        c.Session = 2;
      end
    case 'CloseBRELKCCD'
      ok = c.Session ~= 0;
      if ok
        c = end_session(c);
      end
    case 'SetBRELKCCDParam'
      [c, ok] = cam_set(c, args(1), args(2), T.Now);
    case 'SetBRELKCCDResolution'
      area = effective_area(c.ID);
      ok = ready && idle && all(args(3:4) > 0) && args(1) + args(3) <= area(3) && args(2) + args(4) <= area(4);
      if ok
        c.Roi = args;
      end
    case 'ExpBRELKCCDSingleFrame'
      ok = ready && idle;
      if ok
        c.Exposing = true;
        c.End = T.Now + c.Settings(9) * 1e-6;
        c.Owner = actor;
      end
    case 'CancelBRELKCCDExposingAndReadout'
      ok = ready;
      c.Exposing = c.Exposing && ~ok;
    case 'BeginBRELKCCDLive'
      ok = ready && idle;
      if ok
        c.Live = true;
        c.Owner = actor;
      end
    case 'StopBRELKCCDLive'
      ok = ready;
      c.Live = c.Live && ~ok;
  end
  entry.Ok = ok;
  T.Cams(T.Cur) = c;
end

% A scripted double as a 32-bit SDK result: -1 where it is all bits set or
% fits no 32-bit integer.
function tf = fails(result)
  tf = ~(result >= -2147483648 && result <= 4294967295) || fix(result) == -1 || fix(result) == 4294967295;
end

function [T, scripted, result] = twin_answer(T, op, control)
  scripted = false;
  result = 0;
  mine = strcmp({T.Scripts.Op}, op);
  k = find(mine & [T.Scripts.Control] == control, 1);
  if isempty(k)
    k = find(mine & [T.Scripts.Control] == -1, 1);
  end
  if isempty(k)
    return;
  end
  scripted = true;
  result = T.Scripts(k).Result;
  if T.Scripts(k).Left > 0
    T.Scripts(k).Left = T.Scripts(k).Left - 1;
    if T.Scripts(k).Left == 0
      T.Scripts(k) = [];
    end
  end
end

function T = twin_script(T, fault)
  control = fault.Control;
  if ~takes_control(fault.Op)
    control = -1;
  end
  k = find(strcmp({T.Scripts.Op}, fault.Op) & [T.Scripts.Control] == control, 1);
  if isempty(k)
    k = numel(T.Scripts) + 1;
  end
  T.Scripts(k) = struct('Op', fault.Op, 'Control', control, 'Result', fault.Result, 'Left', fault.Count);
end
