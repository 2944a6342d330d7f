function [tests, any_sdk] = test_sequence
% brelk.Sequence on SIM-MONO and its manual clock: a plan refused before
% anything is sent, a night cooled, taken and warmed up, its journal read
% back by resume after the session died, faults ridden out or ending the
% run after its end, stalls, Ctrl-C, the ends to choose from; and the help,
% which runs on any SDK.
  tests = {@bad_plans_are_refused_before_anything_is_sent, @a_night_cools_takes_every_frame_and_warms_up, ...
           @resume_takes_only_the_frames_not_done, @resume_needs_a_journal_with_a_plan, ...
           @a_wheel_fault_and_a_dropout_are_ridden_out, @a_fault_that_stays_is_raised_after_the_end, ...
           @a_stall_stops_the_run_or_is_recorded, @ctrl_c_ends_the_night, @the_end_as_chosen, ...
           @the_help_names_every_member_option_and_error};
  any_sdk = {@the_help_names_every_member_option_and_error};
end

function bad_plans_are_refused_before_anything_is_sent
  steps = {'L', 60, 1};
  refused = {  % code, message
    'brelk.Sequence()', 'Give the steps: brelk.Sequence({''L'', 60, 10; ''Ha'', 300, 6}).'
    'brelk.Sequence({''L'', 60})', ['The steps must be a cell array of rows {filter, seconds, count}, such as ' ...
                                    '{''L'', 60, 10; ''Ha'', 300, 6}, not a 1x2 cell.']
    'brelk.Sequence({})', ['The steps must be a cell array of rows {filter, seconds, count}, such as ' ...
                           '{''L'', 60, 10; ''Ha'', 300, 6}, not a 0x0 cell.']
    'brelk.Sequence(''L'')', ['The steps must be a cell array of rows {filter, seconds, count}, such as ' ...
                              '{''L'', 60, 10; ''Ha'', 300, 6}, not ''L''.']
    'brelk.Sequence({'''', 60, 1})', 'Step 1''s filter must be a non-empty char row or string scalar, not a 0x0 char.'
    'brelk.Sequence({true, 60, 1})', 'Step 1''s filter must be a filter name, a slot number or [] for none, not logical true.'
    'brelk.Sequence({{''L''}, 60, 1})', 'Step 1''s filter must be a filter name, a slot number or [] for none, not a 1x1 cell.'
    'brelk.Sequence({2.5, 60, 1})', 'Step 1''s filter must be a whole number from 1 to 255, not 2.5.'
    'brelk.Sequence({''L'', 0, 1})', 'Step 1''s seconds must be a finite real scalar above 0, not 0.'
    'brelk.Sequence({''L'', ''60'', 1})', 'Step 1''s seconds must be a finite real scalar above 0, not ''60''.'
    'brelk.Sequence({''L'', 60, 1; ''R'', NaN, 1})', 'Step 2''s seconds must be a finite real scalar above 0, not NaN.'
    'brelk.Sequence({''L'', 60, 0})', 'Step 1''s count must be a whole number from 1 to 1000000, not 0.'
    'brelk.Sequence({''L'', 60, 1.5})', 'Step 1''s count must be a whole number from 1 to 1000000, not 1.5.'
    'brelk.Sequence(steps, ''Retries'', -1)', 'Option ''Retries'' must be a whole number from 0 to 100, not -1.'
    'brelk.Sequence(steps, ''RetryPause'', Inf)', 'Option ''RetryPause'' must be a finite real scalar of 0 or more, not Inf.'
    'brelk.Sequence(steps, ''OnStall'', ''pause'')', 'Option ''OnStall'' must be ''stop'' or ''continue'', not ''pause''.'
    'brelk.Sequence(steps, ''AtEnd'', 1)', 'Option ''AtEnd'' must be ''warmup'' or ''close'' or ''none'', not 1.'
    'brelk.Sequence(steps, ''CoolTo'', ''-10'')', 'Option ''CoolTo'' must be a finite real scalar, not ''-10''.'
    'brelk.Sequence(steps, ''CoolingRate'', -1)', 'Option ''CoolingRate'' must be a finite real scalar of 0 or more, not -1.'
    'brelk.Sequence(steps, ''Journal'', 42)', 'Option ''Journal'' must be a non-empty char row or string scalar, not 42.'
    'brelk.Sequence(steps, ''ProgressFcn'', ''disp'')', 'Option ''ProgressFcn'' must be a function handle, or [] for none, not ''disp''.'
    'brelk.Sequence(steps, ''Colour'', 1)', ['Unknown option ''Colour''; the options are CoolTo, CoolingRate, Journal, ' ...
                                             'Retries, RetryPause, OnStall, AtEnd, ProgressFcn.']
    'brelk.Sequence(steps, ''Journal'', fullfile(tempname(), ''night.jsonl''))', '^The journal .*night.jsonl cannot be opened for appending: '
  };
  for k = 1:size(refused, 1)
    [identifier, message] = brelk_error(refused{k, 1});
    check(identifier, 'brelk:Sequence:invalidValue', '%s: %s', refused{k, 1}, message);
    if refused{k, 2}(1) == '^'
      check(isempty(regexp(message, refused{k, 2}, 'once')), false, '%s: %s', refused{k, 1}, message);
    else
      check(message, refused{k, 2}, refused{k, 1});
    end
  end
  % Text as MATLAB users give it, and [] for the defaults.
  seq = brelk.Sequence({brelk_string('Ha'), int8(60), uint16(2); 3, 0.5, 1; [], 1, 1}, brelk_string('onstall'), ...
                       brelk_string('Continue'), 'AtEnd', 'CLOSE', 'Retries', [], 'CoolTo', -10.5);
  check({seq.Steps, seq.Done, seq.Remaining, seq.State, seq.Journal}, ...
        {{'Ha', 60, 2; 3, 0.5, 1; [], 1, 1}, [0; 0; 0], [2; 1; 1], 'pending', ''}, 'the plan as kept');
  options = rmfield(seq.Options, 'ProgressFcn');
  check(options, struct('CoolTo', -10.5, 'CoolingRate', 0, 'Retries', 2, 'RetryPause', 30, 'OnStall', 'continue', ...
                        'AtEnd', 'close'), 'the options');

  % Checked against the camera when it runs: nothing is sent.
  mono = brelk_camera('SIM-MONO');
  mono.FilterWheel.Names(1:2) = {'L', 'Ha'};
  colour = brelk_camera('SIM-COLOR');
  brelk_sdk_calls();
  file = [tempname() '.jsonl'];
  cleanup = onCleanup(@() delete(file));
  planned = @(steps) brelk.Sequence(steps, 'Journal', file, 'CoolTo', -10);
  runs = {  % code, identifier, message
    'planned({''L'', 1, 1}).run()', 'brelk:Sequence:invalidValue', 'run needs the brelk.Camera to run on: seq.run(cam).'
    'planned({''L'', 1, 1}).run(42)', 'brelk:Sequence:invalidValue', 'run needs the brelk.Camera to run on: seq.run(cam).'
    'planned({''L'', 1, 1; ''Hb'', 1, 1}).run(mono)', 'brelk:Sequence:invalidValue', ...
      'Step 2: No slot is named ''Hb''; the names are L, Ha, 3, 4, 5, 6, 7.'
    'planned({''L'', 1, 1; 8, 1, 1}).run(mono)', 'brelk:Sequence:invalidValue', ...
      'Step 2: The slot must be a whole number from 1 to 7, not 8.'
    'planned({[], 1, 1; ''L'', 1, 1}).run(colour)', 'brelk:Sequence:invalidValue', ...
      'Step 2 asks for the filter ''L'', but SIM-COLOR has no filter wheel.'
  };
  for k = 1:size(runs, 1)
    [identifier, message] = brelk_error(runs{k, 1});
    check({identifier, message}, runs(k, 2:3), runs{k, 1});
  end
  check({brelk_sdk_calls(), exist(file, 'file')}, {cell(0, 1), 0}, 'nothing sent, no journal written');
  colour.close();
  seq = planned({[], 1, 1});
  check(brelk_error('seq.run(colour)'), 'brelk:Camera:closed', 'a closed camera');
  check(seq.State, 'pending', 'not run');

  % A journal that holds a sequence is resume's.
  seq = brelk.Sequence({'L', 1, 1}, 'Journal', file, 'AtEnd', 'none', 'ProgressFcn', []);
  seq.run(mono);
  [identifier, message] = brelk_error('planned({''L'', 1, 1})');
  check({identifier, message}, {'brelk:Sequence:invalidValue', sprintf(['The journal %s holds a sequence already: ' ...
        'brelk.Sequence.resume(''%s'') goes on with it; give another file for a new one.'], file, file)}, 'a used journal');
end

% Three steps: by name, with no filter, by slot. Cooled at once, each
% filter turned to once, the exposures, the warm-up and the cooler off; a
% line per frame; the frames' records; the journal's own events; and a run
% of a sequence that is done only ends the night.
function a_night_cools_takes_every_frame_and_warms_up
  file = [tempname() '.jsonl'];
  cleanup = onCleanup(@() delete(file));
  cam = brelk_camera('SIM-MONO');
  cam.FilterWheel.Names(1:2) = {'L', 'Ha'};
  seq = brelk.Sequence({'Ha', 60, 2; [], 10, 1; 1, 5, 1}, 'CoolTo', -10, 'Journal', file);
  brelk_sdk_calls();
  text = evalc('seq.run(cam);');
  check(strsplit(strtrim(text), newline)', { ...
    'SIM-MONO frame 1/2 of step 1 (Ha, 60 s): 0 of 4 done, 0:02:15 left'
    'SIM-MONO frame 2/2 of step 1 (Ha, 60 s): 1 of 4 done, 0:01:15 left'
    'SIM-MONO frame 1/1 of step 2 (10 s): 2 of 4 done, 0:00:15 left'
    'SIM-MONO frame 1/1 of step 3 (slot 1, 5 s): 3 of 4 done, 0:00:05 left'}, 'a line per frame');
  check(ramps_collapsed(brelk_sent()), { ...
    'SetBRELKCCDParam(18, -10)'; 'SetBRELKCCDParam(17, 49)'; 'SetBRELKCCDParam(8, 60000000)'; ...
    'ExpBRELKCCDSingleFrame()'; 'ExpBRELKCCDSingleFrame()'; 'SetBRELKCCDParam(8, 10000000)'; ...
    'ExpBRELKCCDSingleFrame()'; 'SetBRELKCCDParam(17, 48)'; 'SetBRELKCCDParam(8, 5000000)'; ...
    'ExpBRELKCCDSingleFrame()'; 'SetBRELKCCDParam(18, -10) ... SetBRELKCCDParam(18, 20)'; ...
    'SetBRELKCCDParam(16, 0)'}, 'cooled, four frames, warmed up, cooler off');
  check({seq.State, seq.Done, seq.Remaining, cam.CoolerState}, {'done', [2; 1; 1], [0; 0; 0], 'off'}, 'done');
  frames = seq.Frames;
  check([{frames.Step}; {frames.Index}; {frames.Result}; {frames.Filter}; {frames.Slot}; {frames.Duration}]', ...
        {1, 1, 'completed', 'Ha', 2, 60; 1, 2, 'completed', 'Ha', 2, 60; 2, 1, 'completed', 'Ha', 2, 10; ...
         3, 1, 'completed', 'L', 1, 5}, 'the frames'' records');
  check(fieldnames(frames)', [fieldnames(cam.Exposures)', {'Step', 'Index'}], 'the camera''s record, the step and index');
  check_near([frames.TemperatureStart], [-10 -10 -10 -10], 0.2, 'at the target');

  events = brelk.readLog(file);
  own = events(strcmp({events.Event}, 'sequence'));
  check({own.What}, {'plan', 'state', 'frame', 'frame', 'frame', 'frame', 'end', 'state'}, 'the sequence''s events');
  plan = own(1);
  check({plan.Steps.Filter; plan.Steps.Seconds; plan.Steps.Count}, {'Ha', [], 1; 60, 10, 5; 2, 1, 1}, 'the plan''s steps');
  check({plan.CoolTo, plan.CoolingRate, plan.Retries, plan.RetryPause, plan.OnStall, plan.AtEnd}, ...
        {-10, 0, 2, 30, 'stop', 'warmup'}, 'the plan''s options');
  check({own(4).Step, own(4).Index, own(4).Attempt, own(4).Filter, own(4).Seconds, own(2).State, own(end).State}, ...
        {1, 2, 1, 'Ha', 60, 'running', 'done'}, 'a frame, as it is tried; the states');
  resumed = brelk.Sequence.resume(file);
  check({resumed.Steps, resumed.Done, resumed.State, resumed.Frames}, {seq.Steps, seq.Done, 'done', seq.Frames}, ...
        'the journal read back');

  text = evalc('seq.run(cam);');
  check({text, brelk_sent(), seq.State}, {'', {'SetBRELKCCDParam(16, 0)'}, 'done'}, 'nothing left but the end');
end

% A session that died in the middle of a frame, as a kill leaves the
% journal: cut after the frame began, with half a line. The frames before
% are done; the frame under way and the rest are taken by the next run,
% recording to the same journal; each frame is completed once in it.
function resume_takes_only_the_frames_not_done
  file = [tempname() '.jsonl'];
  cleanup = onCleanup(@() delete(file));
  cam = brelk_camera('SIM-MONO', 'WarmUpOnClose', false);
  cam.FilterWheel.Names(1:2) = {'L', 'Ha'};
  seq = brelk.Sequence({'L', 60, 2; 'Ha', 30, 2}, 'CoolTo', -10, 'AtEnd', 'none', 'Journal', file, 'ProgressFcn', []);
  seq.run(cam);
  lines = strsplit(fileread(file), newline);
  third = find(~cellfun(@isempty, strfind(lines, '"What":"frame","Step":2,"Index":1')), 1);
  cut = [strjoin(lines(1:third + 3), newline), newline, lines{third + 4}(1:20)];
  write_text(file, cut);
  cam.close();

  brelk_test_reset();                       % the camera as after a power cut
  cam = brelk_camera('SIM-MONO');
  cam.FilterWheel.Names(1:2) = {'L', 'Ha'};
  lastwarn('');
  seq = brelk.Sequence.resume(file, 'ProgressFcn', []);
  [~, identifier] = lastwarn();
  check({identifier, seq.Done, seq.Remaining, seq.State, {seq.Frames.Result}}, ...
        {'brelk:readLog:partialLine', [2; 0], [0; 2], 'stopped', {'completed', 'completed'}}, ...
        'two frames done, the third under way');
  check(rmfield(seq.Options, 'ProgressFcn'), struct('CoolTo', -10, 'CoolingRate', 0, 'Retries', 2, 'RetryPause', 30, ...
        'OnStall', 'stop', 'AtEnd', 'none'), 'the plan''s options');
  brelk_sdk_calls();
  seq.run(cam);
  check(brelk_sent(), {'SetBRELKCCDParam(18, -10)'; 'SetBRELKCCDParam(17, 49)'; ...
        'SetBRELKCCDParam(8, 30000000)'; 'ExpBRELKCCDSingleFrame()'; 'ExpBRELKCCDSingleFrame()'}, ...
        'cooled again, the two frames left');
  check({seq.Done, seq.State, [seq.Frames.Step; seq.Frames.Index]}, {[2; 2], 'done', [1 1 2 2; 1 2 1 2]}, 'done');

  lastwarn('');
  whole = brelk.readLog(file);              % the half line, ended, is followed by whole ones
  [message, identifier] = lastwarn();
  check({identifier, message}, {'brelk:readLog:partialLine', sprintf('%s: line %d does not parse and is skipped.', ...
        file, third + 4)}, 'the half line, on its own');
  own = whole(strcmp({whole.Event}, 'sequence'));
  check({own.What}, {'plan', 'state', 'frame', 'frame', 'frame', 'plan', 'state', 'frame', 'frame', 'end', 'state'}, ...
        'the first run''s events up to the cut, the second''s');
  exposures = whole(strcmp({whole.Event}, 'exposure'));
  check(sum(strcmp({exposures.Result}, 'completed')), 4, 'four exposures completed in the journal');
  again = brelk.Sequence.resume(file);
  check({again.Done, again.State, [again.Frames.Step; again.Frames.Index]}, {[2; 2], 'done', [1 1 2 2; 1 2 1 2]}, ...
        'each frame once');

  % The options of a resumed run are the plan's but those given.
  again = brelk.Sequence.resume(brelk_string(file), 'Retries', 0, 'AtEnd', 'close');
  check({again.Options.Retries, again.Options.AtEnd, again.Options.CoolTo}, {0, 'close', -10}, 'options replaced');
  [identifier, message] = brelk_error('brelk.Sequence.resume(file, ''Journal'', [tempname() ''.jsonl''])');
  check({identifier, message}, {'brelk:Sequence:invalidValue', ['Unknown option ''Journal''; the options are CoolTo, ' ...
        'CoolingRate, Retries, RetryPause, OnStall, AtEnd, ProgressFcn.']}, 'resume records where it reads');
end

function resume_needs_a_journal_with_a_plan
  file = [tempname() '.jsonl'];
  cleanup = onCleanup(@() delete(file));
  cam = brelk_camera('SIM-MONO', 'LogFile', file);
  cam.expose(1);
  missing = [tempname() '.jsonl'];
  refused = {  % code, message
    'brelk.Sequence.resume()', 'resume needs the journal: brelk.Sequence.resume(''night.jsonl'').'
    'brelk.Sequence.resume(42)', 'The journal must be a non-empty char row or string scalar, not 42.'
    'brelk.Sequence.resume(file)', sprintf(['The journal %s holds no sequence plan: brelk.Sequence(steps, ' ...
                                            '''Journal'', file) starts one.'], file)
    'brelk.Sequence.resume(missing)', sprintf('The record file %s cannot be read: No such file or directory', missing)
  };
  for k = 1:size(refused, 1)
    [identifier, message] = brelk_error(refused{k, 1});
    check({identifier, message}, {'brelk:Sequence:invalidValue', refused{k, 2}}, refused{k, 1});
  end
  % A frame the plan does not have: the journal was not written by it.
  journal = [tempname() '.jsonl'];
  cleanup2 = onCleanup(@() delete(journal));
  seq = brelk.Sequence({[], 1, 1}, 'Journal', journal, 'ProgressFcn', []);
  seq.run(cam);
  write_text(journal, strrep(fileread(journal), '"Step":1,"Index":1', '"Step":2,"Index":1'));
  [identifier, message] = brelk_error('brelk.Sequence.resume(journal)');
  check({identifier, message}, {'brelk:Sequence:invalidValue', sprintf(['The journal %s holds a frame 1 of step 2, ' ...
        'which its plan does not have.'], journal)}, 'a frame of no step');
