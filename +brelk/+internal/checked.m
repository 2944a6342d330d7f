function value = checked(component, name, value, kind, range)
%CHECKED A value the layer was given, checked before it reaches the camera (internal).
%   value = checked(component, name, value, kind) returns the value in the
%   form the layer keeps (a double, a logical, a char row, a function handle)
%   or raises brelk:<component>:invalidValue naming it. Kinds:
%     'real'        a finite real numeric scalar
%     'positive'    'real' and above 0
%     'nonnegative' 'real' and 0 or above
%     'count'       a whole number, 0 or above
%     'slot'        a whole number from 1 to range
%     'percent'     'real' from 0 to 100
%     'seconds'     a real scalar above 0, Inf included (timeouts, stall times)
%     'logical'     true, false, 1 or 0
%     'function'    a function handle
%     'progress'    a function handle, or [] for none
%     'text'        a non-empty char row
  if nargin < 5
    range = [];
  end
  switch kind
    case 'logical'
      ok = isscalar(value) && (islogical(value) || (isnumeric(value) && isreal(value) ...
           && (value == 0 || value == 1)));
      expected = 'true or false';
      if ok
        value = logical(value);
      end
    case 'function'
      ok = isa(value, 'function_handle') && isscalar(value);
      expected = 'a function handle';
    case 'progress'
      ok = (isa(value, 'function_handle') && isscalar(value)) || (isnumeric(value) && isempty(value));
      expected = 'a function handle, or [] for none';
    case 'text'
      ok = ischar(value) && size(value, 1) == 1 && ~isempty(value);
      expected = 'a non-empty char row';
    otherwise
      [ok, expected] = number(value, kind, range);
      if ok
        value = double(full(value));
      end
  end
  if ~ok
    brelk.internal.raise(component, 'invalidValue', '%s must be %s, not %s.', name, expected, ...
                         described(value));
  end
end

function [ok, expected] = number(value, kind, range)
  ok = isnumeric(value) && isscalar(value) && isreal(value);
  if ok
    value = double(full(value));
    ok = ~isnan(value) && (isfinite(value) || strcmp(kind, 'seconds'));
  end
  switch kind
    case 'real'
      expected = 'a finite real scalar';
    case 'positive'
      expected = 'a finite real scalar above 0';
      ok = ok && value > 0;
    case 'nonnegative'
      expected = 'a finite real scalar of 0 or more';
      ok = ok && value >= 0;
    case 'count'
      expected = 'a whole number of 0 or more';
      ok = ok && value >= 0 && value == round(value);
    case 'slot'
      expected = sprintf('a whole number from 1 to %d', range);
      ok = ok && value >= 1 && value <= range && value == round(value);
    case 'percent'
      expected = 'a real scalar from 0 to 100';
      ok = ok && value >= 0 && value <= 100;
    case 'seconds'
      expected = 'a real scalar above 0 (Inf for no limit)';
      ok = ok && value > 0;
    otherwise
      error('brelk:internal', 'unknown kind %s', kind);  % a slip in the layer itself
  end
end

% What a refused value was, for the message: the value itself when it is
% short, else its size and class.
function text = described(value)
  if (isnumeric(value) || islogical(value)) && isscalar(value)
    text = num2str(value);
  elseif ischar(value) && size(value, 1) == 1 && numel(value) <= 40
    text = ['''' value ''''];
  else
    dims = sprintf('%dx', size(value));
    text = sprintf('a %s %s', dims(1:end - 1), class(value));
  end
end
