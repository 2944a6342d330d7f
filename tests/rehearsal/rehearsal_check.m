function failures = rehearsal_check(journal, runs, endings)
%REHEARSAL_CHECK What the rehearsal's sessions left in the journal:
%   failures = rehearsal_check(journal, runs, endings) returns the number
%   of failed checks, each printed: every line parses but one a killed
%   session left half written; there were runs runs, and those that ended
%   (not killed) ended in the states endings, in order, each with the
%   cooler switched off; every planned frame completed exactly once across
%   them, by the frames' events and by the exposures.
  failures = 0;
  lines = regexp(fileread(journal), '\n', 'split');
  lines = lines(~cellfun(@isempty, lines));
  events = cell(size(lines));
  broken = [];
  for k = 1:numel(lines)
    try
      events{k} = jsondecode(lines{k});
    catch
      broken(end + 1) = k;  %#ok<AGROW>
    end
  end
  events = events(setdiff(1:numel(lines), broken));
  plans = find(cellfun(@(e) kind(e, 'sequence', 'plan'), events));
  failures = failures + expect(numel(plans) == runs, 'runs: %d, expected %d', numel(plans), runs);
  % A half line only where a run was killed: just before the next run's plan.
  for b = broken
    next = jsondecode(lines{b + 1});
    failures = failures + expect(strcmp(next.Event, 'sequence') && strcmp(next.What, 'plan'), ...
                                 'line %d does not parse, and no run began after it: %s', b, lines{b});
  end
  % Each frame's record: the first exposure after its 'frame' event, before
  % any other event of the sequence.
  plan = events{plans(end)};
  counts = [plan.Steps.Count];
  completed = zeros(numel(counts), max(counts));
  current = [];
  for k = 1:numel(events)
    e = events{k};
    if strcmp(e.Event, 'sequence')
      current = [];
      if strcmp(e.What, 'frame')
        current = [e.Step, e.Index];
      end
    elseif strcmp(e.Event, 'exposure') && ~isempty(current)
      completed(current(1), current(2)) = completed(current(1), current(2)) + strcmp(e.Result, 'completed');
      current = [];
    end
  end
  for s = 1:numel(counts)
    failures = failures + expect(all(completed(s, 1:counts(s)) == 1), 'step %d: frames completed %s times', s, ...
                                 mat2str(completed(s, 1:counts(s))));
  end
  exposures = events(cellfun(@(e) kind(e, 'exposure'), events));
  done = sum(cellfun(@(e) strcmp(e.Result, 'completed'), exposures));
  failures = failures + expect(done == sum(counts), 'exposures completed: %d, planned %d', done, sum(counts));
  % Every run's end: the state it ended in, the cooler off before it.
  states = events(cellfun(@(e) kind(e, 'sequence', 'state') && ~strcmp(e.State, 'running'), events));
  ends = cellfun(@(e) e.State, states, 'UniformOutput', false);
  failures = failures + expect(isequal(ends, endings), 'the runs ended %s, not %s', strjoin(ends, ', '), ...
                               strjoin(endings, ', '));
  for k = find(cellfun(@(e) kind(e, 'sequence', 'end'), events))
    rest = events(k + 1:end);
    off = find(cellfun(@(e) kind(e, 'state') && strcmp(e.Part, 'cooler') && strcmp(e.State, 'off'), rest), 1);
    closing = find(cellfun(@(e) kind(e, 'sequence', 'state'), rest), 1);
    failures = failures + expect(~isempty(off) && off < closing, 'the end at event %d did not switch the cooler off', k);
  end
  fprintf('rehearsal: %d lines (%d half), %d runs ending %s, %d frames completed once each\n', numel(lines), ...
          numel(broken), numel(plans), strjoin(ends, ', '), done);
end

function tf = kind(e, event, what)
  tf = strcmp(e.Event, event) && (nargin < 3 || strcmp(e.What, what));
end

function failed = expect(ok, message, varargin)
  failed = ~ok;
  if failed
    fprintf('rehearsal FAILED: %s\n', sprintf(message, varargin{:}));
  end
end
