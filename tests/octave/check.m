function check(observed, expected, label, varargin)
% check(observed, expected, label, ...): assert(observed, expected), which
% compares classes, sizes and values exactly, with the failure headed by the
% sprintf-style label that says which case of a table failed.
  try
    assert(observed, expected);
  catch err
    error('%s\n%s', sprintf(label, varargin{:}), err.message);
  end
end
