%BRELK_6_SetROI Set the region of interest.
%   status = BRELK_6_SetROI(id, x, y, sizex, sizey) opens the camera id and
%   sets its region of interest: start x and y, width sizex and height sizey,
%   in pixels. Each number is truncated toward zero to a signed 32-bit
%   integer (10.9 gives 10, 640.2 gives 640; NaN and values outside that
%   range give -2147483648) and passed on as its unsigned 32-bit bit pattern.
%   The echo line shows the numbers as given. The toolbox checks no range:
%   the SDK decides what it accepts.
%
%   Inputs
%     id     camera ID: a char row vector such as 'SIM-MONO', or a uint8 or
%            int8 array of its bytes (read up to the first 0 or the end)
%     x      start column: a real numeric or logical value; its first element
%            is read as a double
%     y      start row: a real numeric or logical value; its first element is
%            read as a double
%     sizex  width: a real numeric or logical value; its first element is
%            read as a double
%     sizey  height: a real numeric or logical value; its first element is
%            read as a double
%
%   Output
%     status  int32 scalar: 0 when the SDK result is 0, -1 for any other
%             result (positive ones included)
%
%   SDK calls
%     OpenBRELKCCD(id)
%     SetBRELKCCDResolution(camera, x, y, sizex, sizey)
%
%   Printed (the text between the quotes, one line each)
%     "x = %f y = %f sizex = %f sizey = %f"
%                               once the camera is open: the four numbers
%                               with six decimals
%     "Set camera ROI successfully***********."
%                               the SDK result was 0 (eleven asterisks before
%                               the full stop)
%     "Set camera ROI failed."  any other result
%     "Open BRELKCCD failed."   no camera opened with this ID
%     "Missing x." / "Invalid x."
%                               x not given / empty, complex, sparse or not a
%                               number
%     "Missing y." / "Invalid y."
%                               y not given / empty, complex, sparse or not a
%                               number
%     "Missing sizex." / "Invalid sizex."
%                               sizex not given / empty, complex, sparse or
%                               not a number
%     "Missing sizey." / "Invalid sizey."
%                               sizey not given / empty, complex, sparse or
%                               not a number
%     "Missing camera ID." / "Invalid camera ID."
%                               id not given / empty or not char, uint8 or
%                               int8
%   All four numbers are needed: with three, the call prints "Missing
%   sizey.".
%   Inputs are checked before the camera is opened: a refused one prints its
%   one line, returns status -1 and calls no SDK operation.
%
%   Example
%     status = BRELK_6_SetROI('SIM-MONO', 0, 0, 1024, 768)
%
%   See also BRELK_7_GetEffective, BRELK_7_GetChipInfo.
