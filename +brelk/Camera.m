classdef Camera < handle
%CAMERA A cooled camera of the BRELK toolbox as one object: settings, cooling, exposures.
%   cam = brelk.Camera(id) connects to the camera with that ID ('SIM-MONO'
%   or 'SIM-COLOR' on the simulated camera): it sets the read mode and the
%   stream mode, initialises the camera, and reads the sensor's geometry,
%   whether the camera is colour and whether a filter wheel is attached.
%   It is built on the BRELK_* functions, which stay as they are underneath:
%   it checks every status, waits where the camera needs time, and raises an
%   error (see Errors) where a call fails.
%
%   cam = brelk.Camera(id, Name, Value, ...) takes these options:
%     'ReadMode'       the read mode (default 0)
%     'StreamMode'     the stream mode (default 0)
%     'Verbose'        false (default): the lines the functions print are
%                      kept in cam.Log and not shown; true shows them too
%     'ExposureUnit'   the camera's exposure-time units per second (default
%                      1e6: microseconds, as on the simulated camera)
%     'WarmUpOnClose'  true (default): close warms the sensor up first when
%                      the cooler was used
%     'ProgressFcn'    where long waits report progress (see Progress);
%                      [] for nowhere
%     'Clock'          a function handle returning the time in seconds
%                      (default: the computer's clock)
%     'Pause'          a function handle that waits the seconds it is given
%                      (default: @pause)
%   On the simulated camera a rehearsal or a test can run on its manual
%   clock, so that no wait takes real time:
%     brelksim('clock', 'manual');
%     cam = brelk.Camera('SIM-MONO', 'Clock', @() brelksim('now'), ...
%                        'Pause', @(s) brelksim('advance', s));
%
%   Example
%     cam = brelk.Camera('SIM-MONO');
%     cam.Gain = 30;
%     cam.coolTo(-10, 'Rate', 5);        % a ramp of 5 C a minute, then settle
%     cam.FilterWheel.moveTo('3');       % a slot by name
%     cam.expose(2);                     % two seconds
%     cam.close();                       % warms up, cooler off, closes
%
%   Properties, read only:
%     ID              the camera ID
%     IsColor         true for a colour camera
%     BayerPattern    its colour filter pattern, such as 'RGGB'; '' for a
%                     monochrome camera (or a pattern the camera does not name)
%     Sensor          struct: ChipSize [width height] in mm, ImageSize
%                     [width height] in pixels, PixelSize [width height] in
%                     um, EffectiveArea and OverscanArea [x y width height]
%                     in pixels
%     FilterWheel     the attached brelk.FilterWheel, or [] without one
%     ReadMode, StreamMode, ExposureUnit   as given when connecting
%   Properties written through to the camera when set; reading one gives
%   the value last set through this object, [] before that:
%     Gain, Offset, Brightness, Contrast, Traffic   finite real numbers
%     Gamma           a finite number above 0
%     ExposureTime    seconds, above 0 (sent as seconds * ExposureUnit)
%     DDR             true or false
%     ROI             [x y width height]: whole pixels within the effective
%                     area, x and y counted from its corner
%   Properties read from the camera on each access:
%     Temperature     the sensor temperature, C (added to TemperatureLog)
%     CoolerPower     the cooler's power, percent. Setting it (0 to 100)
%                     runs the cooler at that fixed power instead of
%                     regulating to a setpoint; 0 switches it off.
%     Humidity, Pressure   where the camera has the sensor
%   Cooling:
%     TemperatureSetpoint  the target the cooler regulates to, C; [] when
%                     there is none. Setting it starts regulation there at
%                     once, and no wait (coolTo ramps and waits).
%     CoolerState     'off'; 'ramping' (a coolTo ramp moving the
%                     setpoint); 'settling' (at the setpoint's target but
%                     not yet within the tolerance, or at a fixed
%                     CoolerPower); 'at target' (within the tolerance);
%                     'warming' (warmUp under way); 'stalled' (the cooler
%                     could not reach the target, see coolTo)
%     TemperatureLog  struct of column vectors Time (s since connecting),
%                     Temperature, Setpoint (NaN with none), Power (percent,
%                     NaN where unread): one row per temperature read, by
%                     Temperature, CoolerState and every cooling wait
%   Exposures:
%     State           'idle', 'exposing', 'live' or 'closed'
%     PercentCompleted  how far the running exposure is, 0 to 100; after it,
%                     where it ended (100, or less when aborted)
%   Everything else:
%     Log             struct array, one element per toolbox function called:
%                     Time (s since connecting), Function, Inputs (after the
%                     ID), Status, Text (what it printed)
%     Verbose, WarmUpOnClose, ProgressFcn   the options, settable
%
%   Methods (each has its own help too, e.g. help brelk.Camera.coolTo):
%     coolTo(target, Name, Value, ...)
%         Regulates to target (C) and waits until the sensor is within
%         'Tolerance' of it (default 0.2 C). 'Rate' (C per minute; default
%         0, at once) or 'Duration' (minutes) moves the setpoint there from
%         the present temperature in steps of 0.1 C. 'Wait' (default true;
%         false returns at once, and the ramp moves on as the camera is
%         read). 'Timeout' (seconds, default Inf). 'StallTime' (seconds,
%         default 120): at 99% power or more and no 0.1 C closer for that
%         long, CoolerState becomes 'stalled' and
%         brelk:Camera:temperatureNotReached is raised. 'ProgressFcn'.
%     warmUp(Name, Value, ...)
%         Moves the setpoint up from the present temperature to 'Target'
%         (default 20 C) at 'Rate' (default 3 C per minute), until the
%         sensor is within 'Tolerance' (default 0.2 C) of the target or
%         has held still for 'StallTime' (default 120 s) below the
%         setpoint (ambient colder than the target); then switches the
%         cooler off. 'Timeout' (default Inf), 'ProgressFcn'.
%     waitForTemperature(tolerance, timeout)
%         Waits for the target of coolTo or TemperatureSetpoint (tolerance
%         default: the last coolTo's; timeout default Inf).
%     startExposure(seconds)   sets ExposureTime where it differs, starts
%                              one exposure and returns
%     waitForExposure(timeout) waits until its time has passed (timeout
%                              default Inf)
%     expose(seconds, 'Timeout', t, 'ProgressFcn', f)   both of the above
%     abortExposure()          cancels it; nothing when none runs
%     startLive(), stopLive()  live exposure, which runs until stopped
%     close()                  ends exposures, warms up where the cooler was
%                              used (WarmUpOnClose), cooler off, closes
%     plotTemperature(figure)  TemperatureLog against minutes: temperature
%                              and setpoint, and power on a second axis;
%                              returns the figure (a new one without it)
%   The toolbox downloads no frames: an exposure is done when its time has
%   passed on the clock, and the layer waits for exactly that.
%
%   Progress. Long waits (cooling, warm-up, the filter wheel, long
%   exposures) call ProgressFcn(info) after every poll of the camera, with
%   info a struct: ID, Operation ('cooling', 'warming', 'wheel' or
%   'exposure'), Elapsed (seconds of the wait, 0 on the first poll), Done,
%   and for cooling and warming Temperature, Setpoint, Power and Target, for
%   the wheel Position and Target, for an exposure PercentCompleted. The
%   default prints one short line per 30 s of camera time (temperature,
%   setpoint, power, time elapsed), so short waits print nothing.
%   'ProgressFcn', [] silences it, for the camera or for one call.
%
%   Errors are MException objects with the identifier brelk:Camera:<mnemonic>;
%   where a toolbox function failed, the message quotes the line it printed:
%     brelk:Camera:notConnected      the camera did not open ('Open BRELKCCD
%                                    failed.'): a wrong ID, or unplugged
%     brelk:Camera:sdkFailed         a function returned -1 otherwise
%     brelk:Camera:notSupported      the camera lacks the feature (Humidity
%                                    and Pressure on SIM-MONO)
%     brelk:Camera:invalidValue      a value or option that is not scalar,
%                                    not real, NaN, of the wrong class or
%                                    out of range; raised before anything
%                                    is sent to the camera
%     brelk:Camera:invalidOperation  not now: an exposure while one runs,
%                                    waiting for a temperature with no
%                                    setpoint, plotting an empty log, a
%                                    wait whose 'Clock' its 'Pause' does
%                                    not move
%     brelk:Camera:timeout           a wait ran out of its 'Timeout'
%     brelk:Camera:temperatureNotReached   the cooler stalled (see coolTo)
%     brelk:Camera:closed            the camera was closed
%   For example:
%     try
%       cam.coolTo(-40);
%     catch err
%       if strcmp(err.identifier, 'brelk:Camera:temperatureNotReached')
%         cam.coolTo(-10);
%       else
%         rethrow(err);
%       end
%     end
%
%   Several cameras. BRELK_11_CloseCamera also releases the SDK, which
%   closes every camera: close stops this camera's exposures and cooler and
%   leaves the release to the last brelk.Camera to close. clear, or any
%   other end of the last reference to a Camera, closes it (delete) without
%   raising an error.
%
%   See also brelk.FilterWheel, brelksim.

  properties (SetAccess = private)
    ID = ''
    IsColor = false
    BayerPattern = ''
    Sensor = struct('ChipSize', [], 'ImageSize', [], 'PixelSize', [], 'EffectiveArea', [], ...
                    'OverscanArea', [])
    ReadMode = 0
    StreamMode = 0
    ExposureUnit = 1e6
  end

  properties (Dependent, SetAccess = private)
    Temperature
    Humidity
    Pressure
    CoolerState
    State
    PercentCompleted
    TemperatureLog
    Log
  end

  properties (Dependent)
    FilterWheel
    Gain
    Offset
    ExposureTime
    Brightness
    Contrast
    Gamma
    Traffic
    DDR
    ROI
    CoolerPower
    TemperatureSetpoint
    Verbose
    WarmUpOnClose
    ProgressFcn
  end

  properties (Access = private)
    Link = []
    Wheel = []
    Settings = struct('Gain', [], 'Offset', [], 'ExposureTime', [], 'Brightness', [], ...
                      'Contrast', [], 'Gamma', [], 'Traffic', [], 'DDR', [], 'ROI', [])
    WarmUp = true
    % The cooler as the layer drives it. Mode: 'off', 'regulating' (to
    % Target), 'warming', 'stalled' or 'fixed' (a set CoolerPower).
    % Setpoint is what the camera holds now (a ramp's step), NaN without one.
    Cooler = struct('Mode', 'off', 'Target', [], 'Tolerance', 0.2, 'StallTime', 120, ...
                    'Setpoint', NaN, 'Ramp', [], 'Used', false)
  end

  methods
    function obj = Camera(id, varargin)
      % The Link first: it checks what the constructor is given.
      obj.Link = brelk.internal.Link();
      if nargin < 1
        obj.Link.raise('Camera', 'invalidValue', 'Give the camera ID: brelk.Camera(''SIM-MONO'').');
      end
      id = obj.Link.checked('Camera', 'The camera ID', id, 'text');
      opts = obj.Link.options('Camera', {
        'ReadMode',      0,     'count'
        'StreamMode',    0,     'count'
        'Verbose',       false, 'logical'
        'ExposureUnit',  1e6,   'positive'
        'WarmUpOnClose', true,  'logical'
        'ProgressFcn',   obj.Link.defaultProgress(), 'progress'
        'Clock',         [],    'function'
        'Pause',         @pause, 'function'}, varargin);
      if isempty(opts.Clock)
        started = tic;
        opts.Clock = @() toc(started);
      end
      obj.ID = id;
      obj.ReadMode = opts.ReadMode;
      obj.StreamMode = opts.StreamMode;
      obj.ExposureUnit = opts.ExposureUnit;
      obj.WarmUp = opts.WarmUpOnClose;
      obj.Link.setUp(id, opts.Verbose, opts.Clock, opts.Pause, opts.ProgressFcn);
      obj.Link.registry('add', id);
      try
        obj.connect();
      catch err
        % Not open, so nothing to close: delete, which both hosts call on
        % a constructor's failure, finds it closed.
        obj.Link.Open = false;
        obj.Link.registry('remove', id);
        rethrow(err);
      end
    end

    function value = get.FilterWheel(obj)
      value = obj.Wheel;
    end
    function set.FilterWheel(obj, value)
      % Octave writes the wheel back after cam.FilterWheel.Names(k) = ...,
      % which changed the wheel itself; anything else would replace it.
      if ~(isa(value, 'brelk.FilterWheel') || (isempty(value) && isempty(obj.Wheel)))
        obj.Link.raise('Camera', 'invalidOperation', 'The FilterWheel of %s is its own and cannot be set.', ...
                       obj.ID);
      end
    end

    % --- settings, written through ----------------------------------------

    function set.Gain(obj, value)
      obj.write('Gain', value);
    end
    function value = get.Gain(obj)
      value = obj.Settings.Gain;
    end
    function set.Offset(obj, value)
      obj.write('Offset', value);
    end
    function value = get.Offset(obj)
      value = obj.Settings.Offset;
    end
    function set.ExposureTime(obj, value)
      obj.write('ExposureTime', value);
    end
    function value = get.ExposureTime(obj)
      value = obj.Settings.ExposureTime;
    end
    function set.Brightness(obj, value)
      obj.write('Brightness', value);
    end
    function value = get.Brightness(obj)
      value = obj.Settings.Brightness;
    end
    function set.Contrast(obj, value)
      obj.write('Contrast', value);
    end
    function value = get.Contrast(obj)
      value = obj.Settings.Contrast;
    end
    function set.Gamma(obj, value)
      obj.write('Gamma', value);
    end
    function value = get.Gamma(obj)
      value = obj.Settings.Gamma;
    end
    function set.Traffic(obj, value)
      obj.write('Traffic', value);
    end
    function value = get.Traffic(obj)
      value = obj.Settings.Traffic;
    end
    function set.DDR(obj, value)
      obj.write('DDR', value);
    end
    function value = get.DDR(obj)
      value = obj.Settings.DDR;
    end
    function set.ROI(obj, value)
      obj.write('ROI', value);
    end
    function value = get.ROI(obj)
      value = obj.Settings.ROI;
    end

    % --- readings -------------------------------------------------------

    function value = get.Temperature(obj)
      obj.Link.ensureOpen('Camera');
      obj.followRamp();
      value = obj.readTemperature();
    end

    function value = get.CoolerPower(obj)
      obj.Link.ensureOpen('Camera');
      value = obj.Link.require('Camera', 'BRELK_7_GetCoolerPWM');
    end

    function set.CoolerPower(obj, value)
      obj.Link.ensureOpen('Camera');
      value = obj.Link.checked('Camera', 'CoolerPower', value, 'percent');
      obj.Link.require('Camera', 'BRELK_6_SetCoolerPWM', value);
      if value == 0
        obj.coolerStopped();
      else
        obj.Cooler = struct('Mode', 'fixed', 'Target', [], 'Tolerance', obj.Cooler.Tolerance, ...
                            'StallTime', obj.Cooler.StallTime, 'Setpoint', NaN, 'Ramp', [], 'Used', true);
      end
    end

    function value = get.Humidity(obj)
      obj.Link.ensureOpen('Camera');
      value = obj.Link.require('Camera', 'BRELK_7_GetHumidity');
    end

    function value = get.Pressure(obj)
      obj.Link.ensureOpen('Camera');
      value = obj.Link.require('Camera', 'BRELK_7_GetPressure');
    end

    % --- cooling --------------------------------------------------------

    function value = get.TemperatureSetpoint(obj)
      value = obj.Cooler.Target;
    end

    function set.TemperatureSetpoint(obj, value)
      obj.Link.ensureOpen('Camera');
      value = obj.Link.checked('Camera', 'TemperatureSetpoint', value, 'real');
      obj.regulate(value, value, 0, obj.Cooler.Tolerance, obj.Cooler.StallTime);
    end

    function value = get.CoolerState(obj)
      if ~obj.Link.Open
        value = 'off';
        return;
      end
      switch obj.Cooler.Mode
        case 'off'
          value = 'off';
        case 'fixed'
          value = 'settling';
        case {'warming', 'stalled'}
          value = obj.Cooler.Mode;
        otherwise  % regulating
          obj.followRamp();
          temperature = obj.readTemperature();
          if ~isempty(obj.Cooler.Ramp)
            value = 'ramping';
          elseif abs(temperature - obj.Cooler.Target) <= obj.Cooler.Tolerance
            value = 'at target';
          else
            value = 'settling';
          end
      end
    end

    function value = get.TemperatureLog(obj)
      value = obj.Link.temperatureLog();
    end

    function coolTo(obj, target, varargin)
    %COOLTO Cool the sensor to a target temperature, with a ramp, and wait for it.
    %   cam.coolTo(target) sets the cooler's setpoint to target (C) and waits
    %   until the sensor is within 0.2 C of it.
    %   cam.coolTo(target, Name, Value, ...) takes these options:
    %     'Rate'       C per minute: the setpoint moves from the present
    %                  temperature to the target in steps of 0.1 C at this
    %                  rate; 0 (default) sets the target at once
    %     'Duration'   minutes the ramp takes, instead of 'Rate'
    %     'Tolerance'  how close counts as there, C (default 0.2)
    %     'Wait'       true (default); false returns once the ramp is set
    %                  up (it moves on whenever the camera is read:
    %                  Temperature, CoolerState, waitForTemperature)
    %     'Timeout'    seconds of waiting before brelk:Camera:timeout
    %                  (default Inf)
    %     'StallTime'  seconds (default 120): when the cooler runs at 99%
    %                  power or more and the sensor has come no 0.1 C closer
    %                  to the target for this long, the target cannot be
    %                  reached: CoolerState becomes 'stalled' and
    %                  brelk:Camera:temperatureNotReached is raised. Where
    %                  the camera gives no power reading the temperature
    %                  alone decides.
    %     'ProgressFcn'  for this call (see help brelk.Camera)
    %   The cooler goes on regulating after the error; warmUp or another
    %   target ends it.
    %
    %   Example
    %     cam.coolTo(-10, 'Rate', 3, 'Timeout', 1800)
      obj.Link.ensureOpen('Camera');
      if nargin < 2
        obj.Link.raise('Camera', 'invalidValue', 'coolTo needs the target temperature in C.');
      end
      target = obj.Link.checked('Camera', 'The target temperature', target, 'real');
      [opts, given] = obj.Link.options('Camera', {
        'Rate',        0,   'nonnegative'
        'Duration',    [],  'nonnegative'
        'Tolerance',   0.2, 'positive'
        'Wait',        true, 'logical'
        'Timeout',     Inf, 'seconds'
        'StallTime',   120, 'seconds'
        'ProgressFcn', obj.Link.ProgressFcn, 'progress'}, varargin);
      if given.Rate && given.Duration
        obj.Link.raise('Camera', 'invalidValue', 'Give coolTo a ''Rate'' or a ''Duration'', not both.');
      end
      rate = opts.Rate / 60;
      start = target;
      if given.Duration || rate > 0
        start = obj.readTemperature();
      end
      if given.Duration
        rate = abs(target - start) / (opts.Duration * 60);  % Duration 0: Inf, at once
      end
      obj.regulate(start, target, rate, opts.Tolerance, opts.StallTime);
      if opts.Wait
        obj.waitCooling(opts.Timeout, opts.ProgressFcn);
      end
    end

    function waitForTemperature(obj, tolerance, timeout)
    %WAITFORTEMPERATURE Wait until the sensor is at the setpoint's target.
    %   cam.waitForTemperature() waits until the sensor temperature is within
    %   the tolerance of the last coolTo (0.2 C by default) of the target set
    %   by coolTo or TemperatureSetpoint, moving a ramp on as it goes.
    %   cam.waitForTemperature(tolerance, timeout) takes the tolerance in C
    %   and a timeout in seconds (default Inf), after which
    %   brelk:Camera:timeout is raised. A stalled cooler raises
    %   brelk:Camera:temperatureNotReached, as in coolTo; with no setpoint,
    %   brelk:Camera:invalidOperation.
      obj.Link.ensureOpen('Camera');
      if ~any(strcmp(obj.Cooler.Mode, {'regulating', 'stalled'}))
        obj.Link.raise('Camera', 'invalidOperation', ...
                       '%s has no temperature setpoint to wait for: use coolTo or TemperatureSetpoint.', obj.ID);
      end
      if nargin >= 2 && ~isempty(tolerance)
        obj.Cooler.Tolerance = obj.Link.checked('Camera', 'The tolerance', tolerance, 'positive');
      end
      if nargin < 3 || isempty(timeout)
        timeout = Inf;
      end
      timeout = obj.Link.checked('Camera', 'The timeout', timeout, 'seconds');
      obj.Cooler.Mode = 'regulating';
      obj.waitCooling(timeout, obj.Link.ProgressFcn);
    end

    function warmUp(obj, varargin)
    %WARMUP Ramp the sensor up to a warm target, then switch the cooler off.
    %   cam.warmUp() moves the setpoint up from the present temperature at
    %   3 C per minute to 20 C. It finishes when the sensor is within 0.2 C
    %   of the target, or when the temperature has held still (within
    %   0.1 C) for 'StallTime' below the setpoint, as it does when the
    %   ambient is colder than the target; then it switches the cooler off.
    %   A sensor at or above the target only has its cooler switched off.
    %   cam.warmUp(Name, Value, ...) takes these options:
    %     'Rate'       C per minute (default 3); 0 sets the target at once
    %     'Target'     C (default 20)
    %     'Tolerance'  C (default 0.2)
    %     'StallTime'  seconds (default 120)
    %     'Timeout'    seconds before brelk:Camera:timeout (default Inf);
    %                  the cooler is then left as it is
    %     'ProgressFcn'  for this call (see help brelk.Camera)
      obj.Link.ensureOpen('Camera');
      opts = obj.Link.options('Camera', {
        'Rate',        3,   'nonnegative'
        'Target',      20,  'real'
        'Tolerance',   0.2, 'positive'
        'StallTime',   120, 'seconds'
        'Timeout',     Inf, 'seconds'
        'ProgressFcn', obj.Link.ProgressFcn, 'progress'}, varargin);
      temperature = obj.readTemperature();
      if temperature < opts.Target - opts.Tolerance
        obj.Cooler.Mode = 'warming';
        obj.Cooler.Target = opts.Target;
        obj.startRamp(temperature, opts.Target, opts.Rate / 60);
        still = struct('Temperature', temperature, 'Since', obj.Link.now(), ...
                       'Tolerance', opts.Tolerance, 'StallTime', opts.StallTime);
        obj.Link.wait('Camera', 'warming', @(s) obj.warmingStep(s), still, opts.Timeout, ...
                      opts.ProgressFcn);
      end
      obj.Link.require('Camera', 'BRELK_6_SetCoolerOFF');
      obj.coolerStopped();
    end

    % --- exposures ------------------------------------------------------

    function value = get.State(obj)
      value = obj.Link.exposureState();
    end

    function value = get.PercentCompleted(obj)
      value = obj.Link.exposurePercent();
    end

    function startExposure(obj, seconds)
    %STARTEXPOSURE Start a single exposure and return at once.
    %   cam.startExposure(seconds) sets ExposureTime to seconds where it
    %   differs and starts one exposure. An exposure or live view under way
    %   raises brelk:Camera:invalidOperation.
      obj.Link.ensureOpen('Camera');
      if nargin < 2
        obj.Link.raise('Camera', 'invalidValue', 'startExposure needs the exposure time in seconds.');
      end
      seconds = obj.Link.checked('Camera', 'The exposure time', seconds, 'positive');
      obj.refuseWhileBusy('start an exposure');
      if ~isequal(obj.Settings.ExposureTime, seconds)
        obj.write('ExposureTime', seconds);
      end
      obj.Link.require('Camera', 'BRELK_9_BeginSingleExpose');
      obj.Link.exposureStarted(seconds);
    end

    function waitForExposure(obj, timeout)
    %WAITFOREXPOSURE Wait until the running exposure's time has passed.
    %   cam.waitForExposure() returns once the exposure started last has
    %   run its time (at once when none runs). cam.waitForExposure(timeout)
    %   raises brelk:Camera:timeout after timeout seconds instead. Live view
    %   raises brelk:Camera:invalidOperation: it runs until stopLive.
      obj.Link.ensureOpen('Camera');
      if nargin < 2 || isempty(timeout)
        timeout = Inf;
      end
      timeout = obj.Link.checked('Camera', 'The timeout', timeout, 'seconds');
      obj.waitExposure(timeout, obj.Link.ProgressFcn);
    end

    function expose(obj, seconds, varargin)
    %EXPOSE Take a single exposure: start it and wait for it.
    %   cam.expose(seconds) is startExposure(seconds) then waitForExposure.
    %   cam.expose(seconds, 'Timeout', t, 'ProgressFcn', f) passes a timeout
    %   (default Inf) and a progress function for the wait.
      if nargin < 2
        obj.Link.ensureOpen('Camera');
        obj.Link.raise('Camera', 'invalidValue', 'expose needs the exposure time in seconds.');
      end
      opts = obj.Link.options('Camera', {
        'Timeout',     Inf, 'seconds'
        'ProgressFcn', obj.Link.ProgressFcn, 'progress'}, varargin);
      obj.startExposure(seconds);
      obj.waitExposure(opts.Timeout, opts.ProgressFcn);
    end

    function abortExposure(obj)
    %ABORTEXPOSURE Cancel the running exposure; nothing when none runs.
      obj.Link.ensureOpen('Camera');
      if strcmp(obj.Link.exposureState(), 'exposing')
        obj.Link.require('Camera', 'BRELK_9_StopSingleCapture');
        obj.Link.exposureEnded();
      end
    end

    function startLive(obj)
    %STARTLIVE Start live exposure, which runs until stopLive.
    %   A single exposure under way raises brelk:Camera:invalidOperation;
    %   live view already running is left as it is.
      obj.Link.ensureOpen('Camera');
      if strcmp(obj.Link.exposureState(), 'live')
        return;
      end
      obj.refuseWhileBusy('start live exposure');
      obj.Link.require('Camera', 'BRELK_10_BeginLiveExpose');
      obj.Link.liveSwitched(true);
    end

    function stopLive(obj)
    %STOPLIVE Stop live exposure; nothing when it is not running.
      obj.Link.ensureOpen('Camera');
      if strcmp(obj.Link.exposureState(), 'live')
        obj.Link.require('Camera', 'BRELK_10_StopLiveCapture');
        obj.Link.liveSwitched(false);
      end
    end

    % --- the rest -------------------------------------------------------

    function value = get.Log(obj)
      value = obj.Link.callLog();
    end

    function value = get.Verbose(obj)
      value = obj.Link.Verbose;
    end
    function set.Verbose(obj, value)
      obj.Link.Verbose = obj.Link.checked('Camera', 'Verbose', value, 'logical');
    end

    function value = get.WarmUpOnClose(obj)
      value = obj.WarmUp;
    end
    function set.WarmUpOnClose(obj, value)
      obj.WarmUp = obj.Link.checked('Camera', 'WarmUpOnClose', value, 'logical');
    end

    function value = get.ProgressFcn(obj)
      value = obj.Link.ProgressFcn;
    end
    function set.ProgressFcn(obj, value)
      obj.Link.ProgressFcn = obj.Link.checked('Camera', 'ProgressFcn', value, 'progress');
    end

    function close(obj)
    %CLOSE Warm up where needed, switch the cooler off and close the camera.
    %   cam.close() ends an exposure or live view under way; warms the
    %   sensor up first (warmUp with its defaults) when the cooler was used
    %   and WarmUpOnClose is true; switches the cooler off; and calls
    %   BRELK_11_CloseCamera, which closes the camera and releases the SDK.
    %   While other brelk.Camera objects are open the SDK stays: the last
    %   one to close releases it. While another Camera on the same ID is
    %   open, close only lets go of this object and leaves the camera to
    %   it. Closing a closed camera does nothing. Each step is tried even
    %   when one before it fails; the first failure is raised at the end.
      if isempty(obj.Link) || ~obj.Link.Open
        return;
      end
      [same, others] = obj.Link.registry('count', obj.ID);
      failure = [];
      if same == 0
        failure = attempt(failure, @() obj.abortExposure());
        failure = attempt(failure, @() obj.stopLive());
        if obj.Cooler.Used && obj.WarmUp
          failure = attempt(failure, @() obj.warmUp());
        end
        failure = attempt(failure, @() obj.Link.require('Camera', 'BRELK_6_SetCoolerOFF'));
        obj.coolerStopped();
        if others == 0
          failure = attempt(failure, @() obj.Link.require('Camera', 'BRELK_11_CloseCamera'));
        end
      end
      obj.Link.Open = false;
      obj.Link.registry('remove', obj.ID);
      if ~isempty(failure)
        rethrow(failure);
      end
    end

    function delete(obj)
      % Closes without raising: a failure is only a warning here.
      try
        obj.close();
      catch err
        warning(err.identifier, '%s', err.message);
      end
    end

    function f = plotTemperature(obj, f)
    %PLOTTEMPERATURE Plot the temperature log: temperature and setpoint, and power.
    %   f = cam.plotTemperature() plots TemperatureLog in a new figure: the
    %   sensor temperature and the setpoint (C, left axis) and the cooler's
    %   power (percent, right axis) against minutes since connecting, and
    %   returns the figure. cam.plotTemperature(f) draws into the figure f
    %   instead, such as an invisible one to save to a file:
    %     f = cam.plotTemperature(figure('Visible', 'off'));
    %     print(f, '-dpng', 'cooling.png');  % '-dpngcairo' in octave-cli
    %   It works after close too. An empty log raises
    %   brelk:Camera:invalidOperation.
      readings = obj.Link.temperatureLog();
      if isempty(readings.Time)
        obj.Link.raise('Camera', 'invalidOperation', ...
                       'No temperature of %s has been read yet: there is nothing to plot.', obj.ID);
      end
      if nargin < 2
        f = figure();
      elseif ~(isscalar(f) && ishghandle(f) && strcmp(get(f, 'Type'), 'figure'))
        obj.Link.raise('Camera', 'invalidValue', ...
                       'plotTemperature takes a figure, such as figure(''Visible'', ''off'').');
      end
      clf(f);
      minutes = readings.Time / 60;
      [ax, temperature, power] = plotyy(axes('Parent', f), minutes, ...
                                        [readings.Temperature, readings.Setpoint], minutes, readings.Power);
      set(temperature(2), 'LineStyle', '--');
      set(ax(2), 'YLim', [0 105]);          % full power shows below the frame
      % Room for both axes' labels and the title: octave-cli's gnuplot
      % leaves none of its own beside two y axes.
      set(ax, 'Position', [0.13 0.14 0.72 0.74]);
      xlabel(ax(1), 'Time (min)');
      ylabel(ax(1), 'Temperature (C)');
      ylabel(ax(2), 'Cooler power (%)');
      title(ax(1), ['Sensor of ' obj.ID], 'Interpreter', 'none');
      legend(ax(1), {'Sensor', 'Setpoint'});
    end

    function disp(obj)
      % No camera calls here: displaying an object should not change its logs.
      if isempty(obj.Link)
        fprintf('  brelk.Camera (not connected)\n');
        return;
      end
      kind = 'monochrome';
      if obj.IsColor
        kind = ['colour ' obj.BayerPattern];
      end
      wheel = 'no filter wheel';
      if ~isempty(obj.Wheel)
        wheel = sprintf('a %d-slot filter wheel', obj.Wheel.SlotCount);
      end
      fprintf('  brelk.Camera %s: %s, %d x %d pixels, %s\n', obj.ID, kind, ...
              obj.Sensor.ImageSize, wheel);
      if ~obj.Link.Open
        fprintf('  closed\n');
        return;
      end
      cooler = obj.Cooler.Mode;
      if any(strcmp(cooler, {'regulating', 'stalled'}))
        cooler = sprintf('%s to %g C', cooler, obj.Cooler.Target);
      end
      fprintf('  State: %s; cooler: %s\n', obj.Link.exposureState(), cooler);
    end
  end

  methods (Access = private)
    function connect(obj)
      link = obj.Link;
      link.require('Camera', 'BRELK_2_SetReadMode', obj.ReadMode);
      link.require('Camera', 'BRELK_3_SetStreamMode', obj.StreamMode);
      link.require('Camera', 'BRELK_4_InitCamera');
      [chipW, chipH, imageW, imageH, pixelW, pixelH] = link.require('Camera', 'BRELK_7_GetChipInfo');
      effective = cell(1, 4);
      overscan = cell(1, 4);
      [effective{:}] = link.require('Camera', 'BRELK_7_GetEffective');
      [overscan{:}] = link.require('Camera', 'BRELK_7_GetOverscan');
      obj.Sensor = struct('ChipSize', [chipW chipH], 'ImageSize', double([imageW imageH]), ...
                          'PixelSize', [pixelW pixelH], 'EffectiveArea', double([effective{:}]), ...
                          'OverscanArea', double([overscan{:}]));
      % A monochrome camera fails the colour guard; a colour one with a
      % pattern code the toolbox does not know still counts as colour.
      [status, text, pattern] = link.call('BRELK_7_GetDebayer');
      obj.IsColor = status == 0 || isempty(strfind(text, 'don''t support color'));
      if status == 0
        obj.BayerPattern = char(pattern(:)');
      end
      if link.call('BRELK_8_CheckCFWPlug') == 0
        obj.Wheel = brelk.FilterWheel(link);
      end
    end

    function write(obj, name, value)
      obj.Link.ensureOpen('Camera');
      switch name
        case 'ExposureTime'
          value = obj.Link.checked('Camera', name, value, 'positive');
          inputs = {value * obj.ExposureUnit};
        case 'Gamma'
          value = obj.Link.checked('Camera', name, value, 'positive');
          inputs = {value};
        case 'DDR'
          value = obj.Link.checked('Camera', name, value, 'logical');
          inputs = {double(value)};
        case 'ROI'
          value = obj.checkedROI(value);
          inputs = num2cell(value);
        otherwise
          value = obj.Link.checked('Camera', name, value, 'real');
          inputs = {value};
      end
      setters = struct('Gain', 'BRELK_6_SetGain', 'Offset', 'BRELK_6_SetOffset', ...
                       'ExposureTime', 'BRELK_6_SetExposeTime', 'Brightness', 'BRELK_6_SetLiveBrightness', ...
                       'Contrast', 'BRELK_6_SetLiveContrast', 'Gamma', 'BRELK_6_SetLiveGamma', ...
                       'Traffic', 'BRELK_6_SetTraffic', 'DDR', 'BRELK_6_SetDDR', 'ROI', 'BRELK_6_SetROI');
      obj.Link.require('Camera', setters.(name), inputs{:});
      obj.Settings.(name) = value;
    end

    function roi = checkedROI(obj, roi)
      area = obj.Sensor.EffectiveArea;
      ok = isnumeric(roi) && isreal(roi) && numel(roi) == 4 && all(isfinite(roi(:)));
      if ok
        roi = double(roi(:)');
        ok = all(roi == round(roi)) && all(roi(1:2) >= 0) && all(roi(3:4) >= 1) ...
             && roi(1) + roi(3) <= area(3) && roi(2) + roi(4) <= area(4);
      end
      if ~ok
        obj.Link.raise('Camera', 'invalidValue', ...
                       'ROI must be [x y width height] in whole pixels within the %d x %d effective area.', ...
                       area(3), area(4));
      end
    end

    function refuseWhileBusy(obj, what)
      state = obj.Link.exposureState();
      if ~strcmp(state, 'idle')
        obj.Link.raise('Camera', 'invalidOperation', 'Cannot %s: %s is %s.', what, obj.ID, state);
      end
    end

    % The temperature and the power, added to the temperature log. The power
    % is only logged: a camera that cannot tell it still has a temperature.
    function [temperature, power] = readTemperature(obj)
      temperature = obj.Link.require('Camera', 'BRELK_7_GetTemperature');
      [status, ~, power] = obj.Link.call('BRELK_7_GetCoolerPWM');
      if status ~= 0 || ~isscalar(power)
        power = NaN;
      end
      obj.Link.logTemperature(temperature, obj.Cooler.Setpoint, power);
    end

    % Regulation to a target, at once (rate 0 or Inf) or by a ramp from the
    % temperature start (rate in C per second).
    function regulate(obj, start, target, rate, tolerance, stallTime)
      obj.Cooler = struct('Mode', 'regulating', 'Target', target, 'Tolerance', tolerance, ...
                          'StallTime', stallTime, 'Setpoint', obj.Cooler.Setpoint, 'Ramp', [], 'Used', true);
      obj.startRamp(start, target, rate);
    end

    % A ramp starts at the present temperature on the 0.1 C grid, so that
    % its steps are round figures, and ends on the target exactly.
    function startRamp(obj, from, to, rate)
      from = round(from * 10) / 10;
      if rate > 0 && isfinite(rate) && from ~= to
        obj.Cooler.Ramp = struct('From', from, 'To', to, 'Rate', rate, 'Start', obj.Link.now());
        obj.setSetpoint(from);
      else
        obj.Cooler.Ramp = [];
        obj.setSetpoint(to);
      end
    end

    % The ramp's setpoint for now, sent when it has moved a step.
    function followRamp(obj)
      ramp = obj.Cooler.Ramp;
      if isempty(ramp)
        return;
      end
      span = abs(ramp.To - ramp.From);
      moved = ramp.Rate * (obj.Link.now() - ramp.Start);
      if moved >= span - 1e-9
        setpoint = ramp.To;
        obj.Cooler.Ramp = [];
      else
        steps = floor(moved / 0.1 + 1e-9);
        setpoint = round((ramp.From + sign(ramp.To - ramp.From) * steps * 0.1) * 10) / 10;
      end
      if setpoint ~= obj.Cooler.Setpoint
        obj.setSetpoint(setpoint);
      end
    end

    function setSetpoint(obj, value)
      obj.Link.require('Camera', 'BRELK_6_SetCoolerTemperature', value);
      obj.Cooler.Setpoint = value;
    end

    function coolerStopped(obj)
      obj.Cooler = struct('Mode', 'off', 'Target', [], 'Tolerance', obj.Cooler.Tolerance, ...
                          'StallTime', obj.Cooler.StallTime, 'Setpoint', NaN, 'Ramp', [], 'Used', false);
    end

    function waitCooling(obj, timeout, progress)
      stall = struct('Distance', [], 'Since', []);
      obj.Link.wait('Camera', 'cooling', @(s) obj.coolingStep(s), stall, timeout, progress);
    end

    function [done, info, s, interval, pending] = coolingStep(obj, s)
      obj.followRamp();
      [temperature, power] = obj.readTemperature();
      cooler = obj.Cooler;
      distance = abs(temperature - cooler.Target);
      done = isempty(cooler.Ramp) && distance <= cooler.Tolerance;
      now = obj.Link.now();
      if done || power < 99
        s.Distance = [];
      elseif isempty(s.Distance) || distance < s.Distance - 0.1 + 1e-9
        s.Distance = distance;  % full power and still coming closer
        s.Since = now;
      elseif now - s.Since >= cooler.StallTime
        obj.Cooler.Mode = 'stalled';
        obj.Link.raise('Camera', 'temperatureNotReached', ...
                       ['%s: the sensor has stayed at %.2f C, %.2f C from the target %g C, ' ...
                        'with the cooler at %.0f%% power for %g s.'], ...
                       obj.ID, temperature, distance, cooler.Target, power, now - s.Since);
      end
      info = struct('Temperature', temperature, 'Setpoint', cooler.Setpoint, 'Power', power, ...
                    'Target', cooler.Target);
      interval = 2;
      pending = sprintf('the sensor is at %.2f C, not within %g C of %g C', temperature, ...
                        cooler.Tolerance, cooler.Target);
    end

    function [done, info, s, interval, pending] = warmingStep(obj, s)
      obj.followRamp();
      [temperature, power] = obj.readTemperature();
      cooler = obj.Cooler;
      now = obj.Link.now();
      done = temperature >= cooler.Target - s.Tolerance;
      if ~done
        if abs(temperature - s.Temperature) >= 0.1
          s.Temperature = temperature;
          s.Since = now;
        elseif now - s.Since >= s.StallTime && temperature < cooler.Setpoint - s.Tolerance
          done = true;  % as warm as the ambient lets it be
        end
      end
      info = struct('Temperature', temperature, 'Setpoint', cooler.Setpoint, 'Power', power, ...
                    'Target', cooler.Target);
      interval = 2;
      pending = sprintf('the sensor is at %.2f C, still warming to %g C', temperature, cooler.Target);
    end

    function waitExposure(obj, timeout, progress)
      state = obj.Link.exposureState();
      if strcmp(state, 'live')
        obj.Link.raise('Camera', 'invalidOperation', ...
                       '%s is in live view, which runs until stopLive.', obj.ID);
      end
      if strcmp(state, 'exposing')
        obj.Link.wait('Camera', 'exposure', @(s) obj.exposureStep(s), [], timeout, progress);
      end
    end

    function [done, info, s, interval, pending] = exposureStep(obj, s)
      done = ~strcmp(obj.Link.exposureState(), 'exposing');
      info = struct('PercentCompleted', obj.Link.exposurePercent());
      interval = min(1, obj.Link.remaining());
      pending = sprintf('the exposure is %.0f%% done', info.PercentCompleted);
    end
  end
end

% Runs one step of close, keeping the first failure for the end.
function failure = attempt(failure, step)
  try
    step();
  catch err
    if isempty(failure)
      failure = err;
    end
  end
end
