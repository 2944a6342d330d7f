function [tests, any_sdk] = test_help
% The help a user reads: every function's text beside its module, the
% listing in Contents.m and the package INDEX, and every line a function
% prints quoted in its help, byte for byte. All but the last read only the
% files and run on any SDK (any_sdk).
  tests = {@every_function_has_its_help_beside_it, @contents_lists_every_function, ...
           @help_brelk_shows_the_listing, @the_name_brelk_still_reaches_a_package_brelk, ...
           @package_index_lists_what_contents_lists, @printed_lines_are_quoted_in_the_help};
  any_sdk = {@every_function_has_its_help_beside_it, @contents_lists_every_function, ...
             @help_brelk_shows_the_listing, @the_name_brelk_still_reaches_a_package_brelk, ...
             @package_index_lists_what_contents_lists};
end

function every_function_has_its_help_beside_it
  functions = brelk_functions();
  for k = 1:size(functions, 1)
    name = functions{k, 1};
    assert(exist(name) == 3, '%s is not a MEX function on the path', name);
    [folder, ~, extension] = fileparts(which(name));
    assert(exist(fullfile(folder, [name '.m']), 'file') == 2, ...
           '%s: no %s.m beside %s%s', name, name, name, extension);
    text = brelk_help_text(name);
    if exist('OCTAVE_VERSION', 'builtin')   % Octave reads it as plain text, not Texinfo
      [~, format] = get_help_text(name);
      check(format, 'plain text', '%s: help format', name);
    end
    lines = strsplit(text, newline);
    assert(strncmp(lines{1}, [name ' '], numel(name) + 1), ...
           '%s: the first help line does not name it: %s', name, lines{1});
    assert(~isempty(strfind(text, [name '(id'])), '%s: no call syntax with the ID first', name);
    shown = evalc(['help ' name]);
    assert(~isempty(strfind(shown, lines{1})), '%s: help does not show its text', name);
  end
end

function contents_lists_every_function
  [names, summaries, stages] = contents_entries();
  functions = brelk_functions();
  check(sort(names), sort(functions(:, 1)), 'the functions Contents.m lists');
  assert(issorted(stages), 'Contents.m does not list the functions by stage');
  for k = 1:numel(names)
    assert(exist(names{k}) == 3, 'Contents.m lists %s, which does not exist', names{k});
    lines = strsplit(brelk_help_text(names{k}), newline);
    check(lines{1}, [names{k} ' ' summaries{k}], 'Contents.m summary of %s', names{k});
  end
  modules = dir(fullfile(toolbox_folder(), ['BRELK_*.' mexext()]));
  for k = 1:numel(modules)
    [~, name] = fileparts(modules(k).name);
    assert(any(strcmp(names, name)), '%s is built but not listed in Contents.m', name);
  end
end

% What `help brelk` shows in Octave is Contents.m's listing, from the folder
% the functions were found in.
function help_brelk_shows_the_listing
  brelk_octave_only('help brelk is the function brelk in octave/, which PKG_ADD puts on Octave''s path');
  listing = get_help_text_from_file(fullfile(toolbox_folder(), 'Contents.m'));
  check(get_help_text('brelk'), listing, 'the help of brelk');
  shown = evalc('help brelk');
  functions = brelk_functions();
  for name = functions(:, 1)'
    assert(~isempty(strfind(shown, name{1})), 'help brelk does not list %s', name{1});
  end
end

