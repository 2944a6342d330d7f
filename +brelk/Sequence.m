classdef Sequence < handle
%SEQUENCE A night's plan of exposures, run on a brelk.Camera and resumed after a crash.
%   seq = brelk.Sequence(steps, Name, Value, ...) plans exposures in steps,
%   one row of the cell array steps each: {filter, seconds, count}. The
%   filter is a name of the camera's filter wheel (a char row or a string
%   scalar) or its slot number, or [] for no move (a camera without a
%   wheel, or the wheel where it is); seconds is the exposure time, above
%   0; count the number of frames, a whole number of 1 or more.
%   seq.run(cam) cools the camera, takes every frame of every step in
%   order, and ends the night (see 'AtEnd'). The plan is checked when the
%   sequence is made, and against the camera's wheel when it is run,
%   before anything is sent.
%
%   Example
%     cam = brelk.Camera('SIM-MONO');
%     cam.FilterWheel.Names(1:2) = {'L', 'Ha'};
%     seq = brelk.Sequence({'L', 60, 10; 'Ha', 300, 6}, 'CoolTo', -10, ...
%                          'Journal', 'night.jsonl');
%     seq.run(cam);                      % cool, 16 frames, warm up
%   and after a crash, in a new session:
%     cam = brelk.Camera('SIM-MONO');
%     cam.FilterWheel.Names(1:2) = {'L', 'Ha'};
%     seq = brelk.Sequence.resume('night.jsonl');
%     seq.run(cam);                      % only the frames not yet done
%
%   Options (names are char rows or string scalars, whatever their case;
%   [] gives an option its default):
%     'CoolTo'       C: run cools the sensor to it first (coolTo) and
%                    waits for it again after the camera was reconnected;
%                    [] (default) leaves the cooler alone
%     'CoolingRate'  C per minute of the cooling ramp (default 0: the
%                    setpoint at once, as coolTo)
%     'Journal'      a file to record the night in (see Journal); without
%                    one (default) the sequence cannot be resumed. A file
%                    that holds a sequence already is refused: resume goes
%                    on with it.
%     'Retries'      how many times a failed frame is tried again, a whole
%                    number from 0 to 100 (default 2); the cooling and the
%                    warm-up get as many
%     'RetryPause'   seconds of camera time before each retry (default 30),
%                    with the temperature read as in every wait
%     'OnStall'      what a cooler that cannot reach 'CoolTo' does
%                    (coolTo raising brelk:Camera:temperatureNotReached):
%                    'stop' (default) ends the run with that error;
%                    'continue' records the stall and exposes at whatever
%                    temperature the sensor holds (each frame's record has it)
%     'AtEnd'        how the night ends, whatever happened, a Ctrl-C too:
%                    'warmup' (default) warms the sensor up and switches the
%                    cooler off (warmUp); 'close' also closes the camera;
%                    'none' leaves the cooler as it is
%     'ProgressFcn'  called as each frame is tried, with a struct: ID (the
%                    camera's), Operation ('sequence'), Step, Filter (as
%                    planned), Frame (its number in the step), Count (the
%                    step's frames), Seconds, Attempt (1, then 2... for a
%                    retry), FramesDone, FramesTotal, and TimeLeft (seconds
%                    of exposure left, this frame's included). The default
%                    prints one line a frame, with TimeLeft as h:mm:ss:
%                      SIM-MONO frame 3/10 of step 1 (L, 60 s): 2 of 16 done, 0:40:00 left
%                    [] for none. An error in it is shown as the warning
%                    brelk:Sequence:progressFcnFailed and the run goes on.
%                    Exposures report nothing else; the cooling, the wheel
%                    and the warm-up report through the camera's ProgressFcn.
%
%   Properties, read only:
%     Steps      the plan, one row {filter, seconds, count} per step, the
%                filter as a char row, a slot number or []
%     Done       frames completed, one row per step
%     Remaining  frames still to take, one row per step (count less Done);
%                sum(seq.Remaining) for the whole night
%     State      'pending' (not run yet), 'running', 'done' (every frame
%                completed), 'failed' (a fault the retries could not ride
%                out ended the run), 'stopped' (ended before its end by
%                'OnStall' 'stop', a Ctrl-C, or a session that died)
%     Frames     the record of every frame tried, a column struct array:
%                the fields of the camera's Exposures (Result 'completed',
%                'aborted' or 'failed', the filter, the temperatures...)
%                and Step and Index (the frame's number in its step). A
%                frame is done when its record says 'completed', and only
%                then.
%     Journal    the journal's file name, '' without one
%     Options    struct of the options above, Journal aside
%
%   Methods:
%     run(cam)
%         Takes the frames not yet done on the brelk.Camera cam: cools to
%         'CoolTo' (when given and frames remain), then for each frame
%         turns the wheel to the step's filter (when it is not there) and
%         exposes (expose). A frame that fails is tried again 'Retries'
%         times, 'RetryPause' apart; when the camera dropped out
%         (notConnected), cam.reconnect() opens it again first (read and
%         stream mode, initialisation, its settings, cooler target and
%         wheel names), then the sensor is waited for at 'CoolTo' again.
%         An exposure under way when an attempt fails is aborted where the
%         camera answers. Then the end ('AtEnd') runs, whatever happened;
%         a warm-up that fails still switches the cooler off where it can.
%         A fault that could not be ridden out is raised after the end,
%         with its own identifier (brelk:Camera:sdkFailed, ...); a failure
%         of the end alone is raised too, and under another error it is
%         the warning brelk:Sequence:endFailed. run can be called again:
%         it takes what is left.
%     seq = brelk.Sequence.resume(journal, Name, Value, ...)
%         The sequence a journal holds: its last plan, with its options,
%         and every frame done, from the frames' records. A frame that was
%         under way when the session died has no record and is taken
%         again; a frame whose record says 'completed' is never taken
%         again. Options as above, but 'Journal', replace the plan's for
%         this run ('ProgressFcn' is not in the journal). A last line that
%         is not whole is skipped with brelk.readLog's warning.
%
%   Journal. The camera records every event of the run in the journal, as
%   its 'LogFile' does (one JSON object a line, see brelk.readLog), with
%   the sequence's own events, Event 'sequence', told apart by What:
%     'plan'   as each run starts: Steps (Filter, Seconds, Count) and the
%              options
%     'frame'  as a frame is tried: Step, Index, Attempt, Filter, Seconds;
%              the next exposure event, if one comes before the next
%              sequence event, is that frame's record
%     'retry'  before a retry: For ('cooling', 'frame' or 'warmup'), Step,
%              Index, Attempt, Identifier, Message (what failed)
%     'stall'  the cooler stalled: Target, Temperature, Message
%     'end'    as the end begins: AtEnd
%     'state'  State, as the run starts ('running') and ends, with the
%              Identifier and Message of the error that ended it, and
%              EndIdentifier and EndMessage where the end failed
%
%   Errors are MException objects with the identifier brelk:Sequence:<mnemonic>:
%     brelk:Sequence:invalidValue      steps, an option, the camera given
%                                      to run, a filter that its wheel
%                                      lacks or that needs a wheel where
%                                      there is none, a journal that cannot
%                                      be written or holds a sequence (the
%                                      constructor), or one that cannot be
%                                      read or holds no plan (resume);
%                                      raised before anything is sent
%     brelk:Sequence:invalidOperation  run while the sequence runs
%   The camera's own errors come from run as they are: brelk:Camera:closed
%   when the camera was closed, and after the end the fault that ended it.
%
%   See also brelk.Camera, brelk.readLog.

  properties (SetAccess = private)
    Steps = cell(0, 3)
    State = 'pending'
    Frames = []
    Journal = ''
    Options = struct()
  end

  properties (Dependent, SetAccess = private)
    Done
    Remaining
  end

  properties (Access = private)
    Checks = []
    Completed = {}      % per step, which of its frames are done
    Pending = []        % the frame tried last, until its record comes or another event is noted
    WheelAt = NaN       % the slot the wheel was turned to, NaN after a failure
    Ended = true        % the end of the run under way has been done
  end

  methods
    function obj = Sequence(steps, varargin)
      checks = brelk.internal.Checks('Sequence');
      obj.Checks = checks;
      obj.Frames = noFrames();
      if nargin < 1
        checks.raise('invalidValue', 'Give the steps: brelk.Sequence({''L'', 60, 10; ''Ha'', 300, 6}).');
      end
      obj.Steps = checkedSteps(checks, steps);
      obj.Completed = cellfun(@(count) false(1, count), obj.Steps(:, 3), 'UniformOutput', false);
      opts = checks.options(optionSpec(checks), varargin);
      if ~isempty(opts.Journal)
        obj.Journal = newJournal(checks, opts.Journal);
      end
      obj.Options = rmfield(opts, 'Journal');
    end

    function value = get.Done(obj)
      value = cellfun(@nnz, obj.Completed);
    end

    function value = get.Remaining(obj)
      value = cellfun(@(done) nnz(~done), obj.Completed);
    end

    function run(obj, cam)
    %RUN Take the frames not yet done on a camera, then end the night.
    %   seq.run(cam) cools to 'CoolTo', takes every frame not yet done,
    %   riding out faults by 'Retries', and runs the end ('AtEnd') whatever
    %   happened. See help brelk.Sequence.
      checks = obj.Checks;
      if nargin < 2 || ~(isa(cam, 'brelk.Camera') && isscalar(cam))
        checks.raise('invalidValue', 'run needs the brelk.Camera to run on: seq.run(cam).');
      end
      if strcmp(obj.State, 'running')
        checks.raise('invalidOperation', 'This sequence is running already.');
      end
      slots = obj.slotsOn(cam);
      attached = false;
      if ~isempty(obj.Journal)
        attached = cam.record(obj.Journal);
      end
      obj.State = 'running';
      obj.Ended = false;
      % Ctrl-C is caught by no catch, in MATLAB or in Octave: the end runs
      % from here then.
      guard = onCleanup(@() obj.interrupted(cam, attached));
      obj.note(cam, 'plan', obj.plan());
      obj.note(cam, 'state', struct('State', 'running'));
      failure = [];
      try
        obj.work(cam, slots);
      catch err
        if interrupt(err)
          rethrow(err);
        end
        failure = err;
      end
      endFailure = obj.finish(cam, attached, failure);
      clear guard;
      if ~isempty(failure)
        rethrow(failure);
      elseif ~isempty(endFailure)
        rethrow(endFailure);
      end
    end

    function disp(obj)
      if ~isscalar(obj)
        dims = sprintf('%dx', size(obj));
        fprintf('  %s brelk.Sequence array\n', dims(1:end - 1));
        return;
      end
      fprintf('  brelk.Sequence, %s: %d of %d frames done', obj.State, sum(obj.Done), ...
              sum([obj.Steps{:, 3}]));
      if ~isempty(obj.Journal)
        fprintf(', journal %s', obj.Journal);
      end
      fprintf('\n');
      done = obj.Done;
      for k = 1:size(obj.Steps, 1)
        fprintf('    %d. %s, %g s: %d of %d\n', k, label(obj.Steps{k, 1}), obj.Steps{k, 2}, done(k), ...
                obj.Steps{k, 3});
      end
    end
  end

  methods (Static)
    function obj = resume(journal, varargin)
    %RESUME The sequence a journal holds, with the frames it has done.
    %   seq = brelk.Sequence.resume(journal) reads the journal (see
    %   brelk.readLog) and returns the sequence of its last plan, with
    %   Done and Frames as its frames' records tell; seq.run(cam) then
    %   takes only the frames not yet done, recording to the same journal.
    %   brelk.Sequence.resume(journal, Name, Value, ...) replaces the
    %   plan's options ('Journal' aside) with those given. A journal that
    %   cannot be read, or holds no plan, raises brelk:Sequence:invalidValue.
      checks = brelk.internal.Checks('Sequence');
      if nargin < 1
        checks.raise('invalidValue', 'resume needs the journal: brelk.Sequence.resume(''night.jsonl'').');
      end
      journal = checks.text('The journal', journal);
      try
        events = brelk.readLog(journal);
      catch err
        if ~strcmp(err.identifier, 'brelk:readLog:invalidValue')
          rethrow(err);
        end
        checks.raise('invalidValue', '%s', err.message);
      end
      [plan, attributed, state] = replay(events);
      if isempty(plan)
        checks.raise('invalidValue', ['The journal %s holds no sequence plan: brelk.Sequence(steps, ' ...
                                      '''Journal'', file) starts one.'], journal);
      end
      planned = plan.Steps;
      if ~(isstruct(planned) && all(isfield(planned, {'Filter', 'Seconds', 'Count'})))
        checks.raise('invalidValue', 'The plan in the journal %s has no steps.', journal);
      end
      planned = planned(:);
      obj = brelk.Sequence([{planned.Filter}', {planned.Seconds}', {planned.Count}']);
      spec = optionSpec(checks);
      spec(strcmp(spec(:, 1), 'Journal'), :) = [];
      kept = spec(~strcmp(spec(:, 1), 'ProgressFcn'), 1);
      fromPlan = cell(2, numel(kept));
      for k = 1:numel(kept)
        fromPlan(:, k) = {kept{k}; plan.(kept{k})};
      end
      obj.Options = checks.options(spec, [fromPlan(:)', varargin]);
      obj.Journal = journal;
      counts = [planned.Count];
      for k = 1:numel(attributed)
        step = attributed(k).Step;
        index = attributed(k).Index;
        if ~(isnumeric(step) && isscalar(step) && any(step == 1:numel(counts)) && isnumeric(index) ...
             && isscalar(index) && any(index == 1:counts(step)))
          checks.raise('invalidValue', 'The journal %s holds a frame %s of step %s, which its plan does not have.', ...
                       journal, checks.describe(index), checks.describe(step));
        end
        obj.attribute(attributed(k));
      end
      if all(obj.Remaining == 0)
        obj.State = 'done';
      elseif any(strcmp(state, {'failed', 'stopped'}))
        obj.State = state;
      elseif ~isempty(state)
        obj.State = 'stopped';  % the session died while it ran
      end
    end
  end

  methods (Access = private)
    % The slot of each step's filter on the camera's wheel, NaN for none:
    % the whole plan is checked before anything is sent.
    function slots = slotsOn(obj, cam)
      checks = obj.Checks;
      wheel = cam.FilterWheel;
      slots = NaN(size(obj.Steps, 1), 1);
      for k = 1:numel(slots)
        filter = obj.Steps{k, 1};
        if isempty(filter)
          continue;
        end
        if isempty(wheel)
          checks.raise('invalidValue', 'Step %d asks for the filter %s, but %s has no filter wheel.', k, ...
                       checks.describe(filter), cam.ID);
        end
        try
          slots(k) = wheel.slotFor(filter);
        catch err
          if ~strcmp(err.identifier, 'brelk:FilterWheel:invalidValue')
            rethrow(err);
          end
          checks.raise('invalidValue', 'Step %d: %s', k, err.message);
        end
      end
    end

    function work(obj, cam, slots)
      opts = obj.Options;
      if ~isempty(opts.CoolTo) && any(obj.Remaining > 0)
        obj.attempts(cam, 'cooling', [], ...
                     @(attempt, reconnected) obj.cooled(cam, @() cam.coolTo(opts.CoolTo, 'Rate', opts.CoolingRate)));
      end
      obj.WheelAt = NaN;
      for s = 1:size(obj.Steps, 1)
        index = find(~obj.Completed{s}, 1);
        while ~isempty(index)
          obj.attempts(cam, 'frame', [s index], ...
                       @(attempt, reconnected) obj.takeFrame(cam, s, index, slots(s), attempt, reconnected));
          index = find(~obj.Completed{s}, 1);
        end
      end
    end

    % One thing to do, tried 1 + Retries times: action(attempt, reconnected)
    % raises when it fails. A retry comes after RetryPause, and after a
    % reconnect while the camera has not answered since it dropped out.
    function attempts(obj, cam, what, frame, action)
      opts = obj.Options;
      last = [];
      stale = false;      % the camera dropped out and has not been opened again
      if isempty(frame)
        frame = [NaN NaN];
      end
      for attempt = 1:opts.Retries + 1
        reconnected = false;
        try
          if attempt > 1
            obj.note(cam, 'retry', struct('For', what, 'Step', frame(1), 'Index', frame(2), 'Attempt', attempt, ...
                                          'Identifier', last.identifier, 'Message', last.message));
            cam.rest(opts.RetryPause);
            if stale
              cam.reconnect();
              stale = false;
              reconnected = true;
            end
          end
          action(attempt, reconnected);
          return;
        catch err
          if ~retryable(err)
            rethrow(err);
          end
          last = err;
          stale = stale || dropped(err);
        end
      end
      rethrow(last);
    end

    % A wait for the temperature: a stall is recorded, and with 'OnStall'
    % 'continue' the night goes on at whatever temperature the sensor holds.
    function cooled(obj, cam, wait)
      try
        wait();
      catch err
        if ~strcmp(err.identifier, 'brelk:Camera:temperatureNotReached')
          rethrow(err);
        end
        readings = cam.TemperatureLog.Temperature;
        obj.note(cam, 'stall', struct('Target', obj.Options.CoolTo, 'Temperature', readings(end), ...
                                      'Message', err.message));
        if strcmp(obj.Options.OnStall, 'stop')
          rethrow(err);
        end
      end
    end

    % One attempt at a frame. Its record is the exposure that ends before
    % anything else is noted: as the journal is read back by resume.
    function takeFrame(obj, cam, s, index, slot, attempt, reconnected)
      seconds = obj.Steps{s, 2};
      obj.report(cam, s, index, attempt);
      try
        idle(cam);
        if reconnected && ~isempty(obj.Options.CoolTo)
          obj.cooled(cam, @() cam.waitForTemperature());
        end
        if ~isnan(slot) && slot ~= obj.WheelAt
          cam.FilterWheel.moveTo(slot);
          obj.WheelAt = slot;
        end
        exposures = numel(cam.Exposures);
        obj.note(cam, 'frame', struct('Step', s, 'Index', index, 'Attempt', attempt, ...
                                      'Filter', {obj.Steps{s, 1}}, 'Seconds', seconds));
        obj.Pending = struct('Step', s, 'Index', index, 'Before', exposures);
        cam.expose(seconds, 'ProgressFcn', []);
      catch err
        obj.WheelAt = NaN;
        if ~interrupt(err)
          try
            cam.abortExposure();  % ends it where the camera answers: its record says so
          catch
          end
        end
        obj.collect(cam);
        rethrow(err);
      end
      obj.collect(cam);
    end

    % The record of the frame tried last, once the camera has it.
    function collect(obj, cam)
      pending = obj.Pending;
      if isempty(pending)
        return;
      end
      records = cam.Exposures;
      if numel(records) > pending.Before
        record = records(pending.Before + 1);
        record.Step = pending.Step;
        record.Index = pending.Index;
        obj.attribute(record);
        obj.Pending = [];
      end
    end

    function attribute(obj, record)
      frames = obj.Frames;
      obj.Frames = [];  % appended to in place, not copied
      obj.Frames = appended(frames, record);
      if strcmp(record.Result, 'completed')
        obj.Completed{record.Step}(record.Index) = true;
      end
    end

    % The end of the night, from run or from the onCleanup of a Ctrl-C:
    % what the end could not do is returned, never raised.
    function endFailure = finish(obj, cam, attached, failure)
      obj.Ended = true;
      endFailure = [];
      try
        cam.abortExposure();  % a frame under way is not finished by the end
      catch
      end
      obj.collect(cam);
      opts = obj.Options;
      obj.note(cam, 'end', struct('AtEnd', opts.AtEnd));
      if ~strcmp(opts.AtEnd, 'none')
        try
          obj.attempts(cam, 'warmup', [], @(attempt, reconnected) cam.warmUp());
        catch err
          endFailure = err;
          try
            cam.CoolerPower = 0;  % the cooler off, at least
          catch
          end
        end
      end
      faulted = ~isempty(failure) && ~ischar(failure);  % an error, not a Ctrl-C
      if all(obj.Remaining == 0)
        state = 'done';
      elseif faulted && ~(strcmp(failure.identifier, 'brelk:Camera:temperatureNotReached') ...
                                             && strcmp(opts.OnStall, 'stop'))
        state = 'failed';
      else
        state = 'stopped';  % by 'OnStall' 'stop' or a Ctrl-C
      end
      fields = struct('State', state);
      if faulted
        fields.Identifier = failure.identifier;
        fields.Message = failure.message;
      end
      if ~isempty(endFailure)
        fields.EndIdentifier = endFailure.identifier;
        fields.EndMessage = endFailure.message;
      end
      obj.note(cam, 'state', fields);
      obj.State = state;
      if attached
        cam.unrecord(obj.Journal);
      end
      if strcmp(opts.AtEnd, 'close')
        try
          cam.close();
        catch err
          if isempty(endFailure)
            endFailure = err;
          end
        end
      end
      if ~isempty(endFailure) && faulted
        warning('brelk:Sequence:endFailed', 'The end of the night failed: %s', endFailure.message);
      end
    end

    function interrupted(obj, cam, attached)
      if ~obj.Ended
        try
          obj.finish(cam, attached, 'interrupted');
        catch err
          warning('brelk:Sequence:endFailed', 'The end of the night failed: %s', err.message);
        end
      end
    end

    function note(obj, cam, what, fields)
      obj.Pending = [];
      line = struct('What', what);
      names = fieldnames(fields);
      for k = 1:numel(names)
        line.(names{k}) = fields.(names{k});
      end
      cam.note('sequence', line);
    end

    function fields = plan(obj)
      fields = struct();
      fields.Steps = struct('Filter', obj.Steps(:, 1), 'Seconds', obj.Steps(:, 2), 'Count', obj.Steps(:, 3));
      opts = rmfield(obj.Options, 'ProgressFcn');
      names = fieldnames(opts);
      for k = 1:numel(names)
        fields.(names{k}) = opts.(names{k});
      end
    end

    function report(obj, cam, s, index, attempt)
      progress = obj.Options.ProgressFcn;
      if isempty(progress)
        return;
      end
      seconds = [obj.Steps{:, 2}]';
      counts = [obj.Steps{:, 3}]';
      info = struct('ID', cam.ID, 'Operation', 'sequence', 'Step', s, 'Filter', {obj.Steps{s, 1}}, ...
                    'Frame', index, 'Count', counts(s), 'Seconds', seconds(s), 'Attempt', attempt, ...
                    'FramesDone', sum(obj.Done), 'FramesTotal', sum(counts), ...
                    'TimeLeft', sum(obj.Remaining .* seconds));
      try
        progress(info);
      catch err
        if interrupt(err)
          rethrow(err);
        end
        warning('brelk:Sequence:progressFcnFailed', 'ProgressFcn raised an error: %s', err.message);
      end
    end
  end
end

function spec = optionSpec(checks)
  spec = {
    'CoolTo',      [],       'real'
    'CoolingRate', 0,        'nonnegative'
    'Journal',     [],       'text'
    'Retries',     2,        @(name, value) checks.number(name, value, 'whole', [0 100])
    'RetryPause',  30,       'nonnegative'
    'OnStall',     'stop',   @(name, value) checks.choice(name, value, {'stop', 'continue'})
    'AtEnd',       'warmup', @(name, value) checks.choice(name, value, {'warmup', 'close', 'none'})
    'ProgressFcn', @progressLine, 'progress'};
end

function steps = checkedSteps(checks, steps)
  if ~(iscell(steps) && ismatrix(steps) && size(steps, 2) == 3 && size(steps, 1) >= 1)
    checks.raise('invalidValue', ['The steps must be a cell array of rows {filter, seconds, count}, such as ' ...
                                  '{''L'', 60, 10; ''Ha'', 300, 6}, not %s.'], checks.describe(steps));
  end
  for k = 1:size(steps, 1)
    filter = steps{k, 1};
    name = sprintf('Step %d''s filter', k);
    if checks.isDefault(filter)
      filter = [];
    elseif ischar(filter) || isa(filter, 'string')
      filter = checks.text(name, filter);
    elseif isnumeric(filter)
      filter = checks.number(name, filter, 'whole', [1 255]);
    else
      checks.refuse(name, 'a filter name, a slot number or [] for none', filter);
    end
    steps{k, 1} = filter;
    steps{k, 2} = checks.number(sprintf('Step %d''s seconds', k), steps{k, 2}, 'positive');
    steps{k, 3} = checks.number(sprintf('Step %d''s count', k), steps{k, 3}, 'whole', [1 1e6]);
  end
end

% A new journal: one that holds a sequence is resume's, and one that
% cannot be written is refused now rather than at night.
function file = newJournal(checks, file)
  existed = exist(file, 'file') == 2;
  if existed && ~isempty(strfind(fileread(file), '"Event":"sequence","What":"plan"'))
    checks.raise('invalidValue', ['The journal %s holds a sequence already: brelk.Sequence.resume(''%s'') ' ...
                                  'goes on with it; give another file for a new one.'], file, file);
  end
  [id, message] = fopen(file, 'a');
  if id < 0
    checks.raise('invalidValue', 'The journal %s cannot be opened for appending: %s', file, message);
  end
  fclose(id);
  if ~existed
    delete(file);
  end
end

% The plan, the frames' records and the last state a journal holds. A
% frame's record is the first exposure after its 'frame' event, before any
% other event of the sequence.
function [plan, attributed, state] = replay(events)
  plan = [];
  state = '';
  current = [];
  attributed = noFrames();
  for k = 1:numel(events)
    event = events(k);
    if strcmp(event.Event, 'sequence')
      current = [];
      switch event.What
        case 'plan'
          plan = event;
        case 'frame'
          if ~isempty(plan)
            current = [event.Step, event.Index];
          end
        case 'state'
          state = event.State;
      end
    elseif strcmp(event.Event, 'exposure') && ~isempty(current)
      record = recordOf(event);
      record.Step = current(1);
      record.Index = current(2);
      attributed = appended(attributed, record);
      current = [];
    end
  end
end

% An exposure as brelk.Camera's Exposures has it, from its JSON line, where
% NaN was written as null and a row as a column.
function record = recordOf(event)
  names = exposureFields();
  record = struct();
  for k = 1:numel(names)
    value = event.(names{k});
    if isempty(value) && any(strcmp(names{k}, {'Time', 'Duration', 'Elapsed', 'Slot', 'TemperatureStart', ...
                                               'TemperatureEnd', 'Setpoint', 'CoolerPower'}))
      value = NaN;
    elseif isnumeric(value) && ~isempty(value)
      value = reshape(value, 1, []);
    end
    record.(names{k}) = value;
  end
end

function names = exposureFields()
  names = {'Start', 'Time', 'Duration', 'Elapsed', 'Result', 'Filter', 'Slot', 'TemperatureStart', ...
           'TemperatureEnd', 'Setpoint', 'CoolerPower', 'Gain', 'Offset', 'ROI'};
end

function frames = noFrames()
  names = [exposureFields(), {'Step', 'Index'}];
  frames = cell2struct(cell(numel(names), 0), names, 1);
end

% record added to the struct array frames, the fields of either given to
% both: a journal from an older camera may have other ones.
function frames = appended(frames, record)
  if isempty(frames)
    frames = record;
    return;
  end
  for name = setdiff(fieldnames(record), fieldnames(frames))'
    [frames.(name{1})] = deal([]);
  end
  for name = setdiff(fieldnames(frames), fieldnames(record))'
    record.(name{1}) = [];
  end
  frames(end + 1, 1) = orderfields(record, frames);
end

% The camera no longer answers: open it again before the retry.
function tf = dropped(err)
  tf = any(strcmp(err.identifier, {'brelk:Camera:notConnected', 'brelk:FilterWheel:notConnected'}));
end

% What a retry can mend: the camera's faults, not a wrong value, a missing
% feature, a closed camera or a stalled cooler.
function tf = retryable(err)
  parts = regexp(err.identifier, '^brelk:(Camera|FilterWheel):(\w+)$', 'tokens', 'once');
  tf = ~isempty(parts) && any(strcmp(parts{2}, {'notConnected', 'sdkFailed', 'timeout', 'invalidOperation'}));
end

function tf = interrupt(err)
  tf = strcmp(err.identifier, 'Octave:interrupt');
end

% An exposure or live view left running is ended before a frame.
function idle(cam)
  switch cam.State
    case 'exposing'
      cam.abortExposure();
    case 'live'
      cam.stopLive();
  end
end

function text = label(filter)
  if ischar(filter)
    text = filter;
  elseif isempty(filter)
    text = 'no filter';
  else
    text = sprintf('slot %d', filter);
  end
end

% The default ProgressFcn: one short line a frame.
function progressLine(info)
  filter = '';
  if ischar(info.Filter)
    filter = [info.Filter ', '];
  elseif ~isempty(info.Filter)
    filter = sprintf('slot %d, ', info.Filter);
  end
  left = round(info.TimeLeft);
  line = sprintf('%s frame %d/%d of step %d (%s%g s): %d of %d done, %d:%02d:%02d left', info.ID, ...
                 info.Frame, info.Count, info.Step, filter, info.Seconds, info.FramesDone, info.FramesTotal, ...
                 floor(left / 3600), mod(floor(left / 60), 60), mod(left, 60));
  if info.Attempt > 1
    line = sprintf('%s, try %d', line, info.Attempt);
  end
  fprintf('%s\n', line);
  if exist('OCTAVE_VERSION', 'builtin')
    fflush(stdout);  % a night's log file shows each frame as it starts
  end
end
