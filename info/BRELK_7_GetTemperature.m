%BRELK_7_GetTemperature Read the sensor temperature.
%   [status, temperature] = BRELK_7_GetTemperature(id) opens the camera id
%   and reads its sensor temperature in degrees Celsius (control 14). The
%   value is returned and printed exactly as the SDK gives it and is not
%   tested: whatever it is, -1 included, status is 0.
%
%   Inputs
%     id  camera ID: a char row vector such as 'SIM-MONO', or a uint8 or int8
%         array of its bytes (read up to the first 0 or the end)
%
%   Outputs
%     status       int32 scalar: 0 once the camera is open, -1 otherwise
%     temperature  double scalar: the sensor temperature as the SDK reports
%                  it
%   When there is no reading (a refused input, a camera that does not
%   open), status is -1 and temperature is NaN.
%
%   SDK calls
%     OpenBRELKCCD(id)
%     GetBRELKCCDParam(camera, 14)
%
%   Printed (the text between the quotes, one line each)
%     "Current TEMP : %f <U+2103>"
%                              the value read, with six decimals; status 0
%     "Open BRELKCCD failed."  no camera opened with this ID
%     "Missing camera ID." / "Invalid camera ID."
%                              id not given / empty or not char, uint8 or
%                              int8
%   <U+2103> stands for the degree Celsius sign, printed after a blank as its
%   three UTF-8 bytes E2 84 83.
%   Inputs are checked before the camera is opened: a refused one prints its
%   one line, returns status -1 and calls no SDK operation.
%
%   Example
%     [status, temperature] = BRELK_7_GetTemperature('SIM-MONO')
%
%   See also BRELK_6_SetCoolerTemperature, BRELK_6_SetCoolerPWM.