end

% The wheel's first command fails, and the camera stops answering 10 s into
% the second frame, for four calls: a pause of 30 s before each retry; the
% camera opened again as it was; the sensor waited for at its target; the
% lost frame taken again. The journal says why each retry came.
function a_wheel_fault_and_a_dropout_are_ridden_out
  file = [tempname() '.jsonl'];
  cleanup = onCleanup(@() delete(file));
  clock = brelk_test_clock();
  cam = brelk_camera('SIM-MONO', 'Clock', @() clock.read());
  cam.Gain = 30;
  cam.FilterWheel.Names{1} = 'L';
  cam.TemperatureSetpoint = -10;
  brelksim('advance', 600);                 % cold already
  arm = @(info) drop_out_during(clock, info, 2, 10, 6);
  seq = brelk.Sequence({'L', 60, 3}, 'CoolTo', -10, 'Journal', file, 'ProgressFcn', arm);
  brelksim('script', 'SetBRELKCCDParam', 17, -1, 1);
  brelk_sdk_calls();
  seq.run(cam);
  check({seq.State, seq.Done, {seq.Frames.Result}, [seq.Frames.Index]}, ...
        {'done', 3, {'completed', 'failed', 'completed', 'completed'}, [1 2 2 3]}, 'ridden out');
  events = brelk.readLog(file);
  own = events(strcmp({events.Event}, 'sequence'));
  retries = own(strcmp({own.What}, 'retry'));
  check({retries.For; retries.Step; retries.Index; retries.Attempt; retries.Identifier}, ...
        {'frame', 'frame', 'frame'; 1, 1, 1; 1, 2, 2; 2, 2, 3; 'brelk:FilterWheel:sdkFailed', ...
         'brelk:Camera:notConnected', 'brelk:Camera:notConnected'}, 'each retry, and why');
  frames = own(strcmp({own.What}, 'frame'));
  check_near(frames(1).Time - retries(1).Time, 30, 1e-6, 'the wheel tried again after the pause');
  reconnected = events(strcmp({events.Event}, 'state') & strcmp({events.State}, 'reconnected'));
  check(numel(reconnected), 1, 'opened again once');
  sent = brelk_sent();
  from = find(strcmp(sent, 'SetBRELKCCDReadMode(0)'), 1);
  check(sent(from - 2:from + 10), {'CancelBRELKCCDExposingAndReadout()'; 'StopBRELKCCDLive()'; 'SetBRELKCCDReadMode(0)'; ...
        'SetBRELKCCDStreamMode(0)'; 'InitBRELKCCD()'; 'SetBRELKCCDParam(6, 30)'; 'SetBRELKCCDParam(8, 60000000)'; ...
        'SetBRELKCCDParam(18, -10)'; 'SetBRELKCCDParam(17, 48)'; 'ExpBRELKCCDSingleFrame()'; ...
        'ExpBRELKCCDSingleFrame()'; 'SetBRELKCCDParam(18, -10)'; 'SetBRELKCCDParam(18, -9.9000000000000004)'}, ...
        'opened again as it was, the frame again, the next');
  lost = cam.Exposures(2);
  check({lost.Result, lost.Elapsed < 60}, {'failed', true}, 'the frame under way was lost');
