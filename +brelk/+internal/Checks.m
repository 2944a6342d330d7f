classdef Checks < handle
%CHECKS The checks and errors of one component of the layer (internal).
%   checks = Checks('Camera') checks the values and options that the layer
%   is given, turning each into the form the layer keeps, and raises every
%   error of the component as brelk:Camera:<mnemonic>. A Camera and its
%   FilterWheel each have one; the parts they share raise through the
%   Checks of the component that called them.
%
%   Text is taken as a char row or as a MATLAB string scalar; names also as
%   a string array. [] (a double empty) stands for a default where the help
%   says so, and no other empty does. Numbers are real, non-sparse numeric
%   scalars of any class; logical and char values are not numbers.

  properties (SetAccess = private)
    Component = ''
  end

  properties
    Record = []         % the Connection whose record errors go to, once there is one
  end

  properties (Access = private)
    Prefix = ''
  end

  methods
    function obj = Checks(component)
      obj.Component = component;
      obj.Prefix = ['brelk:' component ':'];
    end

    function raise(obj, mnemonic, message, varargin)
    %RAISE raise(mnemonic, message, args...) throws brelk:<component>:<mnemonic>
    %   with the message, formatted by sprintf when args are given. Every
    %   error of the layer is thrown here.
      if ~isempty(varargin)
        message = sprintf(message, varargin{:});
      end
      identifier = [obj.Prefix mnemonic];
      if ~isempty(obj.Record)
        obj.Record.note('error', struct('Identifier', identifier, 'Message', message));
      end
      error(identifier, '%s', message);
    end

    function failed(obj, id, name, inputs, text)
    %FAILED The error of a toolbox function that returned -1, from the lines it
    %   printed: notConnected when the camera did not open, notSupported when
    %   a guard found the feature missing, sdkFailed otherwise. The message
    %   quotes the call and the line that tells why.
      lines = strsplit(text, newline);
      lines = lines(~cellfun(@isempty, lines));
      if isempty(lines)
        lines = {'(nothing printed)'};
      end
      line = lines{end};
      guard = strncmp(lines, 'Camera don''t support', 20);
      if any(strcmp(lines, 'Open BRELKCCD failed.'))
        mnemonic = 'notConnected';
        line = 'Open BRELKCCD failed.';
      elseif any(guard)
        mnemonic = 'notSupported';
        line = lines{find(guard, 1)};
      else
        mnemonic = 'sdkFailed';
      end
      shown = cellfun(@asWritten, [{id}, inputs], 'UniformOutput', false);
      obj.raise(mnemonic, '%s(%s): %s', name, strjoin(shown, ', '), line);
    end

    function value = number(obj, name, value, kind, range)
    %NUMBER value = number(name, value, kind[, range]) returns the value as a
    %   double, or raises invalidValue naming it. Kinds:
    %     'real'         a finite real scalar
    %     'positive'     'real' above 0
    %     'nonnegative'  'real', 0 or above
    %     'percent'      'real' from 0 to 100
    %     'seconds'      above 0, Inf included (a timeout)
    %     'whole'        a whole number from range(1) to range(2)
      ok = isnumeric(value) && isscalar(value) && isreal(value) && ~issparse(value);
      if ok
        value = double(value);
        ok = value == value && (value - value == 0 || strcmp(kind, 'seconds'));
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
        case 'percent'
          expected = 'a real scalar from 0 to 100';
          ok = ok && value >= 0 && value <= 100;
        case 'seconds'
          expected = 'a real scalar above 0 (Inf for no limit)';
          ok = ok && value > 0;
        case 'whole'
          expected = sprintf('a whole number from %d to %d', range(1), range(2));
          ok = ok && value >= range(1) && value <= range(2) && value == round(value);
      end
      if ~ok
        obj.refuse(name, expected, value);
      end
    end

    function value = flag(obj, name, value)
    %FLAG A logical scalar, or 0 or 1 of a numeric class, as true or false.
      ok = isscalar(value) && ~issparse(value) && (islogical(value) || ...
           (isnumeric(value) && isreal(value) && (value == 0 || value == 1)));
      if ~ok
        obj.refuse(name, 'true or false', value);
      end
      value = logical(value);
    end

    function value = text(obj, name, value)
    %TEXT A non-empty char row or string scalar, as a char row.
      [value, ok] = asText(value);
      if ~ok
        obj.refuse(name, 'a non-empty char row or string scalar', value);
      end
    end

    function names = texts(obj, name, value, count)
    %TEXTS count unique texts, as a 1 x count cell of char rows: a cell array of
    %   char rows or string scalars, or a string array.
      ok = false;
      names = value;
      if isa(value, 'string')
        names = cellstr(value);
      end
      if iscell(names) && numel(names) == count
        names = reshape(names, 1, count);
        ok = true;
        for k = 1:count
          [names{k}, good] = asText(names{k});
          ok = ok && good;
        end
        ok = ok && numel(unique(names)) == count;
      end
      if ~ok
        obj.raise('invalidValue', '%s must be %d unique, non-empty texts (a cell array of char rows, or a string array).', ...
                  name, count);
      end
    end

    function seconds = utc(obj, name, value)
    %UTC A UTC time given as ISO 8601 text, such as '2026-12-10T21:30:00Z'
    %   (seconds may have a fraction; the Z may be left out), in POSIX seconds.
      [value, ok] = asText(value);
      if ok
        parts = regexp(value, '^(\d{4})-(\d\d)-(\d\d)[T ](\d\d):(\d\d):(\d\d(?:\.\d+)?)Z?$', 'tokens', 'once');
        ok = ~isempty(parts);
      end
      if ok
        numbers = reshape(str2double(parts), 1, []);
        ok = numbers(2) >= 1 && numbers(2) <= 12 && numbers(3) >= 1 && numbers(3) <= 31 ...
             && numbers(4) < 24 && numbers(5) < 60 && numbers(6) < 61;
      end
      if ~ok
        obj.refuse(name, 'a UTC time as ISO 8601 text, such as ''2026-12-10T21:30:00Z''', value);
      end
      seconds = (datenum(numbers) - 719529) * 86400;
    end

    function fcn = callable(obj, name, value)
    %CALLABLE A scalar function handle.
      if ~(isa(value, 'function_handle') && isscalar(value))
        obj.refuse(name, 'a function handle', value);
      end
      fcn = value;
    end

    function fcn = progress(obj, name, value)
    %PROGRESS A function handle, or [] for none.
      if defaulted(value)
        fcn = [];
      elseif isa(value, 'function_handle') && isscalar(value)
        fcn = value;
      else
        obj.refuse(name, 'a function handle, or [] for none', value);
      end
    end

    function value = argument(obj, name, value, kind, default)
    %ARGUMENT A positional argument of a method: [] (or none given) for its
    %   default, else a number of the kind.
      if defaulted(value)
        value = default;
      else
        value = obj.number(name, value, kind);
      end
    end

    function [opts, given] = options(obj, spec, args)
    %OPTIONS [opts, given] = options(spec, args) reads the name-value pairs in
    %   the cell args against spec, one row per option: {name, default, kind},
    %   kind a number kind (see number), 'flag', 'function', 'progress',
    %   'text', or a function handle check(name, value) returning the value
    %   kept. Names are char rows or string scalars, matched whatever their
    %   case. [] takes the option's default, as if it were not given
    %   ('progress': none). opts has a field per option; given tells which
    %   ones the caller set.
      names = spec(:, 1)';
      opts = cell2struct(spec(:, 2), names, 1);
      given = cell2struct(num2cell(false(numel(names), 1)), names, 1);
      if mod(numel(args), 2) ~= 0
        obj.raise('invalidValue', 'Options come in name-value pairs; the options are %s.', strjoin(names, ', '));
      end
      for k = 1:2:numel(args)
        [name, ok] = asText(args{k});
        if ~ok
          obj.raise('invalidValue', 'Option names are char rows or string scalars, not %s; the options are %s.', ...
                    described(args{k}), strjoin(names, ', '));
        end
        match = find(strcmpi(name, names), 1);
        if isempty(match)
          obj.raise('invalidValue', 'Unknown option ''%s''; the options are %s.', name, strjoin(names, ', '));
        end
        [name, default, kind] = spec{match, :};
        value = args{k + 1};
        label = ['Option ''' name ''''];
        taken = true;
        if ischar(kind) && strcmp(kind, 'progress')
          value = obj.progress(label, value);
        elseif defaulted(value)
          value = default;  % as if not given
          taken = false;
        elseif isa(kind, 'function_handle')
          value = kind(label, value);
        else
          switch kind
            case 'flag'
              value = obj.flag(label, value);
            case 'function'
              value = obj.callable(label, value);
            case 'text'
              value = obj.text(label, value);
            otherwise
              value = obj.number(label, value, kind);
          end
        end
        opts.(name) = value;
        given.(name) = taken;
      end
    end

    function tf = isDefault(~, value)
    %ISDEFAULT True for [] and any other double empty: "the default".
      tf = defaulted(value);
    end

    function value = choice(obj, name, value, allowed)
    %CHOICE One of the texts allowed (a cell of char rows), given as a char
    %   row or string scalar whatever its case, as it is written in allowed.
      [text, ok] = asText(value);
      match = [];
      if ok
        match = find(strcmpi(text, allowed), 1);
      end
      if isempty(match)
        obj.refuse(name, strjoin(strcat('''', allowed, ''''), ' or '), value);
      end
      value = allowed{match};
    end

    function refuse(obj, name, expected, value)
    %REFUSE Raises invalidValue: name must be expected, not what value is.
      obj.raise('invalidValue', '%s must be %s, not %s.', name, expected, described(value));
    end

    function text = describe(~, value)
    %DESCRIBE What a refused value was, for a message: the value itself when
    %   it is short, else its size and class.
      text = described(value);
    end
  end
end

% [] and any other double empty: "the default" where a method takes one.
function tf = defaulted(value)
  tf = isa(value, 'double') && isempty(value) && ~issparse(value);
end

% A char row, or a MATLAB string scalar turned into one; ok when non-empty.
function [value, ok] = asText(value)
  if isa(value, 'string') && isscalar(value) && ~ismissing(value)
    value = char(value);
  end
  ok = ischar(value) && size(value, 1) == 1 && ndims(value) == 2 && ~isempty(value);
end

% An input as a script would write it, for the messages of failed calls.
function text = asWritten(value)
  if ischar(value)
    text = ['''' value ''''];
  else
    text = mat2str(value);
  end
end

% What a refused value was: the value itself when it is short, else its
% size and class.
function text = described(value)
  if islogical(value) && isscalar(value) && ~issparse(value)
    text = ['logical ' mat2str(value)];
  elseif isnumeric(value) && isscalar(value) && ~issparse(value)
    text = num2str(value);
  elseif isa(value, 'function_handle') && isscalar(value)
    text = func2str(value);
  elseif ischar(value) && size(value, 1) == 1 && numel(value) <= 40
    text = ['''' value ''''];
  elseif isa(value, 'string') && isscalar(value) && ~ismissing(value) && numel(char(value)) <= 40
    text = ['"' char(value) '"'];
  else
    dims = sprintf('%dx', size(value));
    kind = class(value);
    if issparse(value)
      kind = ['sparse ' kind];
    end
    text = sprintf('a %s %s', dims(1:end - 1), kind);
  end
end
