%BRELK_7_GetHumidity Read the camera's humidity.
%   [status, humidity] = BRELK_7_GetHumidity(id) opens the camera id, checks
%   that it has a humidity sensor and reads its humidity (control 62). The
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
%     humidity  double scalar: the humidity as the SDK reports it
%   When there is no reading (a refused input, a camera that does not open
%   or has no such sensor), status is -1 and humidity is NaN.
%
%   SDK calls
%     OpenBRELKCCD(id)
%     IsBRELKCCDControlAvailable(camera, 62)   (a humidity sensor?)
%     GetBRELKCCDParam(camera, 62)
%
%   Printed (the text between the quotes, one line each)
%     "Current Humidity : %f"  the value read, with six decimals; status 0
%     "Camera don't support humidity function."
%                              the camera has no humidity sensor (the
%                              availability result was -1); status -1
%     "Open BRELKCCD failed."  no camera opened with this ID
%     "Missing camera ID." / "Invalid camera ID."
%                              id not given / empty or not char, uint8 or
%                              int8
%   Inputs are checked before the camera is opened: a refused one prints its
%   one line, returns status -1 and calls no SDK operation.
%
%   Example
%     [status, humidity] = BRELK_7_GetHumidity('SIM-COLOR')
%
%   See also BRELK_7_GetPressure, BRELK_7_GetTemperature.
