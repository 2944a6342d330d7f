function [opts, given] = options(component, spec, args)
%OPTIONS Name-value options of a layer call, checked (internal).
%   [opts, given] = options(component, spec, args) reads the name-value
%   pairs in the cell args against spec, one row per option: {name, default,
%   kind}, kind as in brelk.internal.checked. Names match whatever their case.
%   opts has a field per option, its value or its default; given tells which
%   ones the caller set. A default of [] stays allowed as a value. A stray
%   argument, an unknown name or a refused value raises
%   brelk:<component>:invalidValue.
  names = spec(:, 1)';
  opts = struct();
  given = struct();
  for k = 1:numel(names)
    opts.(names{k}) = spec{k, 2};
    given.(names{k}) = false;
  end
  if mod(numel(args), 2) ~= 0
    brelk.internal.raise(component, 'invalidValue', ...
                         'Options come in name-value pairs; the options are %s.', strjoin(names, ', '));
  end
  for k = 1:2:numel(args)
    name = args{k};
    match = [];
    if ischar(name) && size(name, 1) == 1
      match = find(strcmpi(name, names), 1);
    end
    if isempty(match)
      if ischar(name)
        shown = ['''' name ''''];
      else
        shown = sprintf('(a %s)', class(name));
      end
      brelk.internal.raise(component, 'invalidValue', 'Unknown option %s; the options are %s.', ...
                           shown, strjoin(names, ', '));
    end
    value = args{k + 1};
    if ~(isempty(spec{match, 2}) && isnumeric(value) && isempty(value))
      value = brelk.internal.checked(component, ['Option ''' names{match} ''''], value, spec{match, 3});
    end
    opts.(names{match}) = value;
    given.(names{match}) = true;
  end
end
