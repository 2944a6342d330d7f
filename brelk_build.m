function folder = brelk_build(sdk, folder)
%BRELK_BUILD Build the BRELK toolbox with this MATLAB's or Octave's mex.
%   brelk_build builds the bundled simulated camera library and all 35
%   toolbox functions against it, with the host's own mex command, into the
%   folder build-matlab-mex/brelk (or build-octave-mex/brelk) of this checkout.
%
%   brelk_build(sdk) builds against the camera maker's SDK in the folder
%   sdk instead: the folder that holds its brelkccd library (brelkccd.lib on
%   Windows, libbrelkccd.so on Linux). The SDK's run-time library found there
%   (brelkccd.dll, libbrelkccd.so) is copied beside the functions; otherwise
%   put it on the system path. An empty sdk means the simulated camera.
%
%   brelk_build(sdk, folder) builds into folder.
%
%   folder = brelk_build(...) returns the absolute path of the folder.
%
%   The folder is a complete toolbox: the MEX functions, each with its help
%   file, Contents.m, the +brelk package (brelk.Camera, brelk.FilterWheel)
%   and the examples, and with the simulated camera its library and its
%   test controls (brelksim). addpath(folder) is all a user does; help
%   brelk then lists the functions.
%
%   Examples
%     brelk_build                                    % simulated camera
%     brelk_build('C:\Program Files\BRELK\SDK\x64')  % the maker's SDK
%     addpath(fullfile(pwd, 'build-matlab-mex', 'brelk'))
%     status = BRELK_4_InitCamera('SIM-MONO')

  root = fileparts(mfilename('fullpath'));
  octave = exist('OCTAVE_VERSION', 'builtin') ~= 0;
  if nargin < 1
    sdk = '';
  end
  if nargin < 2 || isempty(folder)
    if octave
      host = 'octave';
    else
      host = 'matlab';
    end
    folder = fullfile(root, ['build-' host '-mex'], 'brelk');
  end
  compiler = host_compiler(octave);
  manifest = read_manifest(root);
  simulated = isempty(sdk);
  if ~simulated
    sdk = absolute(sdk);
    if ~has_sdk_library(sdk, compiler)
      error('brelk_build: no brelkccd library in %s', sdk);
    end
  end
  if ~exist(folder, 'dir') && ~mkdir(folder)
    error('brelk_build: cannot create the folder %s', folder);
  end
  folder = absolute(folder);
  work = tempname();
  mkdir(work);
  cleanup = onCleanup(@() remove_folder(work));  %#ok<NASGU> removes it on return

  if simulated
    fprintf('Building the simulated camera library in %s\n', folder);
    build_simulator(root, manifest, folder, work, compiler);
    sdk = folder;
  else
    copy_sdk_runtime(sdk, folder);
  end

  gateway = fullfile(root, 'gateway');
  % MATLAB's mex adds its own mexfilerequiredapiversion to every MEX file.
  defines = {};
  if ~octave
    defines = {'-DBRELK_HOST_ADDS_API_VERSION'};
  end
  flags = mex_flags(octave, compiler, sdk);
  restore = set_octave_flags(octave);  %#ok<NASGU> restores on return
  frame = compile_object(octave, fullfile(gateway, 'frame.cpp'), work, ...
                         [defines, {['-I' gateway]}, flags.compile]);

  stages = manifest.STAGES;
  built = 0;
  for s = 1:numel(stages)
    sources = dir(fullfile(root, stages{s}, 'BRELK_*.cpp'));
    for k = 1:numel(sources)
      [~, name] = fileparts(sources(k).name);
      fprintf('Building %s\n', name);
      build_mex(octave, name, folder, ...
                [{['-I' gateway]}, flags.compile, ...
                 {fullfile(root, stages{s}, sources(k).name), frame}, flags.link]);
      copy(fullfile(root, stages{s}, [name '.m']), folder);
      built = built + 1;
    end
  end
  if simulated
    fprintf('Building brelksim, the simulated camera''s controls\n');
    build_mex(octave, 'brelksim', folder, ...
              [defines, {['-I' gateway], ['-I' fullfile(root, 'simulator')]}, flags.compile, ...
               {fullfile(root, 'simulator', 'control', 'brelksim.cpp')}, flags.link]);
    if exist(fullfile(root, 'simulator', 'control', 'brelksim.m'), 'file')
      copy(fullfile(root, 'simulator', 'control', 'brelksim.m'), folder);
    end
  end

  lay_out(root, manifest, folder);
  fprintf('Built %d functions in %s\n', built, folder);
end

% --- the compiler the host's mex uses --------------------------------------

