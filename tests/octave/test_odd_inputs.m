function tests = test_odd_inputs
% Inputs of classes that hold no number or text. A function handle or a
% classdef object aborts the whole Octave session if a MEX function asks
% for its data; every function must refuse such an input with its one line,
% status -1, every output asked for assigned, and nothing sent to the camera.
  tests = {@handles_and_objects_are_refused_in_every_position, @a_refused_reading_assigns_its_outputs};
end

function handles_and_objects_are_refused_in_every_position
  odd = {@sin, 'function handle'; containers.Map(), 'containers.Map'; inputParser(), 'inputParser'};
  functions = brelk_functions();
  brelk_ready('SIM-MONO');
  for k = 1:size(functions, 1)
    [name, args, outputs] = functions{k, :};
    names = [{'camera ID'}, input_names(name, numel(args))];
    for position = 1:numel(names)
      for o = 1:size(odd, 1)
        inputs = [{'SIM-MONO'}, args];
        inputs{position} = odd{o, 1};
        brelksim('clearjournal');
        got = cell(1, outputs);
        [text, status, got{:}] = brelk_call(name, inputs{:});
        check({text, status, got, brelksim('journal')}, ...
              {['Invalid ' names{position} '.' char(10)], int32(-1), brelk_unread_outputs(name), cell(0, 1)}, ...
              '%s with a %s as input %d', name, odd{o, 2}, position - 1);
      end
    end
  end
end

% The calls that crashed the session, as a user typed them, then the script goes on.
function a_refused_reading_assigns_its_outputs
  [text, status, temperature] = brelk_call('BRELK_7_GetTemperature', @sin);
  check({text, status, temperature}, {['Invalid camera ID.' char(10)], int32(-1), NaN}, 'temperature of @sin');
  [text, status] = brelk_call('BRELK_6_SetGain', 'SIM-MONO', containers.Map());
  check({text, status}, {['Invalid value.' char(10)], int32(-1)}, 'gain of a containers.Map');
  brelk_ready('SIM-MONO');
  [text, status] = brelk_call('BRELK_6_SetGain', 'SIM-MONO', 30);
  check({text, status}, {['Set camera gain successfully.' char(10)], int32(0)}, 'the call after them');
end

% Names the functions give their inputs after the ID in their refusal lines.
function names = input_names(name, count)
  switch name
    case 'BRELK_2_SetReadMode'
      names = {'readMode'};
    case 'BRELK_3_SetStreamMode'
      names = {'streamMode'};
    case 'BRELK_6_SetCoolerPWM'
      names = {'percent'};
    case 'BRELK_6_SetROI'
      names = {'x', 'y', 'sizex', 'sizey'};
    case 'BRELK_8_SetCFWTarget'
      names = {'target position'};
    otherwise
      names = repmat({'value'}, 1, count);
  end
end
