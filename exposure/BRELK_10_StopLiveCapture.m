%BRELK_10_StopLiveCapture Stop live exposure.
%   status = BRELK_10_StopLiveCapture(id) opens the camera id and stops live
%   exposure. Stopping a live exposure that never began reports what the SDK
%   answers: success unless its result is -1.
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
%     StopBRELKCCDLive(camera)
%
%   Printed (the text between the quotes, one line each)
%     "Stop live mode successfully."
%                               the SDK result was not -1
%     "Stop live mode failed."  the SDK result was -1
%     "Open BRELKCCD failed."   no camera opened with this ID
%     "Missing camera ID." / "Invalid camera ID."
%                               id not given / empty or not char, uint8 or
%                               int8
%   Inputs are checked before the camera is opened: a refused one prints its
%   one line, returns status -1 and calls no SDK operation.
%
%   Example
%     status = BRELK_10_StopLiveCapture('SIM-MONO')
%
%   See also BRELK_10_BeginLiveExpose.
