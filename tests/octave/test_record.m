function tests = test_record
% The night's record of a brelk.Camera: every exposure in cam.Exposures,
% temperature readings in every wait, and every event appended to the
% 'LogFile' as it happens, read back by brelk.readLog. SIM-MONO on the
% manual clock, whose time 0 stands for 21:00 UTC.
  tests = {@every_exposure_has_its_record, @every_wait_reads_the_temperature, ...
           @the_log_file_holds_every_event_as_it_happens, @a_partial_last_line_is_skipped};
end

function every_exposure_has_its_record
  origin = brelksim('now');                 % when it connects: time 0
  cam = brelk_camera('SIM-MONO', 'StartTime', '2026-12-10T21:00:00Z');
  cam.FilterWheel.Names = {'L', 'R', 'G', 'B', 'Ha', 'OIII', 'SII'};
  cam.Gain = 30;
  cam.ROI = [0 0 100 100];
  cam.coolTo(-10, 'Rate', 10);             % 260 s and the settle time
  cam.FilterWheel.moveTo('Ha');            % 4 s
  started = brelksim('now') - origin;
  cam.expose(60);
  brelksim('advance', 5);
  cam.startExposure(20);
  brelksim('advance', 5);
  cam.abortExposure();                      % a quarter through
  brelksim('script', 'ExpBRELKCCDSingleFrame', -1);
  check(brelk_error('cam.expose(2.0000004)'), 'brelk:Camera:sdkFailed', 'the start refused');
  records = cam.Exposures;
  check({size(records), fieldnames(records)'}, {[3 1], {'Start', 'Time', 'Duration', 'Elapsed', 'Result', ...
        'Filter', 'Slot', 'TemperatureStart', 'TemperatureEnd', 'Setpoint', 'CoolerPower', 'Gain', 'Offset', 'ROI'}}, ...
        'one record per exposure started');
  utc = @(t) sprintf('2026-12-10T21:%02d:%06.3fZ', floor(t / 60), mod(t, 60));
  held = 100 * 30 / 35;                     % the power that holds -10 C
  check_near(records(1), struct('Start', utc(started), 'Time', started, 'Duration', 60, 'Elapsed', 60, ...
             'Result', 'completed', 'Filter', 'Ha', 'Slot', 5, 'TemperatureStart', -10, 'TemperatureEnd', -10, ...
             'Setpoint', -10, 'CoolerPower', held, 'Gain', 30, 'Offset', [], 'ROI', [0 0 100 100]), 1e-6, 'completed');
  check_near({records(2).Time, records(2).Duration, records(2).Elapsed, records(2).Result}, ...
             {started + 65, 20, 5, 'aborted'}, 1e-9, 'aborted');
  check_near({records(3).Time, records(3).Duration, records(3).Elapsed, records(3).Result, records(3).TemperatureEnd}, ...
             {started + 70, 2.0000004, 0, 'failed', NaN}, 1e-9, 'failed');
end

