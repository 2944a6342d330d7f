function check(observed, expected, label, varargin)
% check(observed, expected, label, ...): fails unless observed is expected
% exactly: the same class and size, equal values with NaN equal to NaN,
% cells and structs element by element (see brelk_difference). The failure
% is headed by the sprintf-style label, which says which case of a table
% failed, and says where and how the values differ.
  difference = brelk_difference(observed, expected, 0);
  if ~isempty(difference)
    error('check:failed', '%s\n%s', sprintf(label, varargin{:}), difference);
  end
end