function compiler = host_compiler(octave)
  % kind: 'gnu' (g++, clang++, MinGW) or 'msvc'; cxx: the compiler command;
  % shell: what prepares its environment (MSVC's vcvarsall), or ''.
  compiler = struct('kind', 'gnu', 'cxx', '', 'shell', '');
  if octave
    compiler.cxx = strtrim(mkoctfile('-p', 'CXX'));
    return;
  end
  cc = mex.getCompilerConfigurations('C++', 'Selected');
  if isempty(cc)
    error('brelk_build: no C++ compiler is set up for mex: run mex -setup C++ first');
  end
  cc = cc(1);
  compiler.cxx = cc.Details.CompilerExecutable;
  if ~isempty(strfind(lower(cc.Manufacturer), 'microsoft'))
    compiler.kind = 'msvc';
    compiler.cxx = 'cl';
    % MSVC needs its environment, which MATLAB knows how to set up.
    if isprop(cc.Details, 'CommandLineShell') && ~isempty(cc.Details.CommandLineShell)
      compiler.shell = sprintf('call "%s" %s >nul && ', cc.Details.CommandLineShell, ...
                               cc.Details.CommandLineShellArg);
    end
  elseif ispc && isempty(fileparts(compiler.cxx)) && exist(fullfile(cc.Location, 'bin'), 'dir')
    compiler.cxx = ['"' fullfile(cc.Location, 'bin', compiler.cxx) '"'];
  end
end

% --- the simulated camera ----------------------------------------------------

% From the sources, folders, macros and GNU flags of manifest.mk.
function build_simulator(root, manifest, folder, work, compiler)
  sources = in_checkout(root, manifest.SIMULATOR_SOURCES);
  includes = in_checkout(root, manifest.SIMULATOR_INCLUDES);
  files = sprintf(' "%s"', sources{:});
  if strcmp(compiler.kind, 'msvc')
    options = [sprintf(' /D%s', manifest.SIMULATOR_DEFINES{:}), sprintf(' /I"%s"', includes{:})];
    command = sprintf('%scl /nologo /O2 /EHsc /std:c++17 /LD%s%s /Fo"%s/" /Fe"%s"', compiler.shell, ...
                      options, files, work, fullfile(folder, 'brelkccd.dll'));
  else
    options = [sprintf(' %s', manifest.SIMULATOR_GNU_FLAGS{:}), sprintf(' -D%s', manifest.SIMULATOR_DEFINES{:}), ...
               sprintf(' -I"%s"', includes{:})];
    common = [compiler.cxx options files];
    if ispc
      command = sprintf('%s -shared -static-libgcc -static-libstdc++ -o "%s" -Wl,--out-implib,"%s"', ...
                        common, fullfile(folder, 'brelkccd.dll'), ...
                        fullfile(folder, 'libbrelkccd.dll.a'));
    elseif ismac
      command = sprintf('%s -dynamiclib -install_name @rpath/libbrelkccd.dylib -o "%s"', ...
                        common, fullfile(folder, 'libbrelkccd.dylib'));
    else
      command = sprintf('%s -shared -fPIC -o "%s"', common, fullfile(folder, 'libbrelkccd.so'));
    end
  end
  [failed, output] = system(command);
  if failed
    error('brelk_build: building the simulated camera failed:\n%s\n%s', command, output);
  end
end

function found = has_sdk_library(sdk, compiler)
  if ispc && strcmp(compiler.kind, 'msvc')
    names = {'brelkccd.lib'};
  elseif ispc
    names = {'libbrelkccd.dll.a', 'brelkccd.lib', 'brelkccd.dll'};
  elseif ismac
    names = {'libbrelkccd.dylib'};
  else
    names = {'libbrelkccd.so'};
  end
  found = any(cellfun(@(name) exist(fullfile(sdk, name), 'file') == 2, names));
end

function copy_sdk_runtime(sdk, folder)
  % The maker's run-time library beside the functions, where the host finds it.
  patterns = {'brelkccd.dll', 'libbrelkccd.so*', 'libbrelkccd*.dylib'};
  for p = 1:numel(patterns)
    if ~isempty(dir(fullfile(sdk, patterns{p})))
      copy(fullfile(sdk, patterns{p}), folder);
    end
  end
end

% --- compiling with the host's mex -----------------------------------------

function flags = mex_flags(octave, compiler, sdk)
  % compile: for every source; link: the SDK library, and where it is found
  % at run time on Linux and macOS: beside the functions, or in the SDK.
  flags.compile = {};
  flags.link = {['-L' sdk], '-lbrelkccd'};
  if octave
    return;  % set_octave_flags passes the rest through mkoctfile's variables
  end
  flags.compile = {'-largeArrayDims'};
  if strcmp(compiler.kind, 'msvc')
    flags.compile{end + 1} = 'COMPFLAGS=$COMPFLAGS /std:c++17';
  else
    flags.compile{end + 1} = 'CXXFLAGS=$CXXFLAGS -std=c++17 -fvisibility=hidden';
    if ~ispc
      flags.link{end + 1} = ['LDFLAGS=$LDFLAGS -Wl,-rpath,' sdk];
    end
  end
end

function restore = set_octave_flags(octave)
  % Octave's mkoctfile takes its flags from the environment; each one is
  % put back when the returned object is cleared.
  restore = {};
  if ~octave
    return;
  end
  if ispc
    linker = ' -static-libgcc -static-libstdc++';
  else
    % mkoctfile hands the flags to one shell: keep $ORIGIN for the linker,
    % which then finds the SDK library beside each function.
    linker = ' -Wl,-rpath,\$ORIGIN';
  end
  added = {'CXXFLAGS', ' -std=c++17 -fvisibility=hidden'; 'LDFLAGS', linker};
  for k = 1:size(added, 1)
    before = getenv(added{k, 1});
    value = before;
    if isempty(value)
      value = strtrim(mkoctfile('-p', added{k, 1}));
    end
    setenv(added{k, 1}, [value added{k, 2}]);
    restore{end + 1} = onCleanup(@() setenv(added{k, 1}, before));  %#ok<AGROW>
  end
end

function object = compile_object(octave, source, work, args)
  [~, name] = fileparts(source);
  if octave
    object = fullfile(work, [name '.o']);
    run_mex(octave, [{'-c'}, args, {source, '-o', object}]);
  else
    run_mex(octave, [{'-c'}, args, {source, '-outdir', work}]);
    found = dir(fullfile(work, [name '.o*']));
    if isempty(found)
      error('brelk_build: mex left no object file for %s in %s', source, work);
    end
    object = fullfile(work, found(1).name);
  end
end

function build_mex(octave, name, folder, args)
  if octave
    run_mex(octave, [{'--mex'}, args, {'-o', fullfile(folder, [name '.mex'])}]);
  else
    run_mex(octave, [args, {'-outdir', folder, '-output', name}]);
  end
end

function run_mex(octave, args)
  if octave
    [output, failed] = mkoctfile(args{:});
    if failed
      error('brelk_build: mkoctfile %s failed:\n%s', strjoin(args, ' '), output);
    end
  else
    mex(args{:});  % raises its own error with the compiler's output
  end
end

% --- the toolbox folder, as manifest.mk lays it out ---------------------------

function manifest = read_manifest(root)
  % Each NAME := words line as the field NAME, a cell row of the words.
  text = fileread(fullfile(root, 'manifest.mk'));
  entries = regexp(text, '(?m)^([A-Z_]+)[ \t]*:=([^\r\n]*)', 'tokens');
  manifest = struct();
  for k = 1:numel(entries)
    manifest.(entries{k}{1}) = regexp(entries{k}{2}, '\S+', 'match');
  end
end

function paths = in_checkout(root, files)
  % manifest.mk's paths, from the checkout's top with /, on this system.
  paths = cellfun(@(file) fullfile(root, strrep(file, '/', filesep)), files, 'UniformOutput', false);
end

function lay_out(root, manifest, folder)
  % The files beside the functions and in octave/, and the folders afresh,
  % so that nothing removed from the sources lingers.
  listing = in_checkout(root, manifest.TOOLBOX_LISTING);
  place(in_checkout(root, manifest.TOOLBOX_FILES), folder, '');
  place(in_checkout(root, manifest.TOOLBOX_OCTAVE_FILES), fullfile(folder, 'octave'), fileread(listing{1}));
  sources = in_checkout(root, manifest.TOOLBOX_FOLDERS);
  targets = in_checkout(folder, manifest.TOOLBOX_FOLDERS);
  for k = 1:numel(sources)
    remove_folder(targets{k});
    copy(sources{k}, targets{k});
  end
end

function place(files, folder, listing)
  % A .in file is written without the .in, its @CONTENTS@ the listing: in
  % octave/, Octave's help brelk (see toolbox/octave/brelk_package.m).
  if ~exist(folder, 'dir') && ~mkdir(folder)
    error('brelk_build: cannot create the folder %s', folder);
  end
  for k = 1:numel(files)
    [~, name, extension] = fileparts(files{k});
    if ~strcmp(extension, '.in')
      copy(files{k}, folder);
      continue;
    end
    target = fullfile(folder, name);
    [file, message] = fopen(target, 'w');
    if file < 0
      error('brelk_build: cannot write %s: %s', target, message);
    end
    fwrite(file, strrep(fileread(files{k}), '@CONTENTS@', listing));
    fclose(file);
  end
end

function copy(source, destination)
  [ok, message] = copyfile(source, destination);
  if ~ok
    error('brelk_build: cannot copy %s to %s: %s', source, destination, message);
  end
end

function path = absolute(path)
  previous = cd(path);
  path = pwd;
  cd(previous);
end

function remove_folder(folder)
  if exist(folder, 'dir')
    rmdir(folder, 's');
  end
end
