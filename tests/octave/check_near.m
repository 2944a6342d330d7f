function check_near(observed, expected, tolerance, label, varargin)
% check_near(observed, expected, tolerance, label, ...): check, but numbers
% may differ by up to tolerance (absolute), at any depth of cells and
% structs; classes, sizes, text, NaN and Inf as check has them.
  if ~(isnumeric(tolerance) && isscalar(tolerance) && tolerance >= 0)
    error('check_near:tolerance', 'check_near: the tolerance must be a number of 0 or more');
  end
  difference = brelk_difference(observed, expected, tolerance);
  if ~isempty(difference)
    error('check:failed', '%s\n%s', sprintf(label, varargin{:}), difference);
  end
end
