%BRELK_11_CloseCamera Close the camera and release the SDK.
%   status = BRELK_11_CloseCamera(id) opens the camera id to obtain its
%   handle, closes it, and then releases the SDK's resources. A failed close
%   stops there: the SDK is not released. A failed release leaves the camera
%   closed. After a release, the next call of any function opens the camera
%   afresh through the SDK.
%
%   Inputs
%     id  camera ID: a char row vector such as 'SIM-MONO', or a uint8 or int8
%         array of its bytes (read up to the first 0 or the end)
%
%   Output
%     status  int32 scalar: 0 when both the close and the release succeed, -1
%             when either SDK result is -1 (any other result, positive ones
%             included, is a success)
%
%   SDK calls
%     OpenBRELKCCD(id)
%     CloseBRELKCCD(camera)
%     ReleaseBRELKCCDResource()   (only after a successful close)
%
%   Printed (the text between the quotes, one line each)
%     "Close camera successfully."
%                              the close result was not -1
%     "Close camera failed."   the close result was -1
%     "Release resource successfully."
%                              after a successful close, the release result
%                              was not -1
%     "Release resource failed."
%                              the release result was -1
%     "Open BRELKCCD failed."  no camera opened with this ID
%     "Missing camera ID." / "Invalid camera ID."
%                              id not given / empty or not char, uint8 or
%                              int8
%   A successful call prints two lines: the close line, then the release
%   line.
%   Inputs are checked before the camera is opened: a refused one prints its
%   one line, returns status -1 and calls no SDK operation.
%
%   Example
%     status = BRELK_11_CloseCamera('SIM-MONO')
%
%   See also BRELK_4_InitCamera.
