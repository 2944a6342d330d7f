%BRELK_7_GetPressure Read the camera's pressure.
%   [status, pressure] = BRELK_7_GetPressure(id) opens the camera id, checks
%   that it has a pressure sensor and reads its pressure (control 63). The
%   value is returned and printed exactly as the SDK gives it and is not
%   tested: whatever it is, -1 included, status is 0.
%
%   Inputs
%     id  camera ID: a char row vector such as 'SIM-MONO', or a uint8 or int8
%         array of its bytes (read up to the first 0 or the end)
%
%   Outputs
%     status    int32 scalar: 0 once the camera is open and has the sensor,
%               -1 otherwise
%     pressure  double scalar: the pressure as the SDK reports it
%   When there is no reading (a refused input, a camera that does not open
%   or has no such sensor), status is -1 and pressure is NaN.
%
%   SDK calls
%     OpenBRELKCCD(id)
%     IsBRELKCCDControlAvailable(camera, 63)   (a pressure sensor?)
%     GetBRELKCCDParam(camera, 63)
%
%   Printed (the text between the quotes, one line each)
%     "Current Pressure : %f"  the value read, with six decimals; status 0
%     "Camera don't support pressure function."
%                              the camera has no pressure sensor (the
%                              availability result was -1); status -1
%     "Open BRELKCCD failed."  no camera opened with this ID
%     "Missing camera ID." / "Invalid camera ID."
%                              id not given / empty or not char, uint8 or
%                              int8
%   Inputs are checked before the camera is opened: a refused one prints its
%   one line, returns status -1 and calls no SDK operation.
%
%   Example
%     [status, pressure] = BRELK_7_GetPressure('SIM-COLOR')
%
%   See also BRELK_7_GetHumidity, BRELK_7_GetTemperature.
