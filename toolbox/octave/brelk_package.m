classdef brelk_package
%BRELK_PACKAGE The package +brelk as the name brelk reaches it in Octave.
%   Octave takes a name for a function before it looks for a package of
%   that name, and its help shows a function's text but nothing for a
%   package. So in Octave brelk is a function (brelk.m beside this file, put
%   on the path by the toolbox's PKG_ADD; MATLAB never sees it) whose help
%   is the toolbox's listing and which returns this object. Indexing the
%   object reaches the package: brelk.Camera('SIM-MONO') constructs a
%   brelk.Camera, [a, b] = brelk.f(x) calls the package function f, and
%   brelk.Camera.m(x) calls a static method. Function handles such as
%   @brelk.Camera do not reach the package in Octave: write
%   @(varargin) brelk.Camera(varargin{:}) instead.

  methods
    function varargout = subsref(~, s)
      if ~strcmp(s(1).type, '.')
        error('brelk:package', 'brelk is a package: write brelk.<name>(...)');
      end
      names = {};
      k = 1;
      while k <= numel(s) && strcmp(s(k).type, '.')
        names{end + 1} = s(k).subs;  %#ok<AGROW>
        k = k + 1;
      end
      args = {};
      if k <= numel(s) && strcmp(s(k).type, '()')
        args = s(k).subs;
        k = k + 1;
      end
      if numel(names) == 1
        % A class or function of the package: feval finds it by its full name.
        target = ['brelk.' names{1}];
        call = @(varargin) feval(target, varargin{:});
      else
        % A class's static member: only the package itself reaches one, so
        % it is called while this folder, and with it the function brelk,
        % is off the path.
        here = fileparts(mfilename('fullpath'));
        rmpath(here);
        restore = onCleanup(@() addpath(here));  %#ok<NASGU> puts it back on return
        call = str2func(['@(varargin) brelk.' strjoin(names, '.') '(varargin{:})']);
      end
      try
        [varargout{1:max(nargout, 1)}] = call(args{:});
      catch err
        % A statement calling something that returns nothing, such as
        % brelk.Camera.reset(): Octave refused the output before running it.
        if nargout > 0 || k <= numel(s) || ...
            ~strcmp(err.message, [names{end} ': function called with too many outputs'])
          rethrow(err);
        end
        call(args{:});
        varargout = {};
        return;
      end
      if k <= numel(s)
        varargout = {subsref(varargout{1}, s(k:end))};
      end
    end

    function disp(~)
      fprintf('  the package +brelk: brelk.<name>(...); help brelk lists the toolbox\n');
    end
  end
end
