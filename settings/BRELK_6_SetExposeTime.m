%BRELK_6_SetExposeTime Set the camera's exposure time.
%   status = BRELK_6_SetExposeTime(id, value) opens the camera id and sets
%   its exposure time (control 8) to value, passed to the SDK unchanged as a
%   double. The toolbox checks no range: the SDK decides which values it
%   accepts.
%
%   The unit is the SDK's. The simulated camera takes microseconds, from 1
%   to 3.6e9 (one hour), 1e6 (one second) at power-on; with the camera
%   maker's library, the unit is the one that SDK gives for control 8.
%
%   Inputs
%     id     camera ID: a char row vector such as 'SIM-MONO', or a uint8 or
%            int8 array of its bytes (read up to the first 0 or the end)
%     value  the exposure time in the SDK's unit (microseconds on the
%            simulated camera): a real numeric or logical value; its first
%            element is read as a double
%
%   Output
%     status  int32 scalar: 0 when the SDK result is 0, -1 for any other
%             result (positive ones included)
%
%   SDK calls
%     OpenBRELKCCD(id)
%     SetBRELKCCDParam(camera, 8, value)
%
%   Printed (the text between the quotes, one line each)
%     "Set camera expose time successfully."
%                              the SDK result was 0
%     "Set camera expose time failed."
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
%     status = BRELK_6_SetExposeTime('SIM-MONO', 250000)   % 0.25 s simulated
%
%   See also BRELK_6_SetGain, BRELK_9_BeginSingleExpose.
