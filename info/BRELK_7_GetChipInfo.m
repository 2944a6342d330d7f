%BRELK_7_GetChipInfo Read the sensor chip's size and pixel size.
%   [status, chipWidth, chipHeight, imageWidth, imageHeight, pixelWidth,
%   pixelHeight] = BRELK_7_GetChipInfo(id) opens the camera id and reads its
%   chip data, exactly as the SDK writes them, in the SDK's units. The SDK
%   also reports the bits per pixel; that value is not returned.
%
%   Inputs
%     id  camera ID: a char row vector such as 'SIM-MONO', or a uint8 or int8
%         array of its bytes (read up to the first 0 or the end)
%
%   Outputs
%     status       int32 scalar: -1 when the SDK result is -1, 0 for any
%                  other result (positive ones included)
%     chipWidth    double scalar: chip width
%     chipHeight   double scalar: chip height
%     imageWidth   uint32 scalar: image width in pixels
%     imageHeight  uint32 scalar: image height in pixels
%     pixelWidth   double scalar: pixel width
%     pixelHeight  double scalar: pixel height
%   Ask for as many outputs as you need: the SDK is called and status set
%   either way. When the SDK result is -1 the six outputs are still returned,
%   with what the SDK wrote and 0 elsewhere. When the call ends before the
%   read (a refused input, a camera that does not open), status is -1 and
%   every output asked for says so: NaN for the doubles, uint32 0 for the
%   image width and height.
%
%   SDK calls
%     OpenBRELKCCD(id)
%     GetBRELKCCDChipInfo(camera, &chipWidth, &chipHeight, &imageWidth,
%         &imageHeight, &pixelWidth, &pixelHeight, &bitsPerPixel)
%
%   Printed (the text between the quotes, one line each)
%     "Get camera chip info successfully."
%                              the SDK result was not -1
%     "Get camera chip info failed."
%                              the SDK result was -1
%     "Open BRELKCCD failed."  no camera opened with this ID
%     "Missing camera ID." / "Invalid camera ID."
%                              id not given / empty or not char, uint8 or
%                              int8
%   Inputs are checked before the camera is opened: a refused one prints its
%   one line, returns status -1 and calls no SDK operation.
%
%   Example
%     [status, cw, ch, w, h, pw, ph] = BRELK_7_GetChipInfo('SIM-MONO')
%
%   See also BRELK_7_GetEffective, BRELK_7_GetOverscan.
