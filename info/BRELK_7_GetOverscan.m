%BRELK_7_GetOverscan Read the sensor's overscan area.
%   [status, startX, startY, sizeX, sizeY] = BRELK_7_GetOverscan(id) opens
%   the camera id and reads the sensor's overscan area: its start column and
%   row and its width and height, in pixels, exactly as the SDK writes them.
%
%   Inputs
%     id  camera ID: a char row vector such as 'SIM-MONO', or a uint8 or int8
%         array of its bytes (read up to the first 0 or the end)
%
%   Outputs
%     status  int32 scalar: -1 when the SDK result is -1, 0 for any other
%             result (positive ones included)
%     startX  uint32 scalar: start column
%     startY  uint32 scalar: start row
%     sizeX   uint32 scalar: width
%     sizeY   uint32 scalar: height
%   Ask for as many outputs as you need: the SDK is called and status set
%   either way. When the SDK result is -1 the four outputs are still
%   returned, with what the SDK wrote and 0 elsewhere. When the call ends
%   before the read (a refused input, a camera that does not open), status
%   is -1 and every output asked for is uint32 0.
%
%   SDK calls
%     OpenBRELKCCD(id)
%     GetBRELKCCDOverScanArea(camera, &startX, &startY, &sizeX, &sizeY)
%
%   Printed (the text between the quotes, one line each)
%     "Get camera overscan area successfully."
%                              the SDK result was not -1
%     "Get camera overscan area failed."
%                              the SDK result was -1
%     "Open BRELKCCD failed."  no camera opened with this ID
%     "Missing camera ID." / "Invalid camera ID."
%                              id not given / empty or not char, uint8 or
%                              int8
%   Inputs are checked before the camera is opened: a refused one prints its
%   one line, returns status -1 and calls no SDK operation.
%
%   Example
%     [status, x, y, w, h] = BRELK_7_GetOverscan('SIM-MONO')
%
%   See also BRELK_7_GetEffective, BRELK_7_GetChipInfo.
