%BRELK_6_SetLiveContrast Set the camera's contrast.
%   status = BRELK_6_SetLiveContrast(id, value) opens the camera id and sets
%   its contrast (control 1) to value, passed to the SDK unchanged as a
%   double. The toolbox checks no range: the SDK decides which values it
%   accepts.
%
%   Inputs
%     id     camera ID: a char row vector such as 'SIM-MONO', or a uint8 or
%            int8 array of its bytes (read up to the first 0 or the end)
%     value  the contrast: a real numeric or logical value; its first element
%            is read as a double
%
%   Output
%     status  int32 scalar: 0 when the SDK result is 0, -1 for any other
%             result (positive ones included)
%
%   SDK calls
%     OpenBRELKCCD(id)
%     SetBRELKCCDParam(camera, 1, value)
%
%   Printed (the text between the quotes, one line each)
%     "Set camera contrast successfully."
%                              the SDK result was 0
%     "Set camera contrast failed."
%                              any other result
%     "Open BRELKCCD failed."  no camera opened with this ID
%     "Missing value." / "Invalid value."
%                              value not given / empty, complex, sparse or
%                              not a number
%     "Missing camera ID." / "Invalid camera ID."
%                              id not given / empty or not char, uint8 or
%                              int8
%   Inputs are checked before the camera is opened: a refused one prints its
%   one line, returns status -1 and calls no SDK operation.
%
%   Example
%     status = BRELK_6_SetLiveContrast('SIM-MONO', 0)
%
%   See also BRELK_6_SetLiveBrightness, BRELK_6_SetLiveGamma.