end

% A start that always fails, and a camera that never answers again: the
% retries, then the warm-up and the cooler off, then the fault. Where the
% end cannot reach the camera either, it gives up in its retries' time and
% the first fault is raised, the end's as a warning.
function a_fault_that_stays_is_raised_after_the_end
  file = [tempname() '.jsonl'];
  cleanup = onCleanup(@() delete(file));
  cam = brelk_camera('SIM-MONO');
  seq = brelk.Sequence({[], 5, 2}, 'CoolTo', -10, 'Retries', 1, 'RetryPause', 10, 'Journal', file, 'ProgressFcn', []);
  brelksim('script', 'ExpBRELKCCDSingleFrame', -1);
  brelk_sdk_calls();
  [identifier, message] = brelk_error('seq.run(cam)');
  check({identifier, message}, {'brelk:Camera:sdkFailed', ...
        'BRELK_9_BeginSingleExpose(''SIM-MONO''): Begin single expose failed.'}, 'the fault, raised');
  sent = ramps_collapsed(brelk_sent());
  check(sent(end - 3:end), {'ExpBRELKCCDSingleFrame()'; 'ExpBRELKCCDSingleFrame()'; ...
        'SetBRELKCCDParam(18, -10) ... SetBRELKCCDParam(18, 20)'; 'SetBRELKCCDParam(16, 0)'}, ...
        'tried twice, then warmed up and the cooler off');
  check({seq.State, seq.Done, {seq.Frames.Result}, cam.CoolerState}, {'failed', 0, {'failed', 'failed'}, 'off'}, ...
        'failed');
  events = brelk.readLog(file);
  check({events(end).What, events(end).State, events(end).Identifier}, {'state', 'failed', 'brelk:Camera:sdkFailed'}, ...
        'the journal''s last word');
  brelksim('unscript', 'ExpBRELKCCDSingleFrame');
  seq.run(cam);
  check({seq.State, seq.Done}, {'done', 2}, 'run again once the fault is gone');

  % Gone for good: two retries of the frame and two of the warm-up, 30 s apart.
  brelksim('script', 'OpenBRELKCCD', 0);
  seq = brelk.Sequence({[], 5, 1}, 'ProgressFcn', []);
  started = brelksim('now');
  lastwarn('');
  [identifier, message] = brelk_error('seq.run(cam)');
  [warned, warning_id] = lastwarn();
  check({identifier, message, seq.State}, {'brelk:Camera:notConnected', ...
        'BRELK_2_SetReadMode(''SIM-MONO'', 0): Open BRELKCCD failed.', 'failed'}, 'the last fault, raised');
  check({warning_id, warned}, {'brelk:Sequence:endFailed', ...
        'The end of the night failed: BRELK_2_SetReadMode(''SIM-MONO'', 0): Open BRELKCCD failed.'}, 'the end''s, shown');
  check_near(brelksim('now') - started, 120, 1e-6, 'the retries'' pauses, and no more');
  brelksim('unscript', 'OpenBRELKCCD');
  cam.close();