% A package +brelk on the path (the toolbox's classes) is reached through
% the name brelk, and help brelk still shows the listing.
function the_name_brelk_still_reaches_a_package_brelk
  brelk_octave_only('the function brelk in octave/ stands for the package +brelk');
  folder = tempname();
  mkdir(fullfile(folder, '+brelk'));
  cleanup = onCleanup(@() remove_package(folder));
  write_file(fullfile(folder, '+brelk', 'Probe.m'), { ...
    'classdef Probe < handle', '  properties', '    id = ''none''', '  end', ...
    '  methods', '    function p = Probe(id)', '      if nargin > 0', '        p.id = id;', ...
    '      end', '    end', '  end', '  methods (Static)', '    function n = twice(x)', ...
    '      n = 2 * x;', '    end', '    function touch()', '      printf("touched\n");', ...
    '    end', '  end', 'end'});
  write_file(fullfile(folder, '+brelk', 'probe_pair.m'), { ...
    'function [a, b] = probe_pair(x)', '  a = x + 1;', '  b = x + 2;', 'end'});
  addpath(folder, '-end');

  p = brelk.Probe('SIM-MONO');
  check({class(p), p.id}, {'brelk.Probe', 'SIM-MONO'}, 'brelk.Probe(id)');
  p = brelk.Probe;
  check(p.id, 'none', 'brelk.Probe without inputs');
  check(brelk.Probe.twice(21), 42, 'a static method');
  check(evalc('brelk.Probe.touch()'), sprintf('touched\n'), 'a static method that returns nothing');
  [a, b] = brelk.probe_pair(1);
  check([a b], [2 3], 'a package function with two outputs');
  check(evalc('brelk.Probe(''shown'')'), evalc('ans = brelk.Probe(''shown'')'), ...
        'a statement shows what it returns');
  check(exist('BRELK_4_InitCamera'), 3, 'the path after a static call');
  check(get_help_text('brelk'), ...
        get_help_text_from_file(fullfile(toolbox_folder(), 'Contents.m')), ...
        'the help of brelk beside a package brelk');
end

function write_file(name, lines)
  file = fopen(name, 'w');
  fprintf(file, '%s\n', lines{:});
  fclose(file);
end

function remove_package(folder)
  rmpath(folder);
  confirm_recursive_rmdir(false, 'local');
  rmdir(folder, 's');
end

function package_index_lists_what_contents_lists
  index = fullfile(fileparts(mfilename('fullpath')), '..', '..', 'packaging', 'INDEX');
  listed = regexp(fileread(index), '(?m)^ (BRELK_\w+)\s*$', 'tokens');
  check(cellfun(@(t) t{1}, listed, 'UniformOutput', false)', contents_entries(), ...
        'the functions packaging/INDEX lists, in order');
end

% Every line printed on every path the simulated camera can be made to take
% matches one of the lines the function's help quotes, and every quoted line
% is printed on one of those paths.
function printed_lines_are_quoted_in_the_help
  functions = brelk_functions();
  for k = 1:size(functions, 1)
    [name, args] = functions{k, 1:2};
    patterns = quoted_lines(name);
    seen = false(size(patterns));
    calls = calls_of(name, args);
    for c = 1:numel(calls)
      [setup, inputs] = calls{c}{:};
      brelk_test_reset();
      setup();
      text = brelk_call(name, inputs{:});
      assert(numel(text) > 0 && text(end) == newline, '%s: output not ended by a line feed: %s', ...
             name, text);
      for line = strsplit(text(1:end - 1), newline)
        matched = cellfun(@(p) ~isempty(regexp(line{1}, p, 'once')), patterns);
        assert(any(matched), '%s printed a line its help does not quote: %s', name, line{1});
        seen = seen | matched;
      end
    end
    assert(all(seen), '%s: its help quotes a line it never printed: %s', name, ...
           strjoin(patterns(~seen), ' | '));
  end
end

% The calls that take a function down each of its paths: plain calls and SDK
% results of -1, 0 and 1 on both cameras, an unknown camera, colour pattern
% codes, and each input missing or unusable. Each is {setup, inputs}.
function calls = calls_of(name, args)
  calls = {};
  for camera = {'SIM-MONO', 'SIM-COLOR'}
    id = camera{1};
    ready = @() brelk_ready(id);
    calls{end + 1} = {ready, [{id}, args]};
    for operation = operations_called(name, id, args)
      for result = [-1, 0, 1]
        calls{end + 1} = {@() scripted(id, {operation{1}, result}), [{id}, args]};
      end
    end
    for code = [-1, 0, 5]
      calls{end + 1} = {@() scripted(id, {'IsBRELKCCDControlAvailable', 20, code}), [{id}, args]};
    end
  end
  nothing = @() [];
  calls{end + 1} = {nothing, [{'NO-SUCH-CAMERA'}, args]};
  calls{end + 1} = {nothing, {}};
  calls{end + 1} = {nothing, [{42}, args]};
  for k = 1:numel(args)
    calls{end + 1} = {nothing, [{'SIM-MONO'}, args(1:k - 1)]};
    unusable = args;
    unusable{k} = {};
    calls{end + 1} = {nothing, [{'SIM-MONO'}, unusable]};
  end
end

function scripted(id, script)
  brelk_ready(id);
  brelksim('script', script{:});
end

% The SDK operations a successful call makes after the open.
function operations = operations_called(name, id, args)
  brelk_test_reset();
  brelk_ready(id);
  brelk_call(name, id, args{:});
  journal = brelksim('journal');
  operations = unique(regexprep(journal(:)', '\(.*$', ''));
  operations(strcmp(operations, 'OpenBRELKCCD')) = [];
end

% The lines the help of `name` quotes under "Printed", as regular
% expressions: %f a number with six decimals, %s any text.
function patterns = quoted_lines(name)
  text = brelk_help_text(name);
  section = regexp(text, '(?s)\n   Printed[^\n]*\n(.*?)\n\s*\n', 'tokens', 'once');
  assert(~isempty(section), '%s: no Printed section in its help', name);
  quoted = {};
  for line = strsplit(section{1}, newline)
    if strncmp(line{1}, '     "', 6)
      found = regexp(line{1}, '"([^"]*)"', 'tokens');
      quoted = [quoted, cellfun(@(t) t{1}, found, 'UniformOutput', false)];
    end
  end
  assert(~isempty(quoted), '%s: its help quotes no line', name);
  celsius = brelk_celsius();
  patterns = cell(size(quoted));
  for q = 1:numel(quoted)
    p = regexptranslate('escape', quoted{q});
    p = strrep(p, '%f', '-?(\d+\.\d{6}|inf|nan)');
    p = strrep(p, '%s', '.*');
    p = strrep(p, '<U\+2103>', celsius);
    patterns{q} = ['^' p '$'];
  end
end

function [names, summaries, stages] = contents_entries()
  entries = regexp(fileread(fullfile(toolbox_folder(), 'Contents.m')), ...
                   '(?m)^%\s+(BRELK_(\d+)_\w+)\s+- (.*?)\s*$', 'tokens');
  names = cellfun(@(e) e{1}, entries, 'UniformOutput', false)';
  stages = cellfun(@(e) str2double(e{2}), entries)';
  summaries = cellfun(@(e) e{3}, entries, 'UniformOutput', false)';
end

function folder = toolbox_folder()
  folder = fileparts(which('BRELK_4_InitCamera'));
end
