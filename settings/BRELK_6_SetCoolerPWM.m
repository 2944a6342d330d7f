%BRELK_6_SetCoolerPWM Drive the cooler at a share of full power.
%   status = BRELK_6_SetCoolerPWM(id, percent) opens the camera id and sets
%   the cooler's PWM (control 16, where 255 is full power) to percent / 100 *
%   255, computed in double arithmetic with no rounding and no clamping: 100
%   gives 255, 50 gives 127.5, 0 gives 0 and 120 gives 306. The SDK decides
%   which values it accepts.
%
%   Inputs
%     id       camera ID: a char row vector such as 'SIM-MONO', or a uint8 or
%              int8 array of its bytes (read up to the first 0 or the end)
%     percent  the share of full cooler power, in percent: a real numeric or
%              logical value; its first element is read as a double
%
%   Output
%     status  int32 scalar: 0 when the SDK result is 0, -1 for any other
%             result (positive ones included)
%
%   SDK calls
%     OpenBRELKCCD(id)
%     SetBRELKCCDParam(camera, 16, percent / 100 * 255)
%
%   Printed (the text between the quotes, one line each)
%     "Set cooler PWM successfully."
%                               the SDK result was 0
%     "Set cooler PWM failed."  any other result
%     "Open BRELKCCD failed."   no camera opened with this ID
%     "Missing percent." / "Invalid percent."
%                               percent not given / empty, complex, sparse or
%                               not a number
%     "Missing camera ID." / "Invalid camera ID."
%                               id not given / empty or not char, uint8 or
%                               int8
%   Inputs are checked before the camera is opened: a refused one prints its
%   one line, returns status -1 and calls no SDK operation.
%
%   Example
%     status = BRELK_6_SetCoolerPWM('SIM-MONO', 50)   % 127.5 of 255
%
%   See also BRELK_6_SetCoolerOFF, BRELK_6_SetCoolerTemperature.
