%BRELK_6_SetLiveWBB Set the camera's blue balance.
%   status = BRELK_6_SetLiveWBB(id, value) opens the camera id and sets its
%   blue balance (control 3) to value, passed to the SDK unchanged as a
%   double. The toolbox checks no range: the SDK decides which values it
%   accepts.
%
%   Inputs
%     id     camera ID: a char row vector such as 'SIM-MONO', or a uint8 or
%            int8 array of its bytes (read up to the first 0 or the end)
%     value  the blue balance: a real numeric or logical value; its first
%            element is read as a double
%
%   Output
%     status  int32 scalar: 0 when the SDK result is 0, -1 for any other
%             result (positive ones included)
%
%   SDK calls
%     OpenBRELKCCD(id)
%     SetBRELKCCDParam(camera, 3, value)
%
%   Printed (the text between the quotes, one line each)
%     "Set camera blue balance successfully."
%                              the SDK result was 0
%     "Set camera bule balance failed."
%                              any other result
%     "Open BRELKCCD failed."  no camera opened with this ID
%     "Missing value." / "Invalid value."
%                              value not given / empty, complex, sparse or
%                              not a number
%     "Missing camera ID." / "Invalid camera ID."
%                              id not given / empty or not char, uint8 or
%                              int8
%   The failure line is spelt "bule", as printed; scripts that match on it
%   can rely on that.
%   Inputs are checked before the camera is opened: a refused one prints its
%   one line, returns status -1 and calls no SDK operation.
%
%   Example
%     status = BRELK_6_SetLiveWBB('SIM-MONO', 0)
%
%   See also BRELK_6_SetLiveWBR, BRELK_6_SetLiveWBG.
