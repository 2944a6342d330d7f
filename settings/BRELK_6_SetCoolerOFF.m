%BRELK_6_SetCoolerOFF Switch the cooler off.
%   status = BRELK_6_SetCoolerOFF(id) opens the camera id and switches its
%   cooler off by setting the cooler PWM (control 16) to 0. It reads no input
%   besides the ID.
%
%   Inputs
%     id  camera ID: a char row vector such as 'SIM-MONO', or a uint8 or int8
%         array of its bytes (read up to the first 0 or the end)
%
%   Output
%     status  int32 scalar: 0 when the SDK result is 0, -1 for any other
%             result (positive ones included)
%
%   SDK calls
%     OpenBRELKCCD(id)
%     SetBRELKCCDParam(camera, 16, 0)
%
%   Printed (the text between the quotes, one line each)
%     "Set cooler OFF successfully."
%                               the SDK result was 0
%     "Set cooler OFF failed."  any other result
%     "Open BRELKCCD failed."   no camera opened with this ID
%     "Missing camera ID." / "Invalid camera ID."
%                               id not given / empty or not char, uint8 or
%                               int8
%   Inputs are checked before the camera is opened: a refused one prints its
%   one line, returns status -1 and calls no SDK operation.
%
%   Example
%     status = BRELK_6_SetCoolerOFF('SIM-MONO')
%
%   See also BRELK_6_SetCoolerPWM, BRELK_6_SetCoolerTemperature.