% A 95 s exposure, on the default interval of 30 s: readings as it starts,
% at 30, 60 and 90 s, and as it ends.
function every_wait_reads_the_temperature
  origin = brelksim('now');
  cam = brelk_camera('SIM-MONO');
  start = brelksim('now') - origin;
  cam.expose(95);
  readings = cam.TemperatureLog;
  check_near(readings.Time - start, [0; 30; 60; 90; 95], 2e-6, 'the readings of an exposure');
  slow = brelk_camera('SIM-COLOR', 'TemperatureInterval', 10);
  slow.expose(25);
  check_near(diff(slow.TemperatureLog.Time)', [10 10 5], 1e-9, 'every 10 s');
end

function the_log_file_holds_every_event_as_it_happens
  file = [tempname() '.jsonl'];
  cleanup = onCleanup(@() delete(file));
  cam = brelk_camera('SIM-MONO', 'LogFile', file, 'StartTime', '2026-12-10T21:00:00.5Z');
  cam.Gain = 12;
  events = brelk.readLog(file);
  check({events(end).Event, events(end).Function, events(end).Inputs, events(end).Status, events(end).Text, ...
         events(end).UTC}, {'call', 'BRELK_6_SetGain', 12, 0, sprintf('Set camera gain successfully.\n'), ...
        '2026-12-10T21:00:00.500Z'}, 'on disk as the setter returned');
  check(brelk_error('cam.Gain = -1e9'), 'brelk:Camera:sdkFailed', 'refused');
  cam.TemperatureSetpoint = -5;
  brelksim('advance', 10.25);
  cam.expose(1);
  cam.close();
  events = brelk.readLog(file);
  text = fileread(file);
  check(numel(events), numel(strfind(text, newline)), 'one event per line');
  calls = events(strcmp({events.Event}, 'call'));
  check({calls.Function}', {cam.Log.Function}', 'every call, as in cam.Log');
  kinds = {events.Event};
  check(unique(kinds), {'call', 'error', 'exposure', 'state', 'temperature'}, 'the kinds of event');
  check({events(end).Event, events(end).Part, events(end).State}, {'state', 'camera', 'closed'}, 'closed last');
  failure = events(strcmp({events.Event}, 'error'));
  check({failure.Identifier, failure.Message}, {'brelk:Camera:sdkFailed', ...
        'BRELK_6_SetGain(''SIM-MONO'', -1000000000): Set camera gain failed.'}, 'the error');
  cooler = events(strcmp({events.Event}, 'state') & strcmp({events.Part}, 'cooler'));
  check({cooler.State; cooler.Target}, {'regulating', 'warming', 'off'; -5, 20, []}, 'the cooler''s changes');
  exposure = events(strcmp({events.Event}, 'exposure'));
  record = cam.Exposures;
  names = {'Start', 'Time', 'Duration', 'Elapsed', 'Result', 'Filter', 'Slot', 'TemperatureStart', ...
           'TemperatureEnd', 'Setpoint', 'CoolerPower', 'Gain'};
  check_near(cellfun(@(n) exposure.(n), names, 'UniformOutput', false), ...
             cellfun(@(n) record.(n), names, 'UniformOutput', false), 1e-6, 'the exposure as in cam.Exposures');
  check({exposure.Offset, exposure.ROI}, {[], []}, 'never set');
  check({exposure.UTC, exposure.Start}, {'2026-12-10T21:00:11.750Z', '2026-12-10T21:00:10.750Z'}, 'its times');
  [identifier, message] = brelk_error('brelk_camera(''SIM-COLOR'', ''LogFile'', fullfile(tempname(), ''no.jsonl''))');
  check(identifier, 'brelk:Camera:invalidValue', message);
end

% A session killed as it wrote leaves a line that is not whole.
function a_partial_last_line_is_skipped
  file = [tempname() '.jsonl'];
  cleanup = onCleanup(@() delete(file));
  cam = brelk_camera('SIM-MONO', 'LogFile', file);
  cam.Gain = 3;
  cam.close();
  whole = brelk.readLog(file);
  id = fopen(file, 'a');
  fprintf(id, '{"Time":12.5,"UTC":"2026-12-10T21:0');
  fclose(id);
  lastwarn('');
  events = brelk.readLog(file);
  [message, identifier] = lastwarn();
  check({numel(events), identifier}, {numel(whole), 'brelk:readLog:partialLine'}, 'skipped: %s', message);
  check(events, whole, 'the rest as it was');
  % The next session's events begin on a line of their own.
  again = brelk_camera('SIM-MONO', 'LogFile', file);
  again.close();
  lastwarn('');
  events = brelk.readLog(file);
  [message, identifier] = lastwarn();
  check({identifier, message}, {'brelk:readLog:partialLine', ...
        sprintf('%s: line %d does not parse and is skipped.', file, numel(whole) + 1)}, 'the half line, ended');
  check({events(end).Part, events(end).State, numel(events) > numel(whole) + 10}, {'camera', 'closed', true}, ...
        'the second session whole');
end
