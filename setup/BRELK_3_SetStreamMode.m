%BRELK_3_SetStreamMode Choose the camera's stream mode.
%   status = BRELK_3_SetStreamMode(id, streamMode) opens the camera id and
%   sets its stream mode. The mode is the low 8 bits of streamMode truncated
%   toward zero to a signed 32-bit integer: 1.7 gives 1, 257 gives 1, -1
%   gives 255, and NaN or a value outside the 32-bit range gives 0.
%   streamMode is echoed as given, before truncation.
%
%   Inputs
%     id          camera ID: a char row vector such as 'SIM-MONO', or a uint8
%                 or int8 array of its bytes (read up to the first 0 or the
%                 end)
%     streamMode  the stream mode: a real numeric or logical value; its first
%                 element is read as a double
%
%   Output
%     status  int32 scalar: 0 when the SDK result is 0, -1 for any other
%             result (positive ones included)
%
%   SDK calls
%     OpenBRELKCCD(id)
%     SetBRELKCCDStreamMode(camera, mode)   (mode: uint8)
%
%   Printed (the text between the quotes, one line each)
%     "streamMode = %f"        once the camera is open: streamMode with six
%                              decimals
%     "Setup stream mode successfully."
%                              the SDK result was 0
%     "Setup stream mode failed."
%                              any other result
%     "Open BRELKCCD failed."  no camera opened with this ID
%     "Missing streamMode." / "Invalid streamMode."
%                              streamMode not given / empty, complex, sparse
%                              or not a number
%     "Missing camera ID." / "Invalid camera ID."
%                              id not given / empty or not char, uint8 or
%                              int8
%   Inputs are checked before the camera is opened: a refused one prints its
%   one line, returns status -1 and calls no SDK operation.
%
%   Example
%     status = BRELK_3_SetStreamMode('SIM-MONO', 0)
%
%   See also BRELK_2_SetReadMode, BRELK_4_InitCamera.
