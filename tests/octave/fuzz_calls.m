function fuzz_calls(seed, calls)
% fuzz_calls(seed, calls): `calls` seeded random calls of every toolbox
% function in this Octave session, with inputs of every class in every
% position (numbers of each class, char, logical, complex, sparse, empty,
% N-d, cell, struct, function handle, classdef object) and 0 to 8 outputs.
%
% The session must survive every call; every status must be an int32 0 or
% -1; a call asking for no more outputs than the function has must never
% raise an error, and the outputs it gets keep their classes and sizes. The
% seed is printed first: the same seed and count replay the same calls, and
% BRELK_FUZZ_VERBOSE=1 prints each call before it is made.
%
%   octave-cli --eval "addpath('<build>/mex', 'tests/octave'); fuzz_calls(1, 30000)"
  fprintf('Octave fuzz: seed %d, %d calls\n', seed, calls);
  rand('twister', seed);
  verbose = strcmp(getenv('BRELK_FUZZ_VERBOSE'), '1');
  functions = brelk_functions();
  counts = zeros(1, 3);  % status 0, status -1, errors on more outputs than the function has
  started = tic;
  for k = 1:calls
    if mod(k, 250) == 1
      bring_up_cameras();
    end
    f = randi(size(functions, 1));
    [name, args, outputs] = functions{f, :};
    inputs = random_inputs(numel(args));
    nout = 1 + outputs;  % mostly every output, else fewer or any number up to 8
    if rand() < 0.5
      nout = randi([0, 8]);
    end
    if verbose
      fprintf('call %d: %s, %d outputs, inputs %s\n', k, name, nout, describe(inputs));
    end
    [failure, status, got] = call_once(name, inputs, nout);
    where = @() sprintf('call %d (seed %d): %s with %d outputs and inputs %s', k, seed, name, nout, describe(inputs));
    if ~isempty(failure)
      if nout <= 1 + outputs
        error('fuzz_calls:error', '%s raised an error: %s', where(), failure.message);
      end
      if isempty(regexp(failure.message, 'undefined|too many outputs', 'once'))
        error('fuzz_calls:error', '%s: unexpected error: %s', where(), failure.message);
      end
      counts(3) = counts(3) + 1;
      continue;
    end
    if nout >= 1
      if ~(isa(status, 'int32') && isscalar(status) && (status == 0 || status == -1))
        error('fuzz_calls:status', '%s returned status %s', where(), describe({status}));
      end
      counts(1 + (status == -1)) = counts(1 + (status == -1)) + 1;
    end
    unread = brelk_unread_outputs(name);
    for o = 1:numel(got)
      if ~strcmp(class(got{o}), class(unread{o})) || ~isequal(size(got{o}), size(unread{o}))
        error('fuzz_calls:output', '%s returned output %d as %s', where(), o, describe(got(o)));
      end
    end
  end
  fprintf('Octave fuzz: %d calls in %.1f s: %d status 0, %d status -1, %d asked for more outputs than returned\n', ...
          calls, toc(started), counts(1), counts(2), counts(3));
end

% One call in a workspace of its own; `got` holds the outputs after the status.
function [failure, status, got] = call_once(name, inputs, nout)
  failure = [];
  status = [];
  got = {};
  names = arrayfun(@(k) sprintf('out%d', k), 1:nout, 'UniformOutput', false);
  if nout == 0
    statement = 'feval(name, inputs{:});';
  else
    statement = sprintf('[%s] = feval(name, inputs{:});', strjoin(names, ', '));
  end
  try
    evalc(statement);
  catch failure
    return;
  end
  if nout >= 1
    status = out1;
  end
  for k = 2:nout
    got{end + 1} = eval(names{k});
  end
end

% Both simulated cameras ready, most of the time, so calls reach the camera;
% now and then an SDK operation scripted to fail.
function bring_up_cameras()
  brelksim('reset');
  brelksim('clock', 'manual');
  for id = {'SIM-MONO', 'SIM-COLOR'}
    if rand() < 0.8
      evalc('BRELK_2_SetReadMode(id{1}, 0); BRELK_3_SetStreamMode(id{1}, 0); BRELK_4_InitCamera(id{1});');
    end
  end
  if rand() < 0.3
    operations = {'SetBRELKCCDParam', 'GetBRELKCCDParam', 'IsBRELKCCDControlAvailable', ...
                  'GetBRELKCCDChipInfo', 'InitBRELKCCD', 'OpenBRELKCCD'};
    results = [-1, 0, 1, 5];
    brelksim('script', operations{randi(numel(operations))}, results(randi(numel(results))));
  end
end

% The camera ID mostly as a script passes it, other inputs mostly the
% function's own number, and sometimes too few or too many inputs.
function inputs = random_inputs(count)
  ids = {'SIM-MONO', 'SIM-COLOR', [uint8('SIM-MONO') 0], int8('SIM-COLOR'), 'NO-SUCH'};
  if rand() < 0.6
    inputs = {ids{randi(numel(ids))}};
  else
    inputs = {random_value()};
  end
  n = count;
  if rand() < 0.3
    n = randi([0, 5]);
  end
  for k = 1:n
    if rand() < 0.5
      plausible = [0, 1, 3, 10, 30, 50, 100, -10, 1.5, 640];
      inputs{end + 1} = plausible(randi(numel(plausible)));
    else
      inputs{end + 1} = random_value();
    end
  end
  if rand() < 0.05
    inputs = {};
  end
end

function value = random_value()
  specials = [NaN, Inf, -Inf, -1, 0, 0.5, 1.9, 3, 255, 256, 1e300, -2^31, 2^32];
  classes = {'single', 'int8', 'uint8', 'int16', 'uint16', 'int32', 'uint32', 'int64', 'uint64'};
  switch randi(15)
    case 1
      value = specials(randi(numel(specials)));
    case 2
      value = cast(specials(randi(numel(specials))), classes{randi(numel(classes))});
    case 3
      texts = {'SIM-MONO', 'SIM-COLOR', '', '3', char(0), char(randi([32, 126], 1, randi(20))), char([226 132 131])};
      value = texts{randi(numel(texts))};
    case 4
      value = rand(1, randi(3)) > 0.5;
    case 5
      value = complex(randn(), randn());
    case 6
      value = sparse(randn(randi(3), randi(3)));
    case 7
      empties = {[], zeros(0, 3), '', {}, int8([]), false(0, 1), struct([])};
      value = empties{randi(numel(empties))};
    case 8
      value = randn(2, 2, 2);
    case 9
      value = {1, 'SIM-MONO'};
    case 10
      value = struct('a', 1);
    case 11
      value = @sin;
    case 12
      value = containers.Map();
    case 13
      value = inputParser();
    case 14
      value = uint8(randi([0, 255], 1, randi(4)));
    otherwise
      value = randn(randi(3), randi(3)) * 100;
  end
end

function text = describe(values)
  parts = cell(1, numel(values));
  for k = 1:numel(values)
    v = values{k};
    parts{k} = sprintf('%s %s', class(v), mat2str(size(v)));
    if (isnumeric(v) || ischar(v) || islogical(v)) && numel(v) <= 12 && ~issparse(v) && ndims(v) == 2
      parts{k} = [parts{k} ' ' mat2str(v)];
    end
  end
  text = ['{' strjoin(parts, ', ') '}'];
end
