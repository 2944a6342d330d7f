classdef FilterWheel < handle
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
%     Names       a cell array of SlotCount unique, non-empty char rows,
%                 one name per slot; default {'1', '2', ..., 'N'}; settable
%     Position    the slot the wheel is at, read from the camera; NaN while
%                 it moves
%     IsMoving    true while the wheel moves, read from the camera
%
%   Methods:
%     moveTo(slotOrName, Name, Value, ...)
%         Turns the wheel to a slot, given by number (1 to SlotCount) or by
%         name. It sends BRELK_8_SetCFWTarget the digit character of the
%         slot minus one ('0' for slot 1). A move under way is waited for
%         first, since the wheel takes no new target while it turns. Options:
%           'Wait'         true (default): wait until the wheel is there;
%                          false: return at once (see waitForMove)
%           'Timeout'      seconds before brelk:FilterWheel:timeout
%                          (default 10 s plus 2 s per slot step, the
%                          shorter way round)
%           'ProgressFcn'  for this call (see help brelk.Camera)
%         It refuses to move while the camera's exposure runs
%         (brelk:FilterWheel:invalidOperation): a filter that moves spoils
%         the frame. Live view does not stop it.
%     waitForMove(timeout)
%         Waits until the wheel has reached the slot of the last moveTo,
%         or, with no move pending, until it stands still. timeout in
%         seconds (default: the last moveTo's, or 10 s plus 2 s per slot).
%
%   Errors are MException objects with the identifier
%   brelk:FilterWheel:<mnemonic>, as for brelk.Camera; where a function
%   failed, the message quotes the line it printed:
%     notConnected      the camera did not open
%     sdkFailed         a function returned -1 otherwise (a refused move)
%     notSupported      the camera reports no filter wheel control
%     invalidValue      a slot out of range, an unknown name, a bad option
%                       or Names; nothing is sent
%     invalidOperation  a move while the camera's exposure runs
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
    Link = []
    SlotNames = {}
    Target = []          % the slot of the last move, until the wheel is there
    MoveTimeout = []
  end

  methods
    function obj = FilterWheel(link)
      if nargin < 1 || ~isa(link, 'brelk.internal.Link')
        link = brelk.internal.Link();
        link.raise('FilterWheel', 'invalidOperation', ...
                   'A brelk.FilterWheel comes with its camera: use the FilterWheel of a brelk.Camera.');
      end
      obj.Link = link;
      slots = double(link.require('FilterWheel', 'BRELK_8_GetCFWSlotsNum'));
      if slots < 1
        link.raise('FilterWheel', 'sdkFailed', '%s: the filter wheel reports %d slots.', link.ID, slots);
      end
      obj.SlotCount = slots;
      obj.SlotNames = arrayfun(@(k) sprintf('%d', k), 1:slots, 'UniformOutput', false);
    end

    function value = get.Names(obj)
      value = obj.SlotNames;
    end

    function set.Names(obj, names)
      ok = iscell(names) && numel(names) == obj.SlotCount && iscellstr(names);
      if ok
        names = reshape(names, 1, []);
        ok = all(cellfun(@(n) size(n, 1) == 1 && ~isempty(n), names)) ...
             && numel(unique(names)) == numel(names);
      end
      if ~ok
        obj.Link.raise('FilterWheel', 'invalidValue', ...
                       'Names must be a cell array of %d unique, non-empty char rows.', obj.SlotCount);
      end
      obj.SlotNames = names;
    end

    function value = get.Position(obj)
      obj.Link.ensureOpen('FilterWheel');
      value = obj.position();
    end

    function value = get.IsMoving(obj)
      obj.Link.ensureOpen('FilterWheel');
      value = isnan(obj.position());
    end

    function moveTo(obj, slotOrName, varargin)
    %MOVETO Turn the wheel to a slot, by number or by name, and wait until it is there.
    %   wheel.moveTo(slot) turns the wheel to the slot numbered slot (1 to
    %   SlotCount); wheel.moveTo(name) to the slot with that name in Names
    %   (matched exactly, else whatever its case). BRELK_8_SetCFWTarget is
    %   sent the digit of the slot less one ('0' for slot 1, as the
    %   simulated wheel counts).
    %   A move under way is waited for first, with its own timeout: the
    %   wheel takes no new target while it turns.
    %   wheel.moveTo(slotOrName, Name, Value, ...) takes these options:
    %     'Wait'         true (default); false returns once the wheel has
    %                    its target (see waitForMove)
    %     'Timeout'      seconds before brelk:FilterWheel:timeout (default
    %                    10 s plus 2 s per slot step, the shorter way round)
    %     'ProgressFcn'  for this call (see help brelk.Camera)
    %   While the camera's exposure runs it raises
    %   brelk:FilterWheel:invalidOperation and sends nothing.
      obj.Link.ensureOpen('FilterWheel');
      if nargin < 2
        obj.Link.raise('FilterWheel', 'invalidValue', 'moveTo needs a slot number or name.');
      end
      slot = obj.slotOf(slotOrName);
      opts = obj.Link.options('FilterWheel', {
        'Wait',        true, 'logical'
        'Timeout',     [],   'seconds'
        'ProgressFcn', obj.Link.ProgressFcn, 'progress'}, varargin);
      if strcmp(obj.Link.exposureState(), 'exposing')
        obj.Link.raise('FilterWheel', 'invalidOperation', ...
                       ['%s is exposing: the filter wheel moves after the exposure ' ...
                        '(waitForExposure or abortExposure).'], obj.Link.ID);
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
      obj.Link.require('FilterWheel', 'BRELK_8_SetCFWTarget', char('0' + slot - 1));
      obj.Target = slot;
      obj.MoveTimeout = timeout;
      if opts.Wait
        obj.wait(timeout, opts.ProgressFcn);
      end
    end

    function waitForMove(obj, timeout)
    %WAITFORMOVE Wait until the wheel is at the slot of the last moveTo.
    %   wheel.waitForMove() waits for the move the last moveTo started, or,
    %   with none pending, until the wheel stands still.
    %   wheel.waitForMove(timeout) gives up after timeout seconds with
    %   brelk:FilterWheel:timeout (default: the last moveTo's timeout, or
    %   10 s plus 2 s per slot).
      obj.Link.ensureOpen('FilterWheel');
      if nargin < 2 || isempty(timeout)
        timeout = obj.MoveTimeout;
        if isempty(timeout)
          timeout = 10 + 2 * obj.SlotCount;
        end
      end
      timeout = obj.Link.checked('FilterWheel', 'The timeout', timeout, 'seconds');
      obj.wait(timeout, obj.Link.ProgressFcn);
    end

    function disp(obj)
      % No camera calls here: displaying an object should not change its logs.
      fprintf('  brelk.FilterWheel of %s: %d slots, named %s\n', obj.Link.ID, obj.SlotCount, ...
              strjoin(obj.SlotNames, ', '));
    end
  end

  methods (Access = private)
    % The slot from the status the camera gives: the digit '0' + slot - 1 at
    % rest, 'N' while moving.
    function slot = position(obj)
      status = obj.Link.require('FilterWheel', 'BRELK_8_GetCFWStatus');
      slot = double(status) - double('0') + 1;
      if status == 'N'
        slot = NaN;
      elseif slot < 1 || slot > obj.SlotCount
        obj.Link.raise('FilterWheel', 'sdkFailed', ...
                       '%s: the filter wheel status %d is neither a slot nor moving (''N'').', ...
                       obj.Link.ID, status);
      end
    end

    function slot = slotOf(obj, value)
      if ischar(value)
        slot = find(strcmp(obj.SlotNames, value));
        if isempty(slot)
          slot = find(strcmpi(obj.SlotNames, value));
        end
        if numel(slot) ~= 1
          obj.Link.raise('FilterWheel', 'invalidValue', 'No slot is named ''%s''; the names are %s.', ...
                         value, strjoin(obj.SlotNames, ', '));
        end
      else
        slot = obj.Link.checked('FilterWheel', 'The slot', value, 'slot', obj.SlotCount);
      end
    end

    function wait(obj, timeout, progress)
      obj.Link.wait('FilterWheel', 'wheel', @(s) obj.moveStep(s), [], timeout, progress);
      obj.Target = [];
      obj.MoveTimeout = [];
    end

    function [done, info, s, interval, pending] = moveStep(obj, s)
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
      if isnan(position)
        pending = 'the filter wheel is still moving';
      else
        pending = sprintf('the filter wheel is at slot %d, not %d', position, target);
      end
    end
  end
end
