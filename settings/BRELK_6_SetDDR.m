%BRELK_6_SetDDR Set the camera's DDR.
%   status = BRELK_6_SetDDR(id, value) opens the camera id, echoes value and
%   sets the camera's DDR (control 48) to value, passed to the SDK unchanged
%   as a double. The toolbox checks no range: the SDK decides which values it
%   accepts.
%
%   Inputs
%     id     camera ID: a char row vector such as 'SIM-MONO', or a uint8 or
%            int8 array of its bytes (read up to the first 0 or the end)
%     value  the DDR setting: a real numeric or logical value; its first
%            element is read as a double
%
%   Output
%     status  int32 scalar: 0 when the SDK result is 0, -1 for any other
%             result (positive ones included)
%
%   SDK calls
%     OpenBRELKCCD(id)
%     SetBRELKCCDParam(camera, 48, value)
%
%   Printed (the text between the quotes, one line each)
%     "DDR value = %f"          once the camera is open, before the SDK call:
%                               value with six decimals
%     "Set camera DDR successfully."
%                               the SDK result was 0
%     "Set camera DDR failed."  any other result
%     "Open BRELKCCD failed."   no camera opened with this ID
%     "Missing value." / "Invalid value."
%                               value not given / empty, complex, sparse or
%                               not a number
%     "Missing camera ID." / "Invalid camera ID."
%                               id not given / empty or not char, uint8 or
%                               int8
%   When the camera does not open, only the open line is printed, without the
%   echo.
%   Inputs are checked before the camera is opened: a refused one prints its
%   one line, returns status -1 and calls no SDK operation.
%
%   Example
%     status = BRELK_6_SetDDR('SIM-MONO', 1)
%
%   See also BRELK_6_SetTraffic.
