% night_demo.m - a night's work with the BRELK toolbox, stage by stage.
%
% Every toolbox function takes the camera's ID first, prints what it did and
% returns a status: 0 on success, -1 on failure. The stage number in each
% name (BRELK_<stage>_<Action>) gives the order a session follows.
%
% With the simulated camera (the default build), just run this script, from
% the checkout (absolute paths: run changes the folder to the script's):
%     addpath(fullfile(pwd, 'build-octave', 'mex'));
%     run(fullfile(pwd, 'examples', 'night_demo.m'))
% With a real camera, set its ID (and a colour camera's, if you have one)
% first; the simulator's controls (brelksim) are then skipped:
%     camera_id = 'MY-CAMERA-ID'; run(fullfile(pwd, 'examples', 'night_demo.m'))

simulated = exist('brelksim') == 3;  % the simulator's control function is on the path
if ~exist('camera_id', 'var')
  camera_id = 'SIM-MONO';            % monochrome, cooled, with a 7-slot filter wheel
end
if ~exist('colour_id', 'var')
  colour_id = '';
  if simulated
    colour_id = 'SIM-COLOR';         % colour (RGGB), humidity and pressure sensors, no wheel
  end
end
if simulated
  brelksim('reset');                 % the simulated cameras as just switched on
end

% Octave holds printed lines back when its output goes to a pipe.
in_octave = exist('OCTAVE_VERSION', 'builtin') ~= 0;

fprintf('A night with camera %s. Each toolbox function prints its own lines;\n', camera_id);
fprintf('the lines after === headers and the indented tables come from this script.\n');

%% Stages 2 to 4: bring the camera into use
fprintf('\n=== Stages 2-4: read mode, stream mode and initialisation of %s\n', camera_id);
BRELK_2_SetReadMode(camera_id, 0);     % read mode 0, the camera's first
BRELK_3_SetStreamMode(camera_id, 0);   % stream mode 0
status = BRELK_4_InitCamera(camera_id);
if status ~= 0
  error('night_demo: camera %s did not initialise', camera_id);
end

%% Stage 6: exposure settings and the region of interest
fprintf('\n=== Stage 6: gain, offset, exposure time and region of interest\n');
exposure_seconds = 1;
BRELK_6_SetGain(camera_id, 30);
BRELK_6_SetOffset(camera_id, 10);
BRELK_6_SetExposeTime(camera_id, exposure_seconds * 1e6);  % the camera counts microseconds
[~, x0, y0, width, height] = BRELK_7_GetEffective(camera_id);  % the image area, to centre the ROI
roi = [floor((double(width) - 1024) / 2), floor((double(height) - 768) / 2), 1024, 768];
BRELK_6_SetROI(camera_id, roi(1), roi(2), roi(3), roi(4));   % within the image area

%% Stage 7: what the sensor is
fprintf('\n=== Stage 7: sensor geometry\n');
fprintf('Image area: %d x %d pixels from (%d, %d)\n', width, height, x0, y0);
[~, ox, oy, owidth, oheight] = BRELK_7_GetOverscan(camera_id);
fprintf('Overscan:   %d x %d pixels from (%d, %d)\n', owidth, oheight, ox, oy);
[~, chip_w, chip_h, image_w, image_h, pixel_w, pixel_h] = BRELK_7_GetChipInfo(camera_id);
fprintf('Chip:       %.2f x %.2f mm, %d x %d pixels of %.2f x %.2f um\n', ...
       chip_w, chip_h, image_w, image_h, pixel_w, pixel_h);

fprintf('\n=== Stage 7: colour pattern, humidity and pressure (where the camera has them)\n');
fprintf('%s is asked; a camera without the feature says so and returns -1:\n', camera_id);
BRELK_7_GetDebayer(camera_id);
BRELK_7_GetHumidity(camera_id);
if ~isempty(colour_id)
  fprintf('\nThe colour camera %s:\n', colour_id);
  BRELK_2_SetReadMode(colour_id, 0);
  BRELK_3_SetStreamMode(colour_id, 0);
  BRELK_4_InitCamera(colour_id);
  [~, pattern] = BRELK_7_GetDebayer(colour_id);
  fprintf('Its pattern as the output holds it: %s (%s)\n', char(pattern'), mat2str(double(pattern')));
  [~, humidity] = BRELK_7_GetHumidity(colour_id);
  [~, pressure] = BRELK_7_GetPressure(colour_id);
  % No close here: closing releases the SDK, and with it every camera.
end

%% Stage 6 and 7: cool the sensor to a target, watching the temperature
target = -10;
fprintf('\n=== Stages 6-7: cooling the sensor to %d C, reading its temperature\n', target);
[~, start] = BRELK_7_GetTemperature(camera_id);
cooling = BRELK_6_SetCoolerTemperature(camera_id, target) == 0;
reading_every = 15;                  % seconds of camera time between readings
wait = reading_every;
if simulated
  brelksim('timescale', 60);         % the simulated camera lives a minute in a second
  wait = reading_every / 60;
  fprintf('(simulated: a minute of camera time passes in a second)\n');
end
fprintf('  time    sensor   cooled so far\n');
elapsed = 0;
temperature = start;
while cooling && abs(temperature - target) > 0.05 && elapsed < 30 * 60
  pause(wait);
  elapsed = elapsed + reading_every;
  evalc('[~, temperature] = BRELK_7_GetTemperature(camera_id);');  % quietly: we print our own line
  share = min(1, max(0, (start - temperature) / (start - target)));
  fprintf('  %4d s  %6.2f C  %s\n', elapsed, temperature, repmat('#', 1, round(40 * share)));
  if in_octave, fflush(stdout); end
end
BRELK_7_GetTemperature(camera_id);
if simulated
  brelksim('timescale', 1);          % back to real time
end

%% Stage 8: the filter wheel
fprintf('\n=== Stage 8: the filter wheel\n');
if BRELK_8_CheckCFWPlug(camera_id) == 0
  [~, slots] = BRELK_8_GetCFWSlotsNum(camera_id);
  [~, wheel] = BRELK_8_GetCFWStatus(camera_id);
  fprintf('%d slots; the status is the slot as a digit at rest (%d is ''%s''), a letter while moving\n', ...
         slots, wheel, char(wheel));
  slot = 3;
  fprintf('Moving to slot %d, reading the status every half second:\n', slot);
  BRELK_8_SetCFWTarget(camera_id, slot);
  waited = 0;
  wheel = 0;
  while wheel ~= '0' + slot && waited < 30
    pause(0.5);
    waited = waited + 0.5;
    evalc('[~, wheel] = BRELK_8_GetCFWStatus(camera_id);');
    if wheel == '0' + slot
      state = sprintf('arrived at slot %d', slot);
    else
      state = 'moving';
    end
    fprintf('  %4.1f s  status %3d ''%s''  %s\n', waited, wheel, char(wheel), state);
    if in_octave, fflush(stdout); end
  end
end

%% Stage 9: single exposures
fprintf('\n=== Stage 9: a single exposure, then one cancelled\n');
BRELK_9_BeginSingleExpose(camera_id);
fprintf('  ... exposing for %g s; the toolbox returns at once, so the script waits\n', exposure_seconds);
pause(exposure_seconds + 0.2);
fprintf('  ... done. The next one is cancelled after 0.3 s:\n');
BRELK_9_BeginSingleExpose(camera_id);
pause(0.3);
BRELK_9_StopSingleCapture(camera_id);

%% Stage 10: live exposure
fprintf('\n=== Stage 10: live exposure\n');
BRELK_10_BeginLiveExpose(camera_id);
fprintf('  ... live for a second; a single exposure meanwhile is refused:\n');
BRELK_9_BeginSingleExpose(camera_id);
pause(1);
BRELK_10_StopLiveCapture(camera_id);

%% Stage 11: shut down
fprintf('\n=== Stage 11: cooler off, close the camera and release the SDK\n');
BRELK_6_SetCoolerOFF(camera_id);
BRELK_11_CloseCamera(camera_id);      % releasing the SDK closes the colour camera too
fprintf('\nGood night.\n');
