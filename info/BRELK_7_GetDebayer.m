%BRELK_7_GetDebayer Read a colour sensor's Bayer pattern.
%   [status, pattern] = BRELK_7_GetDebayer(id) opens the camera id, checks
%   that it is a colour camera and reads the arrangement of its colour
%   filters (the debayer format) as four letters. The SDK answers a code: 1
%   GBRG, 2 GRBG, 3 BGGR, 4 RGGB.
%
%   Inputs
%     id  camera ID: a char row vector such as 'SIM-MONO', or a uint8 or int8
%         array of its bytes (read up to the first 0 or the end)
%
%   Outputs
%     status   int32 scalar: 0 for codes 1 to 4, -1 otherwise
%     pattern  4x1 uint8 column of the letters' ASCII codes, the first letter
%              in row 1 (char(pattern') gives e.g. 'RGGB'); four zeros when
%              the code is -1 or unknown
%   When the call ends before the read (a refused input, a camera that does
%   not open or is not a colour camera), status is -1 and pattern is four
%   zeros.
%
%   SDK calls
%     OpenBRELKCCD(id)
%     IsBRELKCCDControlAvailable(camera, 59)   (a colour camera?)
%     IsBRELKCCDControlAvailable(camera, 20)   (the pattern code)
%
%   Printed (the text between the quotes, one line each)
%     "Get debayer format successfully.%s"
%                              codes 1 to 4, with the four letters right
%                              after the full stop, no blank: Get debayer
%                              format successfully.RGGB
%     "Get debayer format failed."
%                              the code was -1
%     "Debayer format error."  any other code (0, 5, ...)
%     "Camera don't support color function."
%                              not a colour camera (the availability result
%                              for 59 was -1)
%     "Open BRELKCCD failed."  no camera opened with this ID
%     "Missing camera ID." / "Invalid camera ID."
%                              id not given / empty or not char, uint8 or
%                              int8
%   Inputs are checked before the camera is opened: a refused one prints its
%   one line, returns status -1 and calls no SDK operation.
%
%   Example
%     [status, pattern] = BRELK_7_GetDebayer('SIM-COLOR');
%     letters = char(pattern')
%
%   See also BRELK_7_GetChipInfo.