end

% SIM-MONO cools no deeper than -15 C: 'stop' ends the run before any
% frame, after the warm-up; 'continue' takes them at what it reaches.
function a_stall_stops_the_run_or_is_recorded
  file = [tempname() '.jsonl'];
  cleanup = onCleanup(@() delete(file));
  cam = brelk_camera('SIM-MONO');
  seq = brelk.Sequence({[], 5, 2}, 'CoolTo', -30, 'Journal', file, 'ProgressFcn', []);
  [identifier, message] = brelk_error('seq.run(cam)');
  check(identifier, 'brelk:Camera:temperatureNotReached', message);
  check({seq.State, seq.Done, numel(seq.Frames), cam.CoolerState}, {'stopped', 0, 0, 'off'}, 'stopped, warmed up');
  events = brelk.readLog(file);
  own = events(strcmp({events.Event}, 'sequence'));
  check({own.What}, {'plan', 'state', 'stall', 'end', 'state'}, 'no frame');
  check({own(3).Target, own(end).State, own(end).Identifier}, {-30, 'stopped', 'brelk:Camera:temperatureNotReached'}, ...
        'the stall');

  seq = brelk.Sequence.resume(file, 'OnStall', 'continue', 'AtEnd', 'none', 'ProgressFcn', []);
  seq.run(cam);
  check({seq.State, seq.Done}, {'done', 2}, 'taken all the same');
  check_near([seq.Frames.TemperatureStart], [-15 -15], 0.2, 'at what the cooler reached');
  events = brelk.readLog(file);
  own = events(strcmp({events.Event}, 'sequence'));
  check({own(6:end).What}, {'plan', 'state', 'stall', 'frame', 'frame', 'end', 'state'}, 'the stall, then the frames');
