function s = brelk_string(texts)
% s = brelk_string(texts): MATLAB's string of the char row texts, or the
% string array of the cellstr texts. Octave has no string class: there it
% is the stand-in in string_standin/, which answers what the layer asks of a
% string (class, isscalar, size, char, cellstr, ismissing).
  if exist('OCTAVE_VERSION', 'builtin') ~= 0
    addpath(fullfile(fileparts(mfilename('fullpath')), 'string_standin'));
  end
  s = feval('string', texts);
end
