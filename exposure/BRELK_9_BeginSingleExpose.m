%BRELK_9_BeginSingleExpose Start a single-frame exposure.
%   status = BRELK_9_BeginSingleExpose(id) opens the camera id and starts one
%   single-frame exposure, with the exposure time set by
%   BRELK_6_SetExposeTime. It returns as soon as the SDK call does.
%
%   The toolbox neither waits for the exposure nor tracks its state, and it
%   has no function that downloads frames: the SDK's result decides whether a
%   call fits the camera's present state.
%
%   Inputs
%     id  camera ID: a char row vector such as 'SIM-MONO', or a uint8 or int8
%         array of its bytes (read up to the first 0 or the end)
%
%   Output
%     status  int32 scalar: -1 when the SDK result is -1, 0 for any other
%             result (positive ones included)
%
%   SDK calls
%     OpenBRELKCCD(id)
%     ExpBRELKCCDSingleFrame(camera)
%
%   Printed (the text between the quotes, one line each)
%     "Begin single expose successfully."
%                              the SDK result was not -1
%     "Begin single expose failed."
%                              the SDK result was -1
%     "Open BRELKCCD failed."  no camera opened with this ID
%     "Missing camera ID." / "Invalid camera ID."
%                              id not given / empty or not char, uint8 or
%                              int8
%   Inputs are checked before the camera is opened: a refused one prints its
%   one line, returns status -1 and calls no SDK operation.
%
%   Example
%     status = BRELK_9_BeginSingleExpose('SIM-MONO')
%
%   See also BRELK_9_StopSingleCapture, BRELK_6_SetExposeTime.