end

% Ctrl-C raises no error a catch sees: the end runs from the onCleanup. An
% interrupt 20 s into the second frame aborts it, warms up and switches
% the cooler off; resume takes the frame again.
function ctrl_c_ends_the_night
  file = [tempname() '.jsonl'];
  cleanup = onCleanup(@() delete(file));
  interrupt_at(Inf);
  cam = brelk_camera('SIM-MONO', 'Pause', @(s) interrupt_at(s));
  seq = brelk.Sequence({[], 60, 3}, 'CoolTo', -10, 'Journal', file, 'ProgressFcn', @(info) arm_interrupt(info, 2, 20));
  brelk_sdk_calls();
  check(brelk_error('seq.run(cam)'), 'Octave:interrupt', 'interrupted');
  sent = ramps_collapsed(brelk_sent());
  check(sent(end - 3:end), {'ExpBRELKCCDSingleFrame()'; 'CancelBRELKCCDExposingAndReadout()'; ...
        'SetBRELKCCDParam(18, -10) ... SetBRELKCCDParam(18, 20)'; 'SetBRELKCCDParam(16, 0)'}, ...
        'aborted, warmed up, cooler off');
  check({seq.State, seq.Done, {seq.Frames.Result}}, {'stopped', 1, {'completed', 'aborted'}}, 'stopped');
  resumed = brelk.Sequence.resume(file);
  check({resumed.State, resumed.Done, resumed.Remaining}, {'stopped', 1, 2}, 'resumed');
