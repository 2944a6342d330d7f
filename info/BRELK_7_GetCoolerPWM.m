%BRELK_7_GetCoolerPWM Read the power the cooler runs at.
%   [status, percent] = BRELK_7_GetCoolerPWM(id) opens the camera id and
%   reads the power its cooler runs at now (control 16, 0 to 255 where 255
%   is full power), returned in percent of full power: the SDK's value
%   / 255 * 100, the inverse of BRELK_6_SetCoolerPWM. Under a target
%   temperature (BRELK_6_SetCoolerTemperature) it is the power the
%   regulator chose; 0 means the cooler is off or idle.
%
%   Inputs
%     id  camera ID: a char row vector such as 'SIM-MONO', or a uint8 or int8
%         array of its bytes (read up to the first 0 or the end)
%
%   Outputs
%     status   int32 scalar: -1 when the SDK's value, truncated toward zero,
%              is -1; 0 otherwise
%     percent  double scalar: the cooler's power in percent of full power;
%              NaN when there is no reading (status -1: the SDK answered -1,
%              the camera did not open or an input was refused)
%
%   SDK calls
%     OpenBRELKCCD(id)
%     GetBRELKCCDParam(camera, 16)
%
%   Printed (the text between the quotes, one line each)
%     "Current cooler PWM : %f %"
%                              the power read, in percent with six
%                              decimals; status 0
%     "Get cooler PWM failed." the SDK answered -1; status -1
%     "Open BRELKCCD failed."  no camera opened with this ID
%     "Missing camera ID." / "Invalid camera ID."
%                              id not given / empty or not char, uint8 or
%                              int8
%   Inputs are checked before the camera is opened: a refused one prints its
%   one line, returns status -1 and calls no SDK operation.
%
%   Example
%     BRELK_6_SetCoolerTemperature('SIM-MONO', -10);
%     [status, percent] = BRELK_7_GetCoolerPWM('SIM-MONO')   % 100 while cooling down
%
%   See also BRELK_6_SetCoolerPWM, BRELK_6_SetCoolerTemperature,
%   BRELK_7_GetTemperature.
