function [text, varargout] = brelk_call(name, varargin)
% [text, status, out1, ...] = brelk_call(name, args...): calls the toolbox
% function `name` with the given inputs, asking for as many outputs as the
% caller asks for here (at least the status), and returns what it printed.
% An output the function left unset is an error, as in a script.
  count = max(nargout - 1, 1);
  text = evalc(sprintf('[%s] = feval(name, varargin{:});', output_list(count)));
  for k = 1:nargout - 1
    varargout{k} = eval(sprintf('output%d', k));
  end
end

% Plain variables: Octave lets a cs-list of cells take an unset output silently.
function list = output_list(count)
  list = strjoin(arrayfun(@(k) sprintf('output%d', k), 1:count, 'UniformOutput', false), ', ');
end
