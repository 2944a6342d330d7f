classdef Connection < handle
%CONNECTION One camera's connection (internal): the calls of its toolbox functions.
%   A Connection calls the BRELK_* functions for one camera ID, quietly or
%   shown (Verbose), keeps the text each one printed, stamps each call with
%   the camera's clock and keeps the call log, in memory and in the files
%   its Recorder writes (note passes the other parts' events on to them).
%   require turns a failed call into the error its printed line tells. A
%   Camera and its FilterWheel share one; they hand it their Checks, so that
%   its errors name the component that called.
%
%   The clock is read here, and checked at every reading: one that fails,
%   gives anything but a finite real scalar, or goes back, raises
%   invalidOperation, so that a broken clock ends a wait (brelk.internal.
%   Waiter reads it through now) instead of making it endless. Times are the
%   clock's own readings ("raw"); since connecting is a raw time less Origin.
%
%   It also keeps the registry of the open cameras, shared by all of them:
%   BRELK_11_CloseCamera releases the SDK, which closes every camera, so a
%   Camera must know whether others are open; and the brelk.Camera objects
%   open on one ID share that camera's cooler.

  properties
    Verbose = false
  end

  properties (SetAccess = private)
    ID = ''
    Origin = 0          % the clock's reading when the camera was connected
    Last = -Inf         % its latest reading
    Time = NaN          % its reading at the last call
    Recorder            % the record on disk
  end

  properties (Access = private)
    Read                % the clock: the Camera's 'Clock' option
    Recording = false   % the Recorder has a file to write
    % The call log, in blocks of BlockSize calls: a block is taken out of its
    % property while it is written, since an element written in place copies
    % the whole array in Octave. The last LogLimit calls are kept.
    Block = {}
    Filled = 0
    Blocks = {}
  end

  properties (Constant)
    BlockSize = 1024
    LogLimit = 100000
  end

  methods
    function obj = Connection(checks, id, read, verbose, startTime)
    %CONNECTION Reads the clock read ([]: the computer's) once: a clock that
    %   fails or gives no finite real number is refused with invalidValue.
    %   startTime: the UTC that time 0 stands for, POSIX seconds ([]: now).
      obj.ID = id;
      obj.Verbose = verbose;
      if isempty(read)
        read = defaultClock();
      end
      obj.Read = read;
      try
        raw = read();
      catch err
        checks.raise('invalidValue', 'Option ''Clock'' must return the time in seconds; it raised: %s', err.message);
      end
      if ~(isnumeric(raw) && isscalar(raw) && isreal(raw) && ~issparse(raw) && raw - raw == 0)
        checks.raise('invalidValue', 'Option ''Clock'' must return a finite real scalar, not %s.', ...
                     checks.describe(raw));
      end
      obj.Origin = double(raw);
      obj.Last = obj.Origin;
      obj.Recorder = brelk.internal.Recorder(obj.Origin, startTime);
      obj.Block = cell(1, obj.BlockSize);
    end

    function seconds = since(obj, t)
    %SINCE The raw time t in seconds since connecting, as the record on
    %   disk has it (see Recorder.since).
      seconds = obj.Recorder.since(t);
    end

    function t = now(obj, checks)
    %NOW The clock's reading now: raw, checked (raises invalidOperation).
      try
        t = obj.Read();
      catch err
        checks.raise('invalidOperation', '%s: the clock raised an error: %s', obj.ID, err.message);
      end
      if ~(isnumeric(t) && isscalar(t) && isreal(t) && ~issparse(t) && t - t == 0)
        checks.raise('invalidOperation', '%s: the clock read %s, not a finite real scalar.', obj.ID, ...
                     checks.describe(t));
      end
      t = double(t);
      if t < obj.Last
        checks.raise('invalidOperation', '%s: the clock went back from %.17g s to %.17g s.', obj.ID, obj.Last, t);
      end
      obj.Last = t;
    end

    function added = attach(obj, checks, file)
    %ATTACH Records every event in file too, from now on; false when it
    %   was recorded to already.
      added = obj.Recorder.attach(checks, file);
      obj.Recording = true;
    end

    function detach(obj, file)
      obj.Recorder.detach(file);
      obj.Recording = obj.Recorder.active();
    end

    function note(obj, event, fields, t)
    %NOTE Records an event of the camera's parts: note(event, fields[, t]),
    %   at the raw time t (default: the clock's latest reading).
      if obj.Recording
        if nargin < 4
          t = obj.Last;
        end
        obj.Recorder.write(event, fields, t);
      end
    end

    function [status, text, varargout] = call(obj, checks, name, varargin)
    %CALL [status, text, outputs...] = call(checks, name, inputs...) calls the
    %   toolbox function name with the camera ID and the inputs, capturing
    %   what it prints (shown too when Verbose), and logs the call.
      t = obj.now(checks);
      id = obj.ID;
      status = int32(-1);
      failure = [];
      % The error is caught inside evalc so that the lines printed before it
      % are kept. A toolbox function fails by printing and returning -1: an
      % error here is the host's (a function not on the path).
      if nargout <= 2
        text = evalc('try, status = feval(name, id, varargin{:}); catch failure, end');
      else
        varargout = cell(1, nargout - 2);
        text = evalc('try, [status, varargout{:}] = feval(name, id, varargin{:}); catch failure, end');
      end
      if ~isempty(failure)
        text = sprintf('%s%s\n', text, failure.message);
        status = int32(-1);
      end
      if obj.Verbose
        fprintf('%s', text);
      end
      obj.Time = t;
      block = obj.Block;
      obj.Block = [];
      n = obj.Filled + 1;
      block{n} = {t, name, varargin, status, text};
      if n == obj.BlockSize
        obj.full(block);
        block = cell(1, obj.BlockSize);
        n = 0;
      end
      obj.Filled = n;
      obj.Block = block;
      if obj.Recording
        obj.Recorder.write('call', struct('Function', name, 'Inputs', {varargin}, 'Status', status, 'Text', text), t);
      end
    end

    function varargout = require(obj, checks, name, varargin)
    %REQUIRE outputs = require(checks, name, inputs...) calls as call does and
    %   raises the error the function's printed lines tell when its status
    %   is not 0 (see Checks.failed).
      [status, text, varargout{1:nargout}] = obj.call(checks, name, varargin{:});
      if status ~= 0
        checks.failed(obj.ID, name, varargin, text);
      end
    end

    function entries = callLog(obj)
    %CALLLOG The last LogLimit calls, oldest first, as a column struct array
    %   with Time in seconds since connecting.
      kept = [obj.Blocks, {obj.Block(1:obj.Filled)}];
      kept = [kept{:}];
      kept = kept(max(1, end - obj.LogLimit + 1):end);
      fields = {'Time', 'Function', 'Inputs', 'Status', 'Text'};
      if isempty(kept)
        entries = cell2struct(cell(5, 0), fields, 1);
        return;
      end
      kept = vertcat(kept{:});
      kept(:, 1) = num2cell([kept{:, 1}] - obj.Origin);
      entries = cell2struct(kept, fields, 2);
    end

    % --- the registry of open cameras ---------------------------------------

    function cooler = join(obj, cooler)
    %JOIN Counts one more Camera open on this ID, and returns the cooler of
    %   that camera: the one given when it is the first, else the first's.
      cooler = registry('join', obj.ID, cooler);
    end

    function leave(obj)
    %LEAVE Counts one Camera on this ID out.
      registry('leave', obj.ID, []);
    end

    function [same, others] = others(obj)
    %OTHERS How many other Cameras are open on this ID and on other IDs,
    %   besides the one that asks (which is counted in).
      [same, others] = registry('count', obj.ID, []);
    end
  end

  methods (Access = private)
    % A block of the call log filled: kept, and the oldest let go once the
    % log holds LogLimit calls without it.
    function full(obj, block)
      obj.Blocks{end + 1} = block;
      if (numel(obj.Blocks) - 1) * obj.BlockSize >= obj.LogLimit
        obj.Blocks(1) = [];
      end
    end
  end
end

% Without a 'Clock', every camera reads the computer's clock from one start,
% so that the cameras opened at different times share their times.
function read = defaultClock()
  persistent started
  if isempty(started)
    started = tic;
  end
  read = @() toc(started);
end

% The open Cameras, one entry per ID: how many objects hold it and its
% cooler, shared by them. A local function, so that every Connection of the
% session sees the same one.
function [a, b] = registry(action, id, cooler)
  persistent ids counts coolers
  if isempty(ids)
    ids = {};
    counts = [];
    coolers = {};
  end
  k = find(strcmp(ids, id), 1);
  a = [];
  b = [];
  switch action
    case 'join'
      if isempty(k)
        ids{end + 1} = id;
        counts(end + 1) = 1;
        coolers{end + 1} = cooler;
      else
        counts(k) = counts(k) + 1;
        cooler = coolers{k};
      end
      a = cooler;
    case 'leave'
      if ~isempty(k)
        counts(k) = counts(k) - 1;
        if counts(k) == 0
          ids(k) = [];
          counts(k) = [];
          coolers(k) = [];
        end
      end
    case 'count'
      if isempty(k)
        a = 0;
        b = sum(counts);
      else
        a = counts(k) - 1;
        b = sum(counts) - counts(k);
      end
  end
end
