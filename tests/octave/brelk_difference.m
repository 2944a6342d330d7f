function text = brelk_difference(observed, expected, tolerance)
% text = brelk_difference(observed, expected, tolerance): '' when observed
% equals expected, else one line per difference found, each saying where
% ({2}, .Field, (3)) and how. Classes and sizes must be the same; numbers
% within tolerance of each other (0: equal), NaN where NaN is, Inf where
% Inf of the same sign is; char and logical values exactly; cells and
% structs element by element, a struct's fields in any order. The rules of
% check and check_near, which name the case around these lines.
  lines = differences(observed, expected, tolerance, '');
  limit = 20;
  if numel(lines) > limit
    lines = [lines(1:limit), {sprintf('... and %d differences more', numel(lines) - limit)}];
  end
  text = strjoin(lines, newline);
end

function lines = differences(observed, expected, tolerance, where)
  lines = {};
  place = where;
  if ~isempty(place)
    place = [place ': '];
  end
  if ~strcmp(class(observed), class(expected))
    lines = {sprintf('%sclass %s, expected %s: %s, expected %s', place, class(observed), ...
                     class(expected), shown(observed), shown(expected))};
  elseif ~isequal(size(observed), size(expected))
    lines = {sprintf('%ssize %s, expected %s: %s, expected %s', place, size_text(observed), ...
                     size_text(expected), shown(observed), shown(expected))};
  elseif iscell(expected)
    for k = 1:numel(expected)
      lines = [lines, differences(observed{k}, expected{k}, tolerance, [where index_text(expected, k, '{}')])];  %#ok<AGROW>
    end
  elseif isstruct(expected)
    lines = struct_differences(observed, expected, tolerance, where, place);
  elseif isnumeric(expected) || islogical(expected) || ischar(expected)
    lines = value_differences(observed, expected, tolerance, where, place);
  elseif ~isequal(observed, expected)
    lines = {sprintf('%s%s, expected %s', place, shown(observed), shown(expected))};
  end
end

function lines = struct_differences(observed, expected, tolerance, where, place)
  lines = {};
  fields = fieldnames(expected);
  extra = setdiff(fieldnames(observed), fields);
  missing = setdiff(fields, fieldnames(observed));
  if ~isempty(extra) || ~isempty(missing)
    lines = {sprintf('%sother fields: has %s; lacks %s', place, names_text(extra), names_text(missing))};
    return;
  end
  for k = 1:numel(expected)
    element = where;
    if numel(expected) ~= 1
      element = [where index_text(expected, k, '()')];
    end
    for f = 1:numel(fields)
      lines = [lines, differences(observed(k).(fields{f}), expected(k).(fields{f}), tolerance, ...
                                  [element '.' fields{f}])];  %#ok<AGROW>
    end
  end
end

function lines = value_differences(observed, expected, tolerance, where, place)
  lines = {};
  if issparse(observed) ~= issparse(expected)
    lines = {sprintf('%ssparse %d, expected sparse %d', place, issparse(observed), issparse(expected))};
    return;
  end
  if isreal(observed) ~= isreal(expected)
    lines = {sprintf('%sreal %d, expected real %d: %s, expected %s', place, isreal(observed), ...
                     isreal(expected), shown(observed), shown(expected))};
    return;
  end
  numbers = ~ischar(expected) && ~islogical(expected);
  differs = ~(observed == expected | (isnan(observed) & isnan(expected)));  % NaN is NaN
  if numbers && tolerance > 0
    differs = differs & ~(abs(double(observed) - double(expected)) <= tolerance);
  end
  differs = full(differs);
  if ~any(differs(:))
    return;
  end
  if isscalar(expected) || (ischar(expected) && size(expected, 1) <= 1)
    lines = {sprintf('%s%s, expected %s', place, shown(observed), shown(expected))};
  else
    first = find(differs, 1);
    lines = {sprintf('%s%d of %d elements differ, the first %s: %s, expected %s', place, nnz(differs), ...
                     numel(differs), index_text(expected, first, '()'), ...
                     shown(observed(first)), shown(expected(first)))};
  end
  gap = max(abs(double(observed(differs)) - double(expected(differs))));
  if numbers && isfinite(gap) && tolerance > 0
    lines{end} = sprintf('%s (off by up to %.3g; tolerance %g)', lines{end}, gap, tolerance);
  elseif numbers && isfinite(gap)
    lines{end} = sprintf('%s (off by up to %.3g)', lines{end}, gap);
  end
end

% What a value is, in a line: text quoted with its line feeds as \n, small
% numeric and logical arrays as mat2str writes them, function handles as
% written, anything else (empty arrays too) by its size and class.
function text = shown(value)
  if isa(value, 'function_handle')
    text = func2str(value);
  elseif ischar(value) && size(value, 1) <= 1 && ~(isempty(value) && ~isequal(size(value), [0 0]))
    text = ['''' strrep(strrep(value, '''', ''''''), newline, '\n') ''''];
  elseif (isnumeric(value) || islogical(value)) && ismatrix(value) && ~isempty(value) && numel(value) <= 12 ...
         && ~issparse(value)
    if isa(value, 'double') || islogical(value)
      text = mat2str(value);
    else
      text = mat2str(value, 'class');
    end
  else
    text = sprintf('%s %s', size_text(value), class(value));
  end
end

function text = size_text(value)
  text = strjoin(arrayfun(@num2str, size(value), 'UniformOutput', false), 'x');
end

function text = index_text(value, k, brackets)
  if isvector(value)
    position = sprintf('%d', k);
  else
    subscripts = cell(1, ndims(value));
    [subscripts{:}] = ind2sub(size(value), k);
    position = strjoin(cellfun(@num2str, subscripts, 'UniformOutput', false), ',');
  end
  text = [brackets(1) position brackets(2)];
end

function text = names_text(names)
  if isempty(names)
    text = 'none';
  else
    text = strjoin(names(:)', ', ');
  end
end
