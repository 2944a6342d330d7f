function events = readLog(file)
%READLOG Read back the record file of a brelk.Camera or a brelk.Sequence.
%   events = brelk.readLog(file) reads a camera's 'LogFile' or a sequence's
%   'Journal': one JSON object a line, as the camera appended them. It
%   returns a column struct array, one element per event, oldest first,
%   with the fields
%     Time    seconds since the camera connected, on its clock
%     UTC     the time as ISO 8601 text, such as '2026-12-10T21:30:05.250Z'
%     Event   'call', 'temperature', 'exposure', 'state', 'error' or
%             'sequence'
%   and every field any of the events has, [] where an event has none:
%     call         Function, Inputs, Status, Text
%     temperature  Temperature, Setpoint, Power
%     exposure     the fields of brelk.Camera's Exposures (a record as the
%                  exposure ended)
%     state        Part ('camera', 'cooler', 'exposure', 'wheel') and
%                  State, with what goes with it (Target, Setpoint, Slot...)
%     error        Identifier, Message
%     sequence     What ('plan', 'frame', 'retry', 'stall', 'end', 'state'),
%                  and its fields (see brelk.Sequence)
%   A last line that is not whole (the session was killed while it wrote)
%   is skipped with the warning brelk:readLog:partialLine; so is any other
%   line that does not parse, naming its number. A file that cannot be
%   read raises brelk:readLog:invalidValue.
%
%   See also brelk.Camera, brelk.Sequence.
  checks = brelk.internal.Checks('readLog');
  if nargin < 1
    checks.raise('invalidValue', 'readLog needs the name of a record file.');
  end
  file = checks.text('The record file', file);
  [id, message] = fopen(file, 'r', 'n', 'UTF-8');
  if id < 0
    checks.raise('invalidValue', 'The record file %s cannot be read: %s', file, message);
  end
  text = fread(id, Inf, '*char')';
  fclose(id);
  lines = regexp(text, '\r?\n', 'split');
  if ~isempty(lines) && isempty(lines{end})
    lines(end) = [];
  end
  decoded = cell(numel(lines), 1);
  kept = false(numel(lines), 1);
  for k = 1:numel(lines)
    if isempty(strtrim(lines{k}))
      continue;
    end
    try
      decoded{k} = jsondecode(lines{k});
      kept(k) = isstruct(decoded{k}) && isscalar(decoded{k}) && isfield(decoded{k}, 'Event');
    catch
    end
    if ~kept(k)
      if k == numel(lines)
        warning('brelk:readLog:partialLine', '%s: its last line is not whole and is skipped.', file);
      else
        warning('brelk:readLog:partialLine', '%s: line %d does not parse and is skipped.', file, k);
      end
    end
  end
  decoded = decoded(kept);
  names = {'Time', 'UTC', 'Event'};
  for k = 1:numel(decoded)
    fresh = fieldnames(decoded{k});
    names = [names, fresh(~ismember(fresh, names))'];  %#ok<AGROW>
  end
  values = cell(numel(decoded), numel(names));
  for k = 1:numel(decoded)
    [present, where] = ismember(fieldnames(decoded{k}), names);
    values(k, where(present)) = struct2cell(decoded{k});
  end
  events = cell2struct(values, names, 2);
end