end

function the_end_as_chosen
  cases = {  % AtEnd, the camera's state and cooler after, the last command sent
    'warmup', 'idle', 'off', 'SetBRELKCCDParam(16, 0)'
    'close', 'closed', 'off', 'ReleaseBRELKCCDResource()'
    'none', 'idle', 'at target', 'ExpBRELKCCDSingleFrame()'};
  for k = 1:size(cases, 1)
    brelk_test_reset();
    cam = brelk_camera('SIM-MONO');
    box = containers.Map();
    seq = brelk.Sequence({[], 1, 1}, 'CoolTo', -10, 'AtEnd', cases{k, 1}, 'ProgressFcn', @(info) run_again(box, cam));
    box('seq') = seq;
    brelk_sdk_calls();
    lastwarn('');
    seq.run(cam);
    remove(box, 'seq');                     % the cycle through the ProgressFcn, broken
    [message, identifier] = lastwarn();
    sent = brelk_sent();
    check({cam.State, cam.CoolerState, sent{end}, seq.State}, [cases(k, 2:4), {'done'}], 'AtEnd %s', cases{k, 1});
    check({identifier, message}, {'brelk:Sequence:progressFcnFailed', ...
          'ProgressFcn raised an error: This sequence is running already.'}, 'a ProgressFcn that fails');
    clear cam seq box;
  end
