classdef Camera < brelk.internal.Object
%CAMERA A cooled camera of the BRELK toolbox as one object: settings, cooling, exposures.
%   cam = brelk.Camera(id) connects to the camera with that ID ('SIM-MONO'
%   or 'SIM-COLOR' on the simulated camera), given as a char row or a
%   string scalar: it sets the read mode and the stream mode, initialises
%   the camera, and reads the sensor's geometry, whether the camera is
%   colour and whether a filter wheel is attached. A read that fails while
%   connecting raises its error (it is never taken for a missing feature),
%   and a camera opened before the failure is closed again, unless another
%   brelk.Camera is open (closing releases the SDK, and so every camera).
%   It is built on the BRELK_* functions, which stay as they are underneath:
%   it checks every status, waits where the camera needs time, and raises an
%   error (see Errors) where a call fails.
%
%   cam = brelk.Camera(id, Name, Value, ...) takes these options; names are
%   char rows or string scalars, whatever their case, and [] gives an
%   option its default:
%     'ReadMode'       the read mode, a whole number from 0 to 2147483647
%                      (default 0)
%     'StreamMode'     the stream mode, a whole number from 0 to 255
%                      (default 0)
%     'Verbose'        false (default): the lines the functions print are
%                      kept in cam.Log and not shown; true shows them too
%     'ExposureUnit'   the camera's exposure-time units per second (default
%                      1e6: microseconds, as on the simulated camera);
%                      exposure times are rounded to whole units
%     'WarmUpOnClose'  true (default): close warms the sensor up first when
%                      the cooler was used
%     'ProgressFcn'    where long waits report progress (see Progress);
%                      [] for nowhere
%     'Clock'          a function handle returning the time in seconds as a
%                      finite real scalar (default: the computer's clock). It
%                      is called once here; a reading that is not a finite
%                      real scalar, or earlier than the one before, raises
%                      brelk:Camera:invalidOperation, so a broken clock never
%                      makes a wait endless.
%     'Pause'          a function handle that waits the seconds it is given
%                      (default: @pause)
%     'TemperatureInterval'  seconds of camera time (default 30): every wait,
%                      exposures included, reads the temperature at least
%                      this often, so that TemperatureLog covers the session
%     'StartTime'      the UTC that time 0 (connecting) stands for, as ISO
%                      8601 text such as '2026-12-10T21:00:00Z' (default:
%                      the computer's time when connecting): the UTC of
%                      every record, repeatable on a manual clock
%     'LogFile'        a file the camera's record is appended to as it
%                      happens, one JSON object a line: every call with its
%                      status and text, every temperature reading, every
%                      exposure's record, every change of state and every
%                      error, each line on disk before the call that made it
%                      returns (see brelk.readLog)
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
%   the value the camera accepted last through this object, [] before that.
%   A value the camera refuses leaves the one before:
%     Gain, Offset, Brightness, Contrast, Traffic   finite real numbers
%     WhiteBalanceRed, WhiteBalanceGreen, WhiteBalanceBlue   finite real
%                     numbers (colour cameras)
%     Gamma           a finite number above 0
%     ExposureTime    seconds, above 0, sent as whole camera units (seconds
%                     * ExposureUnit, rounded); reads back as sent
%     DDR             true or false
%     ROI             [x y width height], a vector of 4: whole pixels
%                     within the effective area, x and y counted from its
%                     corner
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
%                     setpoint); 'settling' (not yet at target, or at a
%                     fixed CoolerPower); 'at target' (every reading within
%                     the tolerance of the target for the settle time);
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
%     Exposures       struct array, one element per exposure started:
%                     Start (UTC, ISO 8601 with milliseconds and a Z), Time
%                     (s since connecting), Duration (s, as asked), Elapsed
%                     (s it ran), Result ('completed', 'aborted' or
%                     'failed'), Filter (the wheel's name; '' without a
%                     wheel), Slot (NaN without), TemperatureStart,
%                     TemperatureEnd (read as the end is seen; the latest
%                     reading when it is seen by reading State), Setpoint
%                     (NaN with none), CoolerPower, Gain, Offset, ROI ([]
%                     where never set)
%   Everything else:
%     Log             struct array, one element per toolbox function called
%                     (the last 100000): Time (s since connecting),
%                     Function, Inputs (after the ID), Status, Text (what it
%                     printed)
%     Verbose, WarmUpOnClose, ProgressFcn   the options, settable
%
%   Methods (each has its own help too, e.g. help brelk.Camera.coolTo):
%     coolTo(target, Name, Value, ...)
%         Regulates to target (C) and waits until the sensor has been within
%         'Tolerance' of it (default 0.2 C) for 'SettleTime' (default 30 s).
%         'Rate' (C per minute; default 0, at once) or 'Duration' (minutes)
%         moves the setpoint there from the present temperature in steps of
%         0.1 C. 'Wait' (default true; false returns at once, and the ramp
%         moves on as the camera is read). 'Timeout' (seconds, default
%         Inf). 'StallTime' (seconds, default 120): when the sensor has come
%         no 0.1 C closer to where it should be for that long, whatever
%         the cooler's power, CoolerState becomes 'stalled' and
%         brelk:Camera:temperatureNotReached is raised. 'ProgressFcn'.
%     warmUp(Name, Value, ...)
%         Moves the setpoint up from the present temperature to 'Target'
%         (default 20 C) at 'Rate' (default 3 C per minute), until the
%         sensor is within 'Tolerance' (default 0.2 C) of the target or
%         has come no 0.1 C closer for 'StallTime' (default 120 s), as
%         where the ambient is colder than the target; then switches the
%         cooler off. 'Timeout' (default Inf), 'ProgressFcn'.
%     waitForTemperature(tolerance, timeout)
%         Waits for the target of coolTo or TemperatureSetpoint, by the
%         rules of coolTo (tolerance default: the last coolTo's; timeout
%         default Inf; [] for either default).
%     startExposure(seconds)   sets ExposureTime where it differs, starts
%                              one exposure and returns
%     waitForExposure(timeout) waits until its time has passed (timeout
%                              default Inf, or [])
%     expose(seconds, 'Timeout', t, 'ProgressFcn', f)   both of the above
%     abortExposure()          cancels it; nothing when none runs
%     startLive(), stopLive()  live exposure, which runs until stopped
%     close()                  ends exposures, warms up where the cooler was
%                              used (WarmUpOnClose), cooler off, closes;
%                              after a failure, call it again to finish
%     reconnect()              opens a camera that dropped out again by its
%                              ID, as it was: read and stream mode,
%                              initialisation, every setting it had
%                              accepted, the cooler's setpoint or power
%     plotTemperature(figure)  TemperatureLog against minutes: temperature
%                              and setpoint, and power on a second axis;
%                              returns the figure (a new one without it)
%   The toolbox downloads no frames: an exposure is done when its whole
%   time has passed on the clock, and the layer waits for exactly that.
%   While the filter wheel turns, an exposure is refused; while an exposure
%   runs, the wheel is.
%
%   Progress. Long waits (cooling, warm-up, the filter wheel, long
%   exposures) call ProgressFcn(info) after every poll of the camera, with
%   info a struct: ID, Operation ('cooling', 'warming', 'wheel' or
%   'exposure'), Elapsed (seconds of the wait, 0 on the first poll), Done,
%   and for cooling and warming Temperature, Setpoint, Power and Target, for
%   the wheel Position and Target, for an exposure PercentCompleted. The
%   default prints one short line per 30 s of camera time (temperature,
%   setpoint, power, time elapsed), so short waits print nothing.
%   'ProgressFcn', [] silences it, for the camera or for one call. A
%   ProgressFcn that raises an error is shown as the warning
%   brelk:Camera:progressFcnFailed, and the wait goes on.
%
%   Errors are MException objects with the identifier brelk:Camera:<mnemonic>;
%   where a toolbox function failed, the message quotes the line it printed:
%     brelk:Camera:notConnected      the camera did not open ('Open BRELKCCD
%                                    failed.'): a wrong ID, or unplugged;
%                                    or an object loaded from a file
%     brelk:Camera:sdkFailed         a function returned -1 otherwise
%     brelk:Camera:notSupported      the camera lacks the feature (Humidity
%                                    and Pressure on SIM-MONO)
%     brelk:Camera:invalidValue      a value or option that is not scalar,
%                                    not real, NaN, sparse, of the wrong
%                                    class or out of range; raised before
%                                    anything is sent to the camera
%     brelk:Camera:invalidOperation  not now: an exposure while one runs or
%                                    while the wheel turns, waiting for a
%                                    temperature with no setpoint, plotting
%                                    an empty log; a clock that fails or
%                                    runs back, a wait whose 'Clock' its
%                                    'Pause' does not move
%     brelk:Camera:timeout           a wait ran out of its 'Timeout'
%     brelk:Camera:temperatureNotReached   the cooler stalled (see coolTo)
%     brelk:Camera:closed            the camera was closed; raised before
%                                    anything else is checked
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
%   leaves the release to the last brelk.Camera to close. Objects open on
%   one ID share its cooler: each reads the setpoint the camera holds, and
%   the last of them to close warms up when any used the cooler. clear, or
%   any other end of the last reference to a Camera, closes it (delete),
%   never raising an error. isequal and disp make no camera call. A Camera
%   saved to a file and loaded again is a record only: it reaches no
%   camera, and deleting it closes nothing.
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
    Exposures
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
    WhiteBalanceRed
    WhiteBalanceGreen
    WhiteBalanceBlue
    CoolerPower
    TemperatureSetpoint
    Verbose
    WarmUpOnClose
    ProgressFcn
  end


  properties (Access = private)
    Checks = []
    Settings = []
    WarmUp = true
    Opened = false      % the camera opened while connecting
    Closed = false
    Pending = []        % the steps of a close that failed, tried again
  end

  % The parts that reach the camera: not saved, so that a Camera loaded
  % from a file reaches none.
  properties (Access = private, Transient)
    Conn = []
    Waiter = []
    Cooler = []
    Exposure = []
    Wheel = []
    Between = []        % what every wait does between its polls: the temperature readings
  end

  methods
    function obj = Camera(id, varargin)
      checks = brelk.internal.Checks('Camera');
      obj.Checks = checks;
      if nargin < 1
        checks.raise('invalidValue', 'Give the camera ID: brelk.Camera(''SIM-MONO'').');
      end
      id = checks.text('The camera ID', id);
      [opts, given] = checks.options({
        'ReadMode',      0,     @(name, value) checks.number(name, value, 'whole', [0 2147483647])
        'StreamMode',    0,     @(name, value) checks.number(name, value, 'whole', [0 255])
        'Verbose',       false, 'flag'
        'ExposureUnit',  1e6,   'positive'
        'WarmUpOnClose', true,  'flag'
        'ProgressFcn',   [],    'progress'
        'Clock',         [],    'function'
        'Pause',         @pause, 'function'
        'TemperatureInterval', 30, 'seconds'
        'StartTime',     [],    @(name, value) checks.utc(name, value)
        'LogFile',       [],    'text'}, varargin);
      obj.ID = id;
      obj.ReadMode = opts.ReadMode;
      obj.StreamMode = opts.StreamMode;
      obj.ExposureUnit = opts.ExposureUnit;
      obj.WarmUp = opts.WarmUpOnClose;
      conn = brelk.internal.Connection(checks, id, opts.Clock, opts.Verbose, opts.StartTime);
      checks.Record = conn;
      waiter = brelk.internal.Waiter(conn, opts.Pause);
      if given.ProgressFcn
        waiter.ProgressFcn = opts.ProgressFcn;
      end
      obj.Waiter = waiter;
      if ~isempty(opts.LogFile)
        conn.attach(checks, opts.LogFile);
      end
      obj.Conn = conn;
      obj.Settings = brelk.internal.Settings(opts.ExposureUnit);
      cooler = conn.join(brelk.internal.Cooler());
      obj.Cooler = cooler;
      % The parts' own callbacks reach the other parts, never the Camera:
      % a part holding the Camera would keep it from being deleted.
      interval = opts.TemperatureInterval;
      obj.Between = @(t, component) cooler.keepUp(conn, component, t, interval);
      obj.Exposure = brelk.internal.Exposure();
      obj.Exposure.Finisher = @(record, looking) finished(record, looking, cooler, conn, checks);
      try
        obj.connect();
      catch err
        obj.abandon();
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
        obj.Checks.raise('invalidOperation', 'The FilterWheel of %s is its own and cannot be set.', obj.ID);
      end
    end

    % --- settings, written through (see brelk.internal.Settings) --------------

    function set.Gain(obj, value)
      obj.write('Gain', value);
    end
    function value = get.Gain(obj)
      value = obj.Settings.Values.Gain;
    end
    function set.Offset(obj, value)
      obj.write('Offset', value);
    end
    function value = get.Offset(obj)
      value = obj.Settings.Values.Offset;
    end
    function set.ExposureTime(obj, value)
      obj.write('ExposureTime', value);
    end
    function value = get.ExposureTime(obj)
      value = obj.Settings.Values.ExposureTime;
    end
    function set.Brightness(obj, value)
      obj.write('Brightness', value);
    end
    function value = get.Brightness(obj)
      value = obj.Settings.Values.Brightness;
    end
    function set.Contrast(obj, value)
      obj.write('Contrast', value);
    end
    function value = get.Contrast(obj)
      value = obj.Settings.Values.Contrast;
    end
    function set.Gamma(obj, value)
      obj.write('Gamma', value);
    end
    function value = get.Gamma(obj)
      value = obj.Settings.Values.Gamma;
    end
    function set.Traffic(obj, value)
      obj.write('Traffic', value);
    end
    function value = get.Traffic(obj)
      value = obj.Settings.Values.Traffic;
    end
    function set.DDR(obj, value)
      obj.write('DDR', value);
    end
    function value = get.DDR(obj)
      value = obj.Settings.Values.DDR;
    end
    function set.ROI(obj, value)
      obj.write('ROI', value);
    end
    function value = get.ROI(obj)
      value = obj.Settings.Values.ROI;
    end
    function set.WhiteBalanceRed(obj, value)
      obj.write('WhiteBalanceRed', value);
    end
    function value = get.WhiteBalanceRed(obj)
      value = obj.Settings.Values.WhiteBalanceRed;
    end
    function set.WhiteBalanceGreen(obj, value)
      obj.write('WhiteBalanceGreen', value);
    end
    function value = get.WhiteBalanceGreen(obj)
      value = obj.Settings.Values.WhiteBalanceGreen;
    end
    function set.WhiteBalanceBlue(obj, value)
      obj.write('WhiteBalanceBlue', value);
    end
    function value = get.WhiteBalanceBlue(obj)
      value = obj.Settings.Values.WhiteBalanceBlue;
    end

    % --- readings ---------------------------------------------------------------

    function value = get.Temperature(obj)
      obj.ensureOpen();
      value = obj.Cooler.read(obj.Conn, obj.Checks);
    end

    function value = get.CoolerPower(obj)
      obj.ensureOpen();
      value = obj.Conn.require(obj.Checks, 'BRELK_7_GetCoolerPWM');
    end
    function set.CoolerPower(obj, value)
      obj.ensureOpen();
      value = obj.Checks.number('CoolerPower', value, 'percent');
      obj.Cooler.fixed(obj.Conn, obj.Checks, value);
    end

    function value = get.Humidity(obj)
      obj.ensureOpen();
      value = obj.Conn.require(obj.Checks, 'BRELK_7_GetHumidity');
    end

    function value = get.Pressure(obj)
      obj.ensureOpen();
      value = obj.Conn.require(obj.Checks, 'BRELK_7_GetPressure');
    end

    % --- cooling ----------------------------------------------------------------

    function value = get.TemperatureSetpoint(obj)
      value = [];
      if ~isempty(obj.Cooler)
        value = obj.Cooler.setpoint();
      end
    end
    function set.TemperatureSetpoint(obj, value)
      obj.ensureOpen();
      value = obj.Checks.number('TemperatureSetpoint', value, 'real');
      cooler = obj.Cooler;
      cooler.regulate(obj.Conn, obj.Checks, value, value, 0, cooler.Tolerance, cooler.StallTime, ...
                      cooler.SettleTime);
    end

    function value = get.CoolerState(obj)
      if ~obj.isOpen()
        value = 'off';
      else
        value = obj.Cooler.state(obj.Conn, obj.Checks);
      end
    end

    function value = get.TemperatureLog(obj)
      if isempty(obj.Cooler)
        value = struct('Time', zeros(0, 1), 'Temperature', zeros(0, 1), 'Setpoint', zeros(0, 1), ...
                       'Power', zeros(0, 1));
      else
        value = obj.Cooler.temperatureLog(obj.Conn.Origin);
      end
    end

    function coolTo(obj, target, varargin)
    %COOLTO Cool the sensor to a target temperature, with a ramp, and wait for it.
    %   cam.coolTo(target) sets the cooler's setpoint to target (C) and waits
    %   until every reading of the sensor for 30 s has been within 0.2 C of
    %   it.
    %   cam.coolTo(target, Name, Value, ...) takes these options ([] for a
    %   default):
    %     'Rate'        C per minute: the setpoint moves from the present
    %                   temperature to the target in steps of 0.1 C at this
    %                   rate; 0 (default) sets the target at once
    %     'Duration'    minutes the ramp takes, instead of 'Rate'
    %     'Tolerance'   how close counts as there, C (default 0.2)
    %     'SettleTime'  seconds of readings within the tolerance that count
    %                   as there (default 30: several readings, 2 s apart,
    %                   so that a regulator's overshoot or one stray
    %                   reading does not end the wait; 0 for one reading)
    %     'Wait'        true (default); false returns once the ramp is set
    %                   up (it moves on whenever the camera is read:
    %                   Temperature, CoolerState, waitForTemperature)
    %     'Timeout'     seconds of waiting before brelk:Camera:timeout
    %                   (default Inf)
    %     'StallTime'   seconds (default 120): when the sensor has come no
    %                   0.1 C closer to where it should be (the ramp's
    %                   present setpoint, then the target) for this long,
    %                   and is not settling, the target cannot be reached,
    %                   whatever the cooler's power reads: CoolerState
    %                   becomes 'stalled' and
    %                   brelk:Camera:temperatureNotReached is raised. A
    %                   sensor that keeps within the tolerance of a ramp's
    %                   setpoint is making progress.
    %     'ProgressFcn' for this call (see help brelk.Camera); [] for none
    %   The setpoint is kept only once the camera accepted it: a refused
    %   one leaves the cooler as it was. The cooler goes on regulating after
    %   the error; warmUp or another target ends it.
    %
    %   Example
    %     cam.coolTo(-10, 'Rate', 3, 'Timeout', 1800)
      obj.ensureOpen();
      checks = obj.Checks;
      if nargin < 2
        checks.raise('invalidValue', 'coolTo needs the target temperature in C.');
      end
      target = checks.number('The target temperature', target, 'real');
      [opts, given] = checks.options({
        'Rate',        0,    'nonnegative'
        'Duration',    [],   'nonnegative'
        'Tolerance',   0.2,  'positive'
        'SettleTime',  30,   'nonnegative'
        'Wait',        true, 'flag'
        'Timeout',     Inf,  'seconds'
        'StallTime',   120,  'positive'
        'ProgressFcn', obj.Waiter.ProgressFcn, 'progress'}, varargin);
      if given.Rate && given.Duration
        checks.raise('invalidValue', 'Give coolTo a ''Rate'' or a ''Duration'', not both.');
      end
      cooler = obj.Cooler;
      rate = opts.Rate / 60;
      start = target;
      if given.Duration || rate > 0
        start = cooler.read(obj.Conn, checks);
      end
      if given.Duration
        rate = abs(target - start) / (opts.Duration * 60);  % Duration 0: Inf, at once
      end
      cooler.regulate(obj.Conn, checks, target, start, rate, opts.Tolerance, opts.StallTime, opts.SettleTime);
      if opts.Wait
        obj.waitCooling(opts.Timeout, opts.ProgressFcn);
      end
    end

    function waitForTemperature(obj, tolerance, timeout)
    %WAITFORTEMPERATURE Wait until the sensor is at the setpoint's target.
    %   cam.waitForTemperature() waits, by the rules of coolTo, until every
    %   reading of the sensor for the settle time has been within the
    %   tolerance of the last coolTo (0.2 C by default) of the target set
    %   by coolTo or TemperatureSetpoint, moving a ramp on as it goes.
    %   cam.waitForTemperature(tolerance, timeout) takes the tolerance in C
    %   and a timeout in seconds (default Inf; [] for either default),
    %   after which brelk:Camera:timeout is raised. A stalled cooler raises
    %   brelk:Camera:temperatureNotReached, as in coolTo; with no setpoint
    %   the camera accepted, brelk:Camera:invalidOperation.
      obj.ensureOpen();
      checks = obj.Checks;
      cooler = obj.Cooler;
      if nargin < 2
        tolerance = [];
      end
      if nargin < 3
        timeout = [];
      end
      tolerance = checks.argument('The tolerance', tolerance, 'positive', cooler.Tolerance);
      timeout = checks.argument('The timeout', timeout, 'seconds', Inf);
      if ~strcmp(cooler.Mode, 'regulating')
        checks.raise('invalidOperation', ...
                     '%s has no temperature setpoint to wait for: use coolTo or TemperatureSetpoint.', obj.ID);
      end
      cooler.again(tolerance);
      obj.waitCooling(timeout, obj.Waiter.ProgressFcn);
    end

    function warmUp(obj, varargin)
    %WARMUP Ramp the sensor up to a warm target, then switch the cooler off.
    %   cam.warmUp() moves the setpoint up from the present temperature at
    %   3 C per minute to 20 C. It finishes when the sensor is within 0.2 C
    %   of the target, or when it has come no 0.1 C closer to where it
    %   should be for 'StallTime', as where the ambient is colder than the
    %   target; then it switches the cooler off. A sensor at or above the
    %   target only has its cooler switched off.
    %   cam.warmUp(Name, Value, ...) takes these options ([] for a default):
    %     'Rate'       C per minute (default 3); 0 sets the target at once
    %     'Target'     C (default 20)
    %     'Tolerance'  C (default 0.2)
    %     'StallTime'  seconds (default 120)
    %     'Timeout'    seconds before brelk:Camera:timeout (default Inf);
    %                  the cooler is then left as it is
    %     'ProgressFcn'  for this call (see help brelk.Camera); [] for none
      obj.ensureOpen();
      checks = obj.Checks;
      obj.warmWait(checks.options(obj.warmUpOptions(), varargin));
      obj.Cooler.off(obj.Conn, checks);
    end

    % --- exposures --------------------------------------------------------------

    function value = get.State(obj)
      % The clock only tells while a single exposure runs.
      if obj.Closed || isempty(obj.Conn)
        value = 'closed';
        return;
      end
      exposure = obj.Exposure;
      value = exposure.State;
      if strcmp(value, 'exposing')
        value = exposure.at(obj.Conn.now(obj.Checks), true);
      end
    end

    function value = get.PercentCompleted(obj)
      if ~obj.isOpen()
        value = 0;
        if ~isempty(obj.Exposure)
          value = obj.Exposure.Percent;
        end
      else
        value = obj.Exposure.percentAt(obj.Conn.now(obj.Checks), true);
      end
    end

    function value = get.Exposures(obj)
      value = [];
      if obj.isOpen() && strcmp(obj.Exposure.State, 'exposing')
        obj.Exposure.at(obj.Conn.now(obj.Checks), true);
      end
      if ~isempty(obj.Exposure)
        value = obj.Exposure.Records;
      end
      if isempty(value)
        value = exposureRecord();
        value = value([]);
      end
    end

    function startExposure(obj, seconds)
    %STARTEXPOSURE Start a single exposure and return at once.
    %   cam.startExposure(seconds) sets ExposureTime to seconds (rounded to
    %   whole camera units) where it differs and starts one exposure. An
    %   exposure or live view under way, or a filter wheel that turns,
    %   raises brelk:Camera:invalidOperation and sends nothing.
      obj.ensureOpen();
      checks = obj.Checks;
      if nargin < 2
        checks.raise('invalidValue', 'startExposure needs the exposure time in seconds.');
      end
      [seconds, asked] = obj.Settings.prepare(checks, 'ExposureTime', seconds, 'The exposure time');
      conn = obj.Conn;
      exposure = obj.Exposure;
      state = exposure.at(conn.now(checks));
      if ~strcmp(state, 'idle')
        checks.raise('invalidOperation', 'Cannot start an exposure: %s is %s.', obj.ID, state);
      end
      slot = NaN;
      filter = '';
      if ~isempty(obj.Wheel)
        [slot, filter] = obj.Wheel.where(checks);
        if isnan(slot)
          checks.raise('invalidOperation', 'Cannot start an exposure: the filter wheel of %s is turning.', obj.ID);
        end
      end
      [temperature, power] = obj.Cooler.read(conn, checks);
      setpoint = obj.Cooler.setpoint();
      if isempty(setpoint)
        setpoint = NaN;
      end
      values = obj.Settings.Values;
      record = exposureRecord(conn.Recorder.utc(conn.Time), conn.since(conn.Time), asked, filter, slot, ...
                              temperature, setpoint, power, values.Gain, values.Offset, values.ROI);
      try
        if ~isequal(values.ExposureTime, seconds)
          obj.Settings.write(conn, checks, 'ExposureTime', seconds);
        end
        conn.require(checks, 'BRELK_9_BeginSingleExpose');
      catch err
        exposure.failed(record);
        rethrow(err);
      end
      % Timed from after the call returned: never shorter than the camera's.
      t = conn.now(checks);
      record.Start = conn.Recorder.utc(t);
      record.Time = conn.since(t);
      exposure.started(t, seconds, record);
      conn.note('state', struct('Part', 'exposure', 'State', 'exposing', 'Duration', seconds), t);
    end

    function waitForExposure(obj, timeout)
    %WAITFOREXPOSURE Wait until the running exposure's time has passed.
    %   cam.waitForExposure() returns once the exposure started last has
    %   run its whole time (at once when none runs).
    %   cam.waitForExposure(timeout) raises brelk:Camera:timeout after
    %   timeout seconds instead (default Inf, or []). Live view raises
    %   brelk:Camera:invalidOperation: it runs until stopLive. A camera
    %   that stops answering meanwhile (brelk:Camera:notConnected) has lost
    %   the exposure: its record in Exposures says 'failed'.
      obj.ensureOpen();
      if nargin < 2
        timeout = [];
      end
      timeout = obj.Checks.argument('The timeout', timeout, 'seconds', Inf);
      obj.waitExposure(timeout, obj.Waiter.ProgressFcn);
    end

    function expose(obj, seconds, varargin)
    %EXPOSE Take a single exposure: start it and wait for it.
    %   cam.expose(seconds) is startExposure(seconds) then waitForExposure.
    %   cam.expose(seconds, 'Timeout', t, 'ProgressFcn', f) passes a timeout
    %   (default Inf) and a progress function for the wait ([] for none).
      obj.ensureOpen();
      checks = obj.Checks;
      if nargin < 2
        checks.raise('invalidValue', 'expose needs the exposure time in seconds.');
      end
      opts = checks.options({
        'Timeout',     Inf, 'seconds'
        'ProgressFcn', obj.Waiter.ProgressFcn, 'progress'}, varargin);
      obj.startExposure(seconds);
      obj.waitExposure(opts.Timeout, opts.ProgressFcn);
    end

    function abortExposure(obj)
    %ABORTEXPOSURE Cancel the running exposure; nothing when none runs.
      obj.ensureOpen();
      t = obj.Conn.now(obj.Checks);
      if strcmp(obj.Exposure.at(t), 'exposing')
        obj.Conn.require(obj.Checks, 'BRELK_9_StopSingleCapture');
        obj.Exposure.aborted(t);
      end
    end

    function startLive(obj)
    %STARTLIVE Start live exposure, which runs until stopLive.
    %   A single exposure under way raises brelk:Camera:invalidOperation;
    %   live view already running is left as it is.
      obj.ensureOpen();
      state = obj.Exposure.at(obj.Conn.now(obj.Checks));
      if strcmp(state, 'live')
        return;
      end
      if ~strcmp(state, 'idle')
        obj.Checks.raise('invalidOperation', 'Cannot start live exposure: %s is %s.', obj.ID, state);
      end
      obj.Conn.require(obj.Checks, 'BRELK_10_BeginLiveExpose');
      obj.Exposure.live(true);
      obj.Conn.note('state', struct('Part', 'exposure', 'State', 'live'));
    end

    function stopLive(obj)
    %STOPLIVE Stop live exposure; nothing when it is not running.
      obj.ensureOpen();
      if strcmp(obj.Exposure.State, 'live')
        obj.Conn.require(obj.Checks, 'BRELK_10_StopLiveCapture');
        obj.Exposure.live(false);
        obj.Conn.note('state', struct('Part', 'exposure', 'State', 'idle'));
      end
    end

    % --- the rest ---------------------------------------------------------------

    function value = get.Log(obj)
      if isempty(obj.Conn)
        value = struct('Time', {}, 'Function', {}, 'Inputs', {}, 'Status', {}, 'Text', {});
        value = value(:);
      else
        value = obj.Conn.callLog();
      end
    end

    function value = get.Verbose(obj)
      value = ~isempty(obj.Conn) && obj.Conn.Verbose;
    end
    function set.Verbose(obj, value)
      obj.ensureOpen();
      obj.Conn.Verbose = obj.Checks.flag('Verbose', value);
    end

    function value = get.WarmUpOnClose(obj)
      value = obj.WarmUp;
    end
    function set.WarmUpOnClose(obj, value)
      obj.ensureOpen();
      obj.WarmUp = obj.Checks.flag('WarmUpOnClose', value);
    end

    function value = get.ProgressFcn(obj)
      value = [];
      if ~isempty(obj.Waiter)
        value = obj.Waiter.ProgressFcn;
      end
    end
    function set.ProgressFcn(obj, value)
      obj.ensureOpen();
      obj.Waiter.ProgressFcn = obj.Checks.progress('ProgressFcn', value);
    end

    function reconnect(obj)
    %RECONNECT Open the camera again by its ID, as it was, after it dropped out.
    %   cam.reconnect() is for a camera that stopped answering (its calls
    %   raising brelk:Camera:notConnected, as when its cable was out for a
    %   while): it cancels what may still run, sets the read mode and the
    %   stream mode, initialises the camera, and sends again every setting
    %   the camera had accepted and the cooler's setpoint (a ramp goes on
    %   from there) or fixed power. The filter wheel keeps its names. An
    %   exposure under way is lost: its record in Exposures says 'failed'.
    %   A step that fails raises its error; reconnect can be called again.
      obj.ensureOpen();
      conn = obj.Conn;
      checks = obj.Checks;
      conn.call(checks, 'BRELK_9_StopSingleCapture');
      conn.call(checks, 'BRELK_10_StopLiveCapture');
      conn.require(checks, 'BRELK_2_SetReadMode', obj.ReadMode);
      conn.require(checks, 'BRELK_3_SetStreamMode', obj.StreamMode);
      conn.require(checks, 'BRELK_4_InitCamera');
      obj.Exposure.lost(conn.now(checks));
      obj.Settings.reapply(conn, checks);
      obj.Cooler.resume(conn, checks);
      conn.note('state', struct('Part', 'camera', 'State', 'reconnected'));
    end

    function close(obj)
    %CLOSE Warm up where needed, switch the cooler off and close the camera.
    %   cam.close() ends an exposure or live view under way; warms the
    %   sensor up first (warmUp with its defaults) when the cooler was used,
    %   by this object or another one on the same ID, and WarmUpOnClose is
    %   true; switches the cooler off; and calls BRELK_11_CloseCamera, which
    %   closes the camera and releases the SDK. While other brelk.Camera
    %   objects are open the SDK stays: the last one to close releases it.
    %   While another Camera on the same ID is open, close only lets go of
    %   this object and leaves the camera to it.
    %   Each step is tried even when one before it fails, and the first
    %   failure is raised at the end; the object then stays open, and close
    %   can be called again to finish what failed. Closing a closed camera
    %   does nothing.
      if isempty(obj.Conn) || obj.Closed
        return;
      end
      conn = obj.Conn;
      [same, others] = conn.others();
      if same == 0
        obj.shutDown(others);
      end
      conn.leave();
      obj.Closed = true;
      if ~isempty(obj.Wheel)
        obj.Wheel.detach();
      end
      conn.note('state', struct('Part', 'camera', 'State', 'closed'));
      files = conn.Recorder.Files;
      for k = 1:numel(files)
        conn.detach(files{k});
      end
    end

    function delete(obj)
      % Closes without raising: a failure is only a warning here, and the
      % object is counted out all the same, since no close can follow; the
      % last Camera would never release the SDK.
      try
        obj.close();
      catch err
        try
          if ~obj.Closed && ~isempty(obj.Conn)
            obj.Conn.leave();
          end
          warning(err.identifier, '%s', err.message);
        catch
          % Octave's exit deletes what is left where even the object's own
          % properties are out of reach.
        end
      end
    end

    function f = plotTemperature(obj, f)
    %PLOTTEMPERATURE Plot the temperature log: temperature, setpoint, power and exposures.
    %   f = cam.plotTemperature() plots TemperatureLog in a new figure: the
    %   sensor temperature and the setpoint (C, left axis) and the cooler's
    %   power (percent, right axis) against minutes since connecting, with
    %   the span of each exposure shaded in a colour of its filter and
    %   labelled with its name; the legend, below the plot, names each.
    %   Returns the figure. cam.plotTemperature(f) draws into the figure f
    %   instead, such as an invisible one to save to a file:
    %     f = cam.plotTemperature(figure('Visible', 'off'));
    %     print(f, '-dpng', 'cooling.png');  % '-dpngcairo' in octave-cli
    %   It works after close too. An empty log raises
    %   brelk:Camera:invalidOperation.
      readings = obj.TemperatureLog;
      if isempty(readings.Time)
        obj.Checks.raise('invalidOperation', ...
                         'No temperature of %s has been read yet: there is nothing to plot.', obj.ID);
      end
      if nargin < 2
        f = figure();
      elseif ~(isscalar(f) && ishghandle(f) && strcmp(get(f, 'Type'), 'figure'))
        obj.Checks.raise('invalidValue', 'plotTemperature takes a figure, such as figure(''Visible'', ''off'').');
      end
      clf(f);
      minutes = readings.Time / 60;
      [ax, temperature, power] = plotyy(axes('Parent', f), minutes, ...
                                        [readings.Temperature, readings.Setpoint], minutes, readings.Power);
      set(temperature(2), 'LineStyle', '--');
      set(ax(2), 'YLim', [0 105]);          % full power shows below the frame
      % A margin of a degree, so that no curve runs along the frame.
      span = [min([readings.Temperature; readings.Setpoint]), max([readings.Temperature; readings.Setpoint])];
      set(ax(1), 'YLim', span + [-1 1]);
      [shades, filters] = shadeExposures(ax(1), obj.Exposures, span + [-1 1]);
      % Room for both axes' labels, the title and the legend below: octave-
      % cli's gnuplot leaves none of its own beside two y axes.
      set(ax, 'Position', [0.13 0.27 0.72 0.63]);
      xlabel(ax(1), 'Time (min)');
      ylabel(ax(1), 'Temperature (C)');
      ylabel(ax(2), 'Cooler power (%)');
      title(ax(1), ['Sensor of ' obj.ID], 'Interpreter', 'none');
      % One legend for both axes: the power's entry is a line of its look
      % drawn nowhere on the temperature's axes.
      powerEntry = line(NaN, NaN, 'Parent', ax(1), 'Color', get(power, 'Color'), ...
                        'LineStyle', get(power, 'LineStyle'));
      names = [{'Sensor', 'Setpoint', 'Cooler power'}, strcat({'Exposure, '}, filters)];
      legend(ax(1), [temperature(:); powerEntry; shades(:)], names, 'Location', 'southoutside', ...
             'Orientation', 'horizontal', 'Interpreter', 'none');
    end


    function disp(obj)
      % No camera calls here: displaying an object should not change its logs.
      if ~isscalar(obj)
        ids = arrayfun(@(c) c.ID, obj, 'UniformOutput', false);
        fprintf('  %s brelk.Camera array: %s\n', obj.sizeText(), strjoin(ids(:)', ', '));
        return;
      end
      if isempty(obj.Conn)
        fprintf('  brelk.Camera %s (not connected)\n', obj.ID);
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
      fprintf('  brelk.Camera %s: %s, %d x %d pixels, %s\n', obj.ID, kind, obj.Sensor.ImageSize, wheel);
      if obj.Closed
        fprintf('  closed\n');
        return;
      end
      cooler = obj.Cooler.Mode;
      if ~isempty(obj.Cooler.setpoint())
        cooler = sprintf('%s to %g C', cooler, obj.Cooler.setpoint());
      end
      fprintf('  State: %s; cooler: %s\n', obj.Exposure.State, cooler);
    end
  end

  methods (Hidden)
    function added = record(obj, file)
    %RECORD Records every event in file too, from now on (a sequence's
    %   journal); false when it was recorded to already, as the 'LogFile'.
      obj.ensureOpen();
      added = obj.Conn.attach(obj.Checks, obj.Checks.text('The record file', file));
    end

    function unrecord(obj, file)
      if ~isempty(obj.Conn)
        obj.Conn.detach(file);
      end
    end

    function rest(obj, seconds)
    %REST Lets seconds pass on the camera's clock, reading the temperature
    %   as every wait does (a sequence's pause before it tries again). A
    %   reading that fails is in the record and does not end the pause:
    %   the camera it waits for may be the one that does not answer.
      obj.ensureOpen();
      seconds = obj.Checks.number('The pause', seconds, 'nonnegative');
      ends = obj.Conn.now(obj.Checks) + seconds;
      between = obj.Between;
      obj.Waiter.wait(obj.Checks, 'pause', @(s, t) resting(s, t, ends), [], Inf, [], @(t, checks) tolerant(between, t, checks));
    end

    function note(obj, event, fields)
    %NOTE Records an event of what drives the camera (a sequence's steps).
      if ~isempty(obj.Conn)
        obj.Conn.note(event, fields);
      end
    end
  end


  methods (Access = private)
    function ensureOpen(obj)
      if isempty(obj.Conn)
        obj.Checks.raise('notConnected', ...
                         'This brelk.Camera was loaded from a file and reaches no camera: brelk.Camera(''%s'') connects.', ...
                         obj.ID);
      end
      if obj.Closed
        obj.Checks.raise('closed', '%s has been closed.', obj.ID);
      end
    end

    function tf = isOpen(obj)
      tf = ~isempty(obj.Conn) && ~obj.Closed;
    end

    function write(obj, name, value)
      if obj.Closed || isempty(obj.Conn)
        obj.ensureOpen();
      end
      obj.Settings.write(obj.Conn, obj.Checks, name, value);
    end

    function connect(obj)
      conn = obj.Conn;
      checks = obj.Checks;
      [status, text] = conn.call(checks, 'BRELK_2_SetReadMode', obj.ReadMode);
      obj.Opened = ~said(text, 'Open BRELKCCD failed.');
      if status ~= 0
        checks.failed(obj.ID, 'BRELK_2_SetReadMode', {obj.ReadMode}, text);
      end
      conn.require(checks, 'BRELK_3_SetStreamMode', obj.StreamMode);
      conn.require(checks, 'BRELK_4_InitCamera');
      [chipW, chipH, imageW, imageH, pixelW, pixelH] = conn.require(checks, 'BRELK_7_GetChipInfo');
      effective = cell(1, 4);
      overscan = cell(1, 4);
      [effective{:}] = conn.require(checks, 'BRELK_7_GetEffective');
      [overscan{:}] = conn.require(checks, 'BRELK_7_GetOverscan');
      obj.Sensor = struct('ChipSize', [chipW chipH], 'ImageSize', double([imageW imageH]), ...
                          'PixelSize', [pixelW pixelH], 'EffectiveArea', double([effective{:}]), ...
                          'OverscanArea', double([overscan{:}]));
      obj.Settings.bound(obj.Sensor.EffectiveArea);
      % A monochrome camera fails the colour guard; a colour one with a
      % pattern code the toolbox does not know still counts as colour. Any
      % other failure is a failed read, not a feature.
      [status, text, pattern] = conn.call(checks, 'BRELK_7_GetDebayer');
      if status == 0
        obj.IsColor = true;
        obj.BayerPattern = char(pattern(:)');
      elseif said(text, 'Debayer format error.')
        obj.IsColor = true;
      elseif ~said(text, 'Camera don''t support color function.')
        checks.failed(obj.ID, 'BRELK_7_GetDebayer', {}, text);
      end
      [status, text] = conn.call(checks, 'BRELK_8_CheckCFWPlug');
      slots = 0;
      if status == 0
        obj.Wheel = brelk.FilterWheel(checks, conn, obj.Waiter, obj.Exposure, obj.Between);
        slots = obj.Wheel.SlotCount;
      elseif ~said(text, 'Camera don''t support CFW control function.') && ~said(text, 'No CFW is connected to camera.')
        checks.failed(obj.ID, 'BRELK_8_CheckCFWPlug', {}, text);
      end
      conn.note('state', struct('Part', 'camera', 'State', 'connected', 'IsColor', obj.IsColor, ...
                                'BayerPattern', obj.BayerPattern, 'WheelSlots', slots));
    end

    % A constructor that failed: what it opened is closed again when no
    % other Camera is open (closing releases the SDK, and so every camera),
    % and it is counted out.
    function abandon(obj)
      [same, others] = obj.Conn.others();
      if obj.Opened && same == 0 && others == 0
        obj.Conn.call(obj.Checks, 'BRELK_11_CloseCamera');
      end
      obj.Conn.leave();
      obj.Closed = true;
    end

    % The camera's part of close, when this is the last Camera on its ID:
    % each step is tried even when one before fails, and a step that failed
    % is tried again by the next close. Once the camera itself is closed,
    % nothing else is left to do.
    function shutDown(obj, others)
      if isempty(obj.Pending)
        obj.Pending = struct('Abort', true, 'Live', true, 'WarmUp', obj.Cooler.Used && obj.WarmUp, 'Off', true);
      end
      p = obj.Pending;
      failure = [];
      [p.Abort, failure] = attempt(p.Abort, failure, @() obj.abortExposure());
      [p.Live, failure] = attempt(p.Live, failure, @() obj.stopLive());
      warming = obj.Checks.options(obj.warmUpOptions(), {});
      [p.WarmUp, failure] = attempt(p.WarmUp && p.Off, failure, @() obj.warmWait(warming));
      [p.Off, failure] = attempt(p.Off, failure, @() obj.Cooler.off(obj.Conn, obj.Checks));
      obj.Pending = p;
      if others == 0
        [closing, failure] = attempt(true, failure, @() obj.Conn.require(obj.Checks, 'BRELK_11_CloseCamera'));
        if ~closing
          return;  % closed: exposures end and the cooler stops with it
        end
      end
      if ~isempty(failure)
        rethrow(failure);
      end
    end

    function spec = warmUpOptions(obj)
      spec = {
        'Rate',        3,   'nonnegative'
        'Target',      20,  'real'
        'Tolerance',   0.2, 'positive'
        'StallTime',   120, 'positive'
        'Timeout',     Inf, 'seconds'
        'ProgressFcn', obj.Waiter.ProgressFcn, 'progress'};
    end

    % The warm-up's ramp and wait, up to where the cooler is switched off.
    function warmWait(obj, opts)
      cooler = obj.Cooler;
      conn = obj.Conn;
      checks = obj.Checks;
      temperature = cooler.read(conn, checks);
      if isnan(temperature)
        % Unreadable now: a sensor that may be cold is warmed up from the
        % setpoint it was held at, or from where it was last read.
        temperature = cooler.setpoint();
        if isempty(temperature)
          temperature = cooler.latest();
        end
      end
      if ~(temperature >= opts.Target - opts.Tolerance)
        if isnan(temperature)
          temperature = opts.Target;  % nothing known: the target at once
        end
        cooler.warm(conn, checks, opts.Target, temperature, opts.Rate / 60);
        s = cooler.newWait();
        s.Tolerance = opts.Tolerance;
        s.StallTime = opts.StallTime;
        obj.Waiter.wait(checks, 'warming', @(s, t) cooler.warmingStep(conn, checks, s, t), s, ...
                        opts.Timeout, opts.ProgressFcn, obj.Between);
      end
    end

    function waitCooling(obj, timeout, progress)
      cooler = obj.Cooler;
      conn = obj.Conn;
      checks = obj.Checks;
      obj.Waiter.wait(checks, 'cooling', @(s, t) cooler.coolingStep(conn, checks, s, t), cooler.newWait(), ...
                      timeout, progress, obj.Between);
    end

    function waitExposure(obj, timeout, progress)
      exposure = obj.Exposure;
      state = exposure.at(obj.Conn.now(obj.Checks));
      if strcmp(state, 'live')
        obj.Checks.raise('invalidOperation', '%s is in live view, which runs until stopLive.', obj.ID);
      end
      if strcmp(state, 'exposing')
        try
          obj.Waiter.wait(obj.Checks, 'exposure', @(s, t) exposure.step(s, t), [], timeout, progress, obj.Between);
        catch err
          % A camera that stopped answering during the exposure did not
          % take it, whatever the clock says when it is next read.
          if strcmp(err.identifier, 'brelk:Camera:notConnected')
            exposure.lost(obj.Conn.Time);
          end
          rethrow(err);
        end
      end
    end
  end
end

% The record of an exposure (see Exposures), as it starts; no arguments
% give one of the fields' classes.
function record = exposureRecord(start, time, duration, filter, slot, temperature, setpoint, power, gain, ...
                                 offset, roi)
  if nargin == 0
    [start, filter] = deal('');
    [time, duration, slot, temperature, setpoint, power] = deal(NaN);
    [gain, offset, roi] = deal([]);
  end
  record = struct('Start', start, 'Time', time, 'Duration', duration, 'Elapsed', NaN, 'Result', '', ...
                  'Filter', filter, 'Slot', slot, 'TemperatureStart', temperature, 'TemperatureEnd', NaN, ...
                  'Setpoint', setpoint, 'CoolerPower', power, 'Gain', gain, 'Offset', offset, 'ROI', roi);
end

% The Exposure part's Finisher: an exposure's record completed as it ends,
% with the temperature then (NaN where it cannot be read, which the record
% on disk shows as an error), and written to the record on disk. An end
% seen by looking at a property (State) takes the latest reading instead:
% reading a property does not call the camera.
function record = finished(record, looking, cooler, conn, checks)
  if looking
    record.TemperatureEnd = cooler.latest();
  elseif ~strcmp(record.Result, 'failed')
    try
      record.TemperatureEnd = cooler.read(conn, checks);
    catch
    end
  end
  conn.note('exposure', record);
end

% Each exposure's span shaded behind the curves of ax, in one colour per
% filter, each run of frames through one filter labelled at its top. Returns
% a shade of each filter and the filters' names ('(no filter)' without one).
function [shades, filters] = shadeExposures(ax, records, limits)
  shades = [];
  filters = {};
  if isempty(records)
    return;
  end
  names = {records.Filter};
  names(cellfun(@isempty, names)) = {'(no filter)'};
  filters = unique(names, 'stable');
  colours = [0.80 0.87 0.97; 0.98 0.85 0.75; 0.82 0.94 0.80; 0.95 0.82 0.92; 0.93 0.93 0.78; 0.85 0.85 0.85];
  shades = zeros(1, numel(filters));
  previous = '';
  for k = 1:numel(records)
    from = records(k).Time / 60;
    to = (records(k).Time + records(k).Elapsed) / 60;
    which = find(strcmp(filters, names{k}));
    shade = patch([from to to from], limits([1 1 2 2]), colours(mod(which - 1, size(colours, 1)) + 1, :), ...
                  'Parent', ax, 'EdgeColor', 'none');
    shades(which) = shade;
    if ~strcmp(names{k}, previous)
      text(from, limits(2), [' ' names{k}], 'Parent', ax, 'VerticalAlignment', 'top', 'FontSize', 8, ...
           'Interpreter', 'none');
    end
    previous = names{k};
  end
  % The curves in front: an axes draws its first children last.
  children = get(ax, 'Children');
  behind = ismember(children, findobj(ax, 'Type', 'patch'));
  set(ax, 'Children', [children(~behind); children(behind)]);
end

% The step of a wait that only lets time pass.
function [done, s, interval, info, pending] = resting(s, t, ends)
  done = t >= ends;
  interval = ends - t;
  info = struct();
  pending = 'the pause is not over';
end

% The readings of a pause: after one fails, the rest of the pause passes
% without them.
function next = tolerant(between, t, checks)
  try
    next = between(t, checks);
  catch err
    if strcmp(err.identifier, 'Octave:interrupt')
      rethrow(err);
    end
    next = Inf;
  end
end

% Runs one step of close while it is pending: whether it is still pending
% after, and the first failure so far.
function [pending, failure] = attempt(pending, failure, step)
  if ~pending
    return;
  end
  try
    step();
    pending = false;
  catch err
    if isempty(failure)
      failure = err;
    end
  end
end

function tf = said(text, line)
  tf = any(strcmp(strsplit(text, newline), line));
end
