classdef FilterWheel < brelk.internal.Object
%FILTERWHEEL The filter wheel attached to a brelk.Camera.
%   wheel = cam.FilterWheel gives the wheel of a brelk.Camera that has one
%   ([] when none is attached); it is not made on its own. Slots are
%   numbered from 1 and can be given names.
%
%   Example
%     cam = brelk.Camera('SIM-MONO');
%     wheel = cam.FilterWheel;
%     wheel.Names = {'L', 'R', 'G', 'B', 'Ha', 'OIII', 'SII'};
%     wheel.moveTo('Ha');                  % by name, and wait
%     wheel.moveTo(2, 'Wait', false);      % by slot, and return at once
%     wheel.waitForMove();
%     wheel.Position                       % 2
%
%   Properties:
%     SlotCount   the number of slots (read only)
%     Names       SlotCount unique, non-empty names, one per slot, as a
%                 cell array of char rows; set it from a cell array of
%                 char rows or string scalars, or a string array; default
%                 {'1', '2', ..., 'N'}
%     Position    the slot the wheel is at, read from the camera; NaN while
%                 it moves
%     IsMoving    true while the wheel moves, read from the camera
%
%   Methods:
%     moveTo(slotOrName, Name, Value, ...)
%         Turns the wheel to a slot, given by number (1 to SlotCount) or by
%         name (char or string). It sends BRELK_8_SetCFWTarget the digit
%         character of the slot minus one ('0' for slot 1). A move under
%         way is waited for first, since the wheel takes no new target
%         while it turns. Options ([] for a default):
%           'Wait'         true (default): wait until the wheel is there;
%                          false: return at once (see waitForMove)
%           'Timeout'      seconds before brelk:FilterWheel:timeout
%                          (default 10 s plus 2 s per slot step, the
%                          shorter way round)
%           'ProgressFcn'  for this call (see help brelk.Camera); []: none
%         It refuses to move while the camera's exposure runs
%         (brelk:FilterWheel:invalidOperation): a filter that moves spoils
%         the frame. Live view does not stop it. The camera in turn refuses
%         to start an exposure while the wheel turns.
%     waitForMove(timeout)
%         Waits until the wheel has reached the slot of the last moveTo,
%         or, with no move pending, until it stands still. timeout in
%         seconds (default, or []: the last moveTo's, or 10 s plus 2 s per
%         slot).
%
%   Errors are MException objects with the identifier
%   brelk:FilterWheel:<mnemonic>, as for brelk.Camera; where a function
%   failed, the message quotes the line it printed:
%     notConnected      the camera did not open
%     sdkFailed         a function returned -1 otherwise (a refused move)
%     notSupported      the camera reports no filter wheel control
%     invalidValue      a slot out of range, an unknown or ambiguous name,
%                       a bad option or Names; nothing is sent
%     invalidOperation  a move while the camera's exposure runs; a clock
%                       that fails (see brelk.Camera)
%     timeout           the wheel did not arrive in time
%     closed            its camera was closed
%
%   See also brelk.Camera.

  properties (SetAccess = private)
    SlotCount = 0
  end

  properties (Dependent)
    Names
  end

  properties (Dependent, SetAccess = private)
    Position
    IsMoving
  end


  properties (Access = private)
    Checks = []
  end

  properties (Access = private, Transient)
    Conn = []
    Waiter = []
    Exposure = []        % the camera's, so that no move spoils a frame
    Between = []         % the camera's readings between the polls of a wait
  end

  properties (Access = private)
    SlotNames = {}
    Target = []          % the slot of the last move, until the wheel is there
    MoveTimeout = []
    Closed = false       % its camera was closed
  end

  methods
    function obj = FilterWheel(checks, conn, waiter, exposure, between)
    %FILTERWHEEL Made by brelk.Camera with its parts; reads the slot count
    %   through the camera's checks, as a part of connecting the camera.
      obj.Checks = brelk.internal.Checks('FilterWheel');
      if nargin < 5 || ~isa(conn, 'brelk.internal.Connection')
        obj.Checks.raise('invalidOperation', ...
                         'A brelk.FilterWheel comes with its camera: use the FilterWheel of a brelk.Camera.');
      end
      obj.Checks.Record = conn;
      obj.Conn = conn;
      obj.Waiter = waiter;
      obj.Exposure = exposure;
      obj.Between = between;
      slots = double(conn.require(checks, 'BRELK_8_GetCFWSlotsNum'));
      if slots < 1
        checks.raise('sdkFailed', '%s: the filter wheel reports %d slots.', conn.ID, slots);
      end
      obj.SlotCount = slots;
      obj.SlotNames = arrayfun(@(k) sprintf('%d', k), 1:slots, 'UniformOutput', false);
    end

    function value = get.Names(obj)
      value = obj.SlotNames;
    end

    function set.Names(obj, names)
      obj.ensureOpen();
      obj.SlotNames = obj.Checks.texts('Names', names, obj.SlotCount);
    end

    function value = get.Position(obj)
      obj.ensureOpen();
      value = obj.position();
    end

    function value = get.IsMoving(obj)
      obj.ensureOpen();
      value = isnan(obj.position());
    end

    function moveTo(obj, slotOrName, varargin)
    %MOVETO Turn the wheel to a slot, by number or by name, and wait until it is there.
    %   wheel.moveTo(slot) turns the wheel to the slot numbered slot (1 to
    %   SlotCount); wheel.moveTo(name) to the slot with that name in Names,
    %   matched exactly, else whatever its case (a name that matches
    %   several slots only then is refused as ambiguous).
    %   BRELK_8_SetCFWTarget is sent the digit of the slot less one ('0'
    %   for slot 1, as the simulated wheel counts).
    %   A move under way is waited for first, with its own timeout: the
    %   wheel takes no new target while it turns.
    %   wheel.moveTo(slotOrName, Name, Value, ...) takes these options ([]
    %   for a default):
    %     'Wait'         true (default); false returns once the wheel has
    %                    its target (see waitForMove)
    %     'Timeout'      seconds before brelk:FilterWheel:timeout (default
    %                    10 s plus 2 s per slot step, the shorter way round)
    %     'ProgressFcn'  for this call (see help brelk.Camera); [] for none
    %   While the camera's exposure runs it raises
    %   brelk:FilterWheel:invalidOperation and sends nothing.
      obj.ensureOpen();
      checks = obj.Checks;
      if nargin < 2
        checks.raise('invalidValue', 'moveTo needs a slot number or name.');
      end
      slot = obj.slotOf(slotOrName);
      opts = checks.options({
        'Wait',        true, 'flag'
        'Timeout',     [],   'seconds'
        'ProgressFcn', obj.Waiter.ProgressFcn, 'progress'}, varargin);
      if strcmp(obj.Exposure.at(obj.Conn.now(checks)), 'exposing')
        checks.raise('invalidOperation', ['%s is exposing: the filter wheel moves after the exposure ' ...
                                          '(waitForExposure or abortExposure).'], obj.Conn.ID);
      end
      from = obj.position();
      if isnan(from)
        obj.waitForMove();
        from = obj.position();
      end
      forward = mod(slot - from, obj.SlotCount);
      timeout = opts.Timeout;
      if isempty(timeout)
        timeout = 10 + 2 * min(forward, obj.SlotCount - forward);
      end
      obj.Conn.require(checks, 'BRELK_8_SetCFWTarget', char('0' + slot - 1));
      obj.Target = slot;
      obj.MoveTimeout = timeout;
      obj.Conn.note('state', struct('Part', 'wheel', 'State', 'moving', 'Slot', slot, 'Filter', obj.SlotNames{slot}));
      if opts.Wait
        obj.wait(timeout, opts.ProgressFcn);
      end
    end

    function waitForMove(obj, timeout)
    %WAITFORMOVE Wait until the wheel is at the slot of the last moveTo.
    %   wheel.waitForMove() waits for the move the last moveTo started, or,
    %   with none pending, until the wheel stands still.
    %   wheel.waitForMove(timeout) gives up after timeout seconds with
    %   brelk:FilterWheel:timeout (default, or []: the last moveTo's
    %   timeout, or 10 s plus 2 s per slot).
      obj.ensureOpen();
      default = obj.MoveTimeout;
      if isempty(default)
        default = 10 + 2 * obj.SlotCount;
      end
      if nargin < 2
        timeout = [];
      end
      timeout = obj.Checks.argument('The timeout', timeout, 'seconds', default);
      obj.wait(timeout, obj.Waiter.ProgressFcn);
    end

    function [slot, name] = where(obj, checks)
    %WHERE The slot the wheel is at and its name (NaN and '' while it
    %   moves), read with the Checks of the component that asks.
      slot = obj.position(checks);
      name = '';
      if ~isnan(slot)
        name = obj.SlotNames{slot};
        obj.Target = [];
        obj.MoveTimeout = [];
      end
    end

    function detach(obj)
    %DETACH Its camera closed: every later use raises closed.
      obj.Closed = true;
    end


    function disp(obj)
      % No camera calls here: displaying an object should not change its logs.
      if ~isscalar(obj)
        fprintf('  %s brelk.FilterWheel array\n', obj.sizeText());
        return;
      end
      if isempty(obj.Conn)
        fprintf('  brelk.FilterWheel (not connected)\n');
        return;
      end
      fprintf('  brelk.FilterWheel of %s: %d slots, named %s\n', obj.Conn.ID, obj.SlotCount, ...
              strjoin(obj.SlotNames, ', '));
    end
  end


  methods (Hidden)
    function slot = slotFor(obj, slotOrName)
    %SLOTFOR The slot moveTo would turn to, without moving (a sequence's plan).
      slot = obj.slotOf(slotOrName);
    end
  end

  methods (Access = private)
    function ensureOpen(obj)
      if isempty(obj.Conn)
        obj.Checks.raise('notConnected', ...
                         'This brelk.FilterWheel was loaded from a file and reaches no camera: brelk.Camera(id) connects.');
      end
      if obj.Closed
        obj.Checks.raise('closed', '%s has been closed.', obj.Conn.ID);
      end
    end

    % The slot from the status the camera gives: the digit '0' + slot - 1 at
    % rest, 'N' while moving.
    function slot = position(obj, checks)
      if nargin < 2
        checks = obj.Checks;
      end
      status = obj.Conn.require(checks, 'BRELK_8_GetCFWStatus');
      slot = double(status) - double('0') + 1;
      if status == 'N'
        slot = NaN;
      elseif slot < 1 || slot > obj.SlotCount
        checks.raise('sdkFailed', '%s: the filter wheel status %d is neither a slot nor moving (''N'').', ...
                     obj.Conn.ID, status);
      end
    end

    function slot = slotOf(obj, value)
      checks = obj.Checks;
      if ischar(value) || isa(value, 'string')
        name = checks.text('The slot name', value);
        slot = find(strcmp(obj.SlotNames, name));
        if isempty(slot)
          slot = find(strcmpi(obj.SlotNames, name));
        end
        if numel(slot) > 1
          checks.raise('invalidValue', 'The name ''%s'' is ambiguous: it matches %s whatever their case.', ...
                       name, strjoin(strcat('''', obj.SlotNames(slot), ''''), ' and '));
        elseif isempty(slot)
          checks.raise('invalidValue', 'No slot is named ''%s''; the names are %s.', name, ...
                       strjoin(obj.SlotNames, ', '));
        end
      else
        slot = checks.number('The slot', value, 'whole', [1 obj.SlotCount]);
      end
    end

    function wait(obj, timeout, progress)
      obj.Waiter.wait(obj.Checks, 'wheel', @(s, t) obj.moveStep(s, t), [], timeout, progress, obj.Between);
      obj.Target = [];
      obj.MoveTimeout = [];
    end

    function [done, s, interval, info, pending] = moveStep(obj, s, ~)
      position = obj.position();
      if isempty(obj.Target)
        done = ~isnan(position);
        target = position;
      else
        done = position == obj.Target;
        target = obj.Target;
      end
      info = struct('Position', position, 'Target', target);
      interval = 0.25;
      if nargout > 4 && isnan(position)
        pending = 'the filter wheel is still moving';
      elseif nargout > 4
        pending = sprintf('the filter wheel is at slot %d, not %d', position, target);
      end
    end
  end
end