end

function the_help_names_every_member_option_and_error
  text = brelk_help_text('brelk.Sequence');
  named = [properties('brelk.Sequence')', {'run(cam)', 'resume(journal', 'CoolTo', 'CoolingRate', 'Journal', ...
           'Retries', 'RetryPause', 'OnStall', 'AtEnd', 'ProgressFcn', 'TimeLeft', 'brelk:Sequence:invalidValue', ...
           'brelk:Sequence:invalidOperation', 'brelk:Sequence:progressFcnFailed', 'brelk:Sequence:endFailed', ...
           '''pending''', '''running''', '''done''', '''failed''', '''stopped''', '''warmup''', '''close''', ...
           '''none''', '''stop''', '''continue''', '''plan''', '''frame''', '''retry''', '''stall''', '''end''', ...
           '''state''', 'brelk:Camera:temperatureNotReached', 'notConnected'}];
  unnamed = named(cellfun(@(n) isempty(strfind(text, n)), named));
  check(unnamed, cell(1, 0), 'help brelk.Sequence does not name these');
  missing = setdiff({'run', 'resume'}, methods('brelk.Sequence'));
  check(missing(:)', cell(1, 0), 'brelk.Sequence lacks methods');
  listing = fileread(fullfile(fileparts(which('BRELK_4_InitCamera')), 'Contents.m'));
  check(isempty(strfind(listing, 'brelk.Sequence')) || isempty(strfind(listing, 'brelk.readLog')), false, ...
        'Contents.m lists brelk.Sequence and brelk.readLog');
end

% --- helpers ------------------------------------------------------------------

% The SDK calls with each run of setpoints a ramp sent in a row shown as
% its first and last.
function calls = ramps_collapsed(calls)
  ramp = ~cellfun(@isempty, regexp(calls, '^SetBRELKCCDParam\(18, ', 'once'));
  starts = find(ramp & [true; ~ramp(1:end - 1)]);
  keep = true(size(calls));
  for s = starts'
    last = s;
    while last < numel(calls) && ramp(last + 1)
      last = last + 1;
    end
    if last > s
      calls{s} = sprintf('%s ... %s', calls{s}, calls{last});
      keep(s + 1:last) = false;
    end
  end
  calls = calls(keep);
end

% A ProgressFcn that makes the camera stop answering for calls calls,
% seconds into the first try of frame of the first step.
function drop_out_during(clock, info, frame, seconds, calls)
  if info.Frame == frame && info.Attempt == 1
    clock.when(brelksim('now') + seconds, @() brelksim('script', 'OpenBRELKCCD', 0, calls));
  end
end

% A 'Pause' that raises Ctrl-C's error once the simulator's clock has
% reached the time set by interrupt_at(Inf) ... arm_interrupt.
function interrupt_at(s)
  persistent at
  if isinf(s)
    at = Inf;
    return;
  end
  if isempty(at)
    at = Inf;
  end
  if s < 0
    at = -s;
    return;
  end
  if brelksim('now') >= at
    at = Inf;
    error('Octave:interrupt', 'interrupted');
  end
  brelksim('advance', s);
end

function arm_interrupt(info, frame, seconds)
  if info.Frame == frame
    interrupt_at(-(brelksim('now') + seconds));
  end
end

% A ProgressFcn that runs its sequence again, which is running.
function run_again(box, cam)
  seq = box('seq');
  seq.run(cam);
end

function write_text(file, text)
  id = fopen(file, 'w');
  fprintf(id, '%s', text);
  fclose(id);
end
