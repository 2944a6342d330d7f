% night_session.m - a night's work with brelk.Sequence on brelk.Camera.
%
% Connect to the camera and plan the night: frames through three filters,
% chosen by name, cooled to -10 C first and warmed up after. The sequence
% records every step in its journal, rides out what goes wrong (here a
% fault of the filter wheel and a camera that drops out for a moment) and
% could go on from the journal after a crash (brelk.Sequence.resume). Then
% save the night's temperature plot as a PNG file beside the journal and
% print where both are.
%
% With the simulated camera (the default build) the session runs on the
% simulator's manual clock: time passes only while the session waits, so
% the night's hour takes seconds. Just run this script:
%     addpath(fullfile(pwd, 'build-octave', 'mex')); run(fullfile(pwd, 'examples', 'night_session.m'))
% With a real camera, set its ID first; the session then takes real time:
%     camera_id = 'MY-CAMERA-ID'; run(fullfile(pwd, 'examples', 'night_session.m'))
% Set plot_file first to choose where the plot goes; the journal goes
% beside it, with the ending .jsonl (a journal of an earlier run of this
% script is replaced).

simulated = exist('brelksim') == 3;  %#ok<EXIST> the simulator's controls are on the path
if ~exist('camera_id', 'var')
  camera_id = 'SIM-MONO';            % monochrome, cooled, with a 7-slot filter wheel
end
if ~exist('plot_file', 'var')
  plot_file = fullfile(tempdir, 'night_session.png');
end
[folder, name] = fileparts(plot_file);
journal_file = fullfile(folder, [name '.jsonl']);
if exist(journal_file, 'file') == 2
  delete(journal_file);              % a new night
end
clock_options = {};
if simulated
  brelksim('reset');                 % the simulated camera as just switched on
  brelksim('clock', 'manual');
  clock_options = {'Clock', @() brelksim('now'), 'Pause', @(s) brelksim('advance', s)};
end

%% Connect and set up
cam = brelk.Camera(camera_id, clock_options{:});
fprintf('Connected to %s: %d x %d pixels of %.2f um\n', cam.ID, cam.Sensor.ImageSize, ...
        cam.Sensor.PixelSize(1));
cam.Gain = 30;
cam.Offset = 10;
area = cam.Sensor.EffectiveArea;     % a centred 1024 x 768 region
cam.ROI = [floor((area(3) - 1024) / 2), floor((area(4) - 768) / 2), 1024, 768];
cam.FilterWheel.Names(1:3) = {'L', 'Ha', 'OIII'};
cam.ProgressFcn = [];                % the sequence tells the night, one line a frame

%% The night's plan: {filter, seconds, count} a step
seq = brelk.Sequence({'L', 60, 3; 'Ha', 120, 2; 'OIII', 120, 2}, 'CoolTo', -10, 'CoolingRate', 5, ...
                     'Journal', journal_file, 'ProgressFcn', @night_progress);
if simulated
  % Faults to ride out: the wheel's first command fails, once; and
  % night_progress makes the camera drop out as the first Ha frame starts.
  brelksim('script', 'SetBRELKCCDParam', 17, -1, 1);
end
fprintf('Cooling to -10 C at 5 C a minute, then %d frames:\n', sum(seq.Remaining));
seq.run(cam);                        % cool, the frames, warm up and the cooler off
fprintf('The sequence is %s: %d of %d frames, the sensor at %.1f C, the cooler %s\n', seq.State, ...
        sum(seq.Done), sum(seq.Done + seq.Remaining), cam.Temperature, cam.CoolerState);

%% What the journal says went wrong, and how the frames went
events = brelk.readLog(journal_file);
for e = events'
  if strcmp(e.Event, 'sequence') && strcmp(e.What, 'retry')
    fprintf('Retried frame %d of step %d after %s\n', e.Index, e.Step, e.Identifier);
  end
end
frames = seq.Frames;
for k = 1:numel(frames)
  fprintf('%-4s %d: %-9s %3g s at %.2f C\n', frames(k).Filter, frames(k).Index, frames(k).Result, ...
          frames(k).Duration, frames(k).TemperatureStart);
end
cam.close();

%% The night's temperatures
% octave-cli draws with gnuplot, which writes PNG itself (-dpngcairo); its
% warnings about itself and about Ghostscript, which that needs not, are
% noise here.
warning('off', 'Octave:gnuplot-graphics');
warning('off', 'print:nogs');
figure_handle = cam.plotTemperature(figure('Visible', 'off'));
set(figure_handle, 'PaperUnits', 'inches', 'PaperPosition', [0 0 8 5]);
device = '-dpng';
if exist('OCTAVE_VERSION', 'builtin') && strcmp(graphics_toolkit(figure_handle), 'gnuplot')
  device = '-dpngcairo';
end
print(figure_handle, device, plot_file);
close(figure_handle);
fprintf('The plot: %s\n', plot_file);
fprintf('The journal: %s\n', journal_file);
