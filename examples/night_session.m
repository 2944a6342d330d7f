% night_session.m - a night's work with brelk.Camera, the toolbox's objects.
%
% Connect to the camera, cool it to -10 C with a ramp, take one exposure
% through each of three filters chosen by name, ride out a fault of the
% filter wheel, warm up and close; then save the night's temperature plot
% as a PNG file and print where it is.
%
% With the simulated camera (the default build) the session runs on the
% simulator's manual clock: time passes only while the session waits, so
% the night's hour takes seconds. Just run this script:
%     addpath('<build>/mex'); run('examples/night_session.m')
% With a real camera, set its ID first; the session then takes real time:
%     camera_id = 'MY-CAMERA-ID'; run('examples/night_session.m')
% Set plot_file first to choose where the plot goes.

simulated = exist('brelksim') == 3;  %#ok<EXIST> the simulator's controls are on the path
if ~exist('camera_id', 'var')
  camera_id = 'SIM-MONO';            % monochrome, cooled, with a 7-slot filter wheel
end
if ~exist('plot_file', 'var')
  plot_file = fullfile(tempdir, 'night_session_temperature.png');
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

%% Cool down: the setpoint moves 5 C a minute, then the sensor settles
fprintf('Cooling from %.1f C to -10 C at 5 C a minute:\n', cam.Temperature);
cam.coolTo(-10, 'Rate', 5);
fprintf('At %.2f C (%s), the cooler at %.0f%%\n', cam.Temperature, cam.CoolerState, cam.CoolerPower);

%% One exposure per filter, by name
wheel = cam.FilterWheel;
wheel.Names(1:3) = {'L', 'Ha', 'OIII'};
if simulated
  % A fault to ride out: the wheel's next command fails, once.
  brelksim('script', 'SetBRELKCCDParam', 17, -1, 1);
end
for filter = {'L', 'Ha', 'OIII'}
  try
    wheel.moveTo(filter{1});
  catch err
    if ~strcmp(err.identifier, 'brelk:FilterWheel:sdkFailed')
      rethrow(err);
    end
    fprintf('The wheel failed (%s); trying again\n', err.message);
    wheel.moveTo(filter{1});
  end
  cam.expose(60);                    % done when its time has passed: no frames are downloaded
  fprintf('%-4s slot %d, 60 s at %.2f C\n', filter{1}, wheel.Position, cam.Temperature);
end

%% Warm up and close
fprintf('Warming up at 3 C a minute, quietly\n');
cam.warmUp('ProgressFcn', []);      % no progress lines for this wait
fprintf('At %.1f C, the cooler %s\n', cam.Temperature, cam.CoolerState);
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
fprintf('%d calls, %d temperature readings; the plot: %s\n', numel(cam.Log), ...
        numel(cam.TemperatureLog.Time), plot_file);
