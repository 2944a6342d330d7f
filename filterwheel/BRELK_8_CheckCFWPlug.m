%BRELK_8_CheckCFWPlug Tell whether a filter wheel is connected.
%   status = BRELK_8_CheckCFWPlug(id) opens the camera id, checks that it can
%   drive a filter wheel and asks whether one is connected.
%
%   Inputs
%     id  camera ID: a char row vector such as 'SIM-MONO', or a uint8 or int8
%         array of its bytes (read up to the first 0 or the end)
%
%   Output
%     status  int32 scalar: 0 when a wheel is connected (any SDK result but
%             -1, positive ones included), -1 when none is or the camera
%             cannot drive one
%
%   SDK calls
%     OpenBRELKCCD(id)
%     IsBRELKCCDControlAvailable(camera, 17)   (filter-wheel control?)
%     IsBRELKCCDCFWPlugged(camera)
%
%   Printed (the text between the quotes, one line each)
%     "CFW is connected to camera."
%                              the SDK result was not -1
%     "No CFW is connected to camera."
%                              the SDK result was -1
%     "Camera don't support CFW control function."
%                              the camera cannot drive a filter wheel (the
%                              availability result for 17 was -1); status -1
%     "Open BRELKCCD failed."  no camera opened with this ID
%     "Missing camera ID." / "Invalid camera ID."
%                              id not given / empty or not char, uint8 or
%                              int8
%   Inputs are checked before the camera is opened: a refused one prints its
%   one line, returns status -1 and calls no SDK operation.
%
%   Example
%     status = BRELK_8_CheckCFWPlug('SIM-MONO')
%
%   See also BRELK_8_GetCFWSlotsNum, BRELK_8_GetCFWStatus, BRELK_8_SetCFWTarget.
