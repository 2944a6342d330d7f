function [text, missing] = brelk_missing_outputs(name, count, varargin)
% [text, missing] = brelk_missing_outputs(name, count, args...): calls `name`
% asking for `count` outputs and tells whether the call left any output
% after the status unset, as the toolbox does on an open or guard failure.
  list = strjoin(arrayfun(@(k) sprintf('output%d', k), 1:count, 'UniformOutput', false), ', ');
  failure = [];
  text = evalc(sprintf('try\n  [%s] = feval(name, varargin{:});\ncatch failure\nend\n', list));
  missing = ~isempty(failure) && ~isempty(regexp(failure.message, 'undefined', 'once'));
  if ~isempty(failure) && ~missing
    rethrow(failure);
  end
end
