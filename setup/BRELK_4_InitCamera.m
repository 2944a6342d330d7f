%BRELK_4_InitCamera Initialise the camera's parameters.
%   status = BRELK_4_InitCamera(id) opens the camera id and initialises its
%   parameters. Call it after choosing the read and stream modes and before
%   changing settings or exposing.
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
%     InitBRELKCCD(camera)
%
%   Printed (the text between the quotes, one line each)
%     "Init camera's parameters successfully."
%                              the SDK result was 0
%     "Init camera's parameters failed."
%                              any other result
%     "Open BRELKCCD failed."  no camera opened with this ID
%     "Missing camera ID." / "Invalid camera ID."
%                              id not given / empty or not char, uint8 or
%                              int8
%   Inputs are checked before the camera is opened: a refused one prints its
%   one line, returns status -1 and calls no SDK operation.
%
%   Example
%     status = BRELK_4_InitCamera('SIM-MONO')
%
%   See also BRELK_2_SetReadMode, BRELK_3_SetStreamMode, BRELK_11_CloseCamera.
