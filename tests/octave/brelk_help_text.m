function text = brelk_help_text(name)
% text = brelk_help_text(name): the help text of a function or class on the
% path, or of an .m file given by its path, as its help file holds it: the
% first block of % comment lines, at the top or right after the function or
% classdef line, each without its %, one line feed after each. A MEX
% function's help is the .m file beside it. Read from the file, so that the
% text is the same in MATLAB and Octave, whose help commands show it each
% in their own way.
  file = name;
  if exist(file, 'file') ~= 2 || isempty(regexp(file, '\.m$', 'once'))
    [folder, base] = fileparts(which(name));
    file = fullfile(folder, [base '.m']);
  end
  lines = strsplit(strrep(fileread(file), sprintf('\r'), ''), newline);
  first = find(~cellfun(@isempty, regexp(lines, '^\s*%', 'once')), 1);
  if isempty(first)
    text = '';
    return;
  end
  before = strtrim(lines(1:first - 1));
  before = before(~cellfun(@isempty, before));
  if numel(before) > 1 || (numel(before) == 1 && isempty(regexp(before{1}, '^(function|classdef)\s', 'once')))
    text = '';  % code before the first comment: no help
    return;
  end
  last = first;
  while last < numel(lines) && ~isempty(regexp(lines{last + 1}, '^\s*%', 'once'))
    last = last + 1;
  end
  block = regexprep(lines(first:last), '^\s*%', '');
  text = sprintf('%s\n', block{:});
end
