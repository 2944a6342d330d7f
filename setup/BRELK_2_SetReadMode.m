%BRELK_2_SetReadMode Choose the camera's read mode.
%   status = BRELK_2_SetReadMode(id, readMode) opens the camera id and sets
%   its read mode. The mode is readMode truncated toward zero to a signed
%   32-bit integer (1.9 gives 1, -0.5 gives 0; NaN and values outside that
%   range give -2147483648), passed on as its unsigned 32-bit bit pattern.
%
%   This is the one function that prints the camera ID, before opening it, so
%   the ID line appears even when the open fails. readMode is echoed as
%   given, before truncation.
%
%   Inputs
%     id        camera ID: a char row vector such as 'SIM-MONO', or a uint8
%               or int8 array of its bytes (read up to the first 0 or the
%               end)
%     readMode  the read mode: a real numeric or logical value; its first
%               element is read as a double
%
%   Output
%     status  int32 scalar: 0 when the SDK result is 0, -1 for any other
%             result (positive ones included)
%
%   SDK calls
%     OpenBRELKCCD(id)
%     SetBRELKCCDReadMode(camera, mode)
%
%   Printed (the text between the quotes, one line each)
%     "id = %s"                first, with the camera ID
%     "readMode = %f"          once the camera is open: readMode with six
%                              decimals
%     "Setup read mode successfully."
%                              the SDK result was 0
%     "Setup read mode failed."
%                              any other result
%     "Open BRELKCCD failed."  no camera opened with this ID
%     "Missing readMode." / "Invalid readMode."
%                              readMode not given / empty, complex, sparse or
%                              not a number
%     "Missing camera ID." / "Invalid camera ID."
%                              id not given / empty or not char, uint8 or
%                              int8
%   Inputs are checked before the camera is opened: a refused one prints its
%   one line alone, without the ID line, returns status -1 and calls no SDK
%   operation.
%
%   Example
%     status = BRELK_2_SetReadMode('SIM-MONO', 0)
%
%   See also BRELK_3_SetStreamMode, BRELK_4_InitCamera.
