classdef Recorder < handle
%RECORDER A camera's record on disk (internal): one JSON object a line.
%   Every event of the camera (a toolbox call, a temperature reading, an
%   exposure, a change of state, an error, a step of a sequence) is
%   appended to each file attached (the camera's 'LogFile', a sequence's
%   journal) as it happens: the file is opened, appended to and closed
%   again before the call that made the event returns (MATLAB has no
%   fflush), so a session killed at any moment leaves complete lines that
%   hold everything up to then, and at most a partial last one.
%
%   Each line has Time (seconds since connecting), UTC (ISO 8601 with
%   milliseconds and a Z) and Event, then the event's own fields.
%   brelk.readLog reads a file back.

  properties (SetAccess = private)
    Files = {}          % the files attached
    StartTime = 0       % the UTC that time 0 stands for, in POSIX seconds
  end

  properties (Access = private)
    Origin = 0          % the raw clock time of time 0
    Failed = false      % a write failed: warned once
  end

  methods
    function obj = Recorder(origin, startTime)
    %RECORDER origin: the raw clock time of time 0; startTime: the UTC it
    %   stands for, in POSIX seconds ([]: now).
      obj.Origin = origin;
      if isempty(startTime)
        startTime = posixNow();
      end
      obj.StartTime = startTime;
    end

    function tf = active(obj)
      tf = ~isempty(obj.Files);
    end

    function added = attach(obj, checks, file)
    %ATTACH Appends to file from now on; one that cannot be opened for
    %   appending raises invalidValue. False when it was attached already.
      added = ~any(strcmp(obj.Files, file));
      if ~added
        return;
      end
      [id, message] = fopen(file, 'a+', 'n', 'UTF-8');
      if id < 0
        checks.raise('invalidValue', 'The record file %s cannot be opened for appending: %s', file, message);
      end
      % A session killed as it wrote left its last line half written: it is
      % ended here, so that the next event is a line of its own.
      if fseek(id, -1, 'eof') == 0 && fread(id, 1, '*char') ~= newline
        fseek(id, 0, 'eof');
        fprintf(id, '\n');
      end
      fclose(id);
      obj.Files{end + 1} = file;
    end

    function detach(obj, file)
      obj.Files(strcmp(obj.Files, file)) = [];
    end

    function write(obj, event, fields, t)
    %WRITE write(event, fields, t): the event, a struct of its fields, at
    %   the raw clock time t.
      if isempty(obj.Files)
        return;
      end
      line = struct('Time', obj.since(t), 'UTC', obj.utc(t), 'Event', event);
      names = fieldnames(fields);
      for k = 1:numel(names)
        line.(names{k}) = fields.(names{k});
      end
      text = [jsonencode(line) newline];
      for k = 1:numel(obj.Files)
        id = fopen(obj.Files{k}, 'a', 'n', 'UTF-8');
        written = -1;
        if id >= 0
          written = fprintf(id, '%s', text);
          written = written * (fclose(id) == 0);
        end
        if written ~= numel(text)
          obj.failed(obj.Files{k});
        end
      end
    end

    function seconds = since(obj, t)
    %SINCE The raw clock time t in seconds since connecting, to the
    %   microsecond: a reading less its origin has digits that are not the
    %   clock's.
      seconds = round((t - obj.Origin) * 1e6) / 1e6;
    end

    function text = utc(obj, t)
    %UTC The raw clock time t as UTC: ISO 8601, milliseconds and a Z.
      text = isoTime(obj.StartTime + t - obj.Origin);
    end
  end

  methods (Access = private)
    % A night is not stopped for its record: a file that cannot be written
    % is said once, as a warning.
    function failed(obj, file)
      if ~obj.Failed
        obj.Failed = true;
        warning('brelk:Camera:recordFailed', 'Writing the record file %s failed; the session goes on.', file);
      end
    end
  end
end

% The computer's time, UTC, in POSIX seconds: Octave has time, MATLAB
% datetime.
function seconds = posixNow()
  if exist('OCTAVE_VERSION', 'builtin') ~= 0
    seconds = time();
  else
    seconds = posixtime(datetime('now', 'TimeZone', 'UTC'));
  end
end

function text = isoTime(posix)
  milliseconds = round(posix * 1000);
  day = floor(milliseconds / 86400000);
  milliseconds = milliseconds - day * 86400000;
  text = sprintf('%sT%02d:%02d:%02d.%03dZ', datestr(719529 + day, 'yyyy-mm-dd'), floor(milliseconds / 3600000), ...
                 mod(floor(milliseconds / 60000), 60), mod(floor(milliseconds / 1000), 60), mod(milliseconds, 1000));
end
