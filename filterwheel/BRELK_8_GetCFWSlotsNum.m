%BRELK_8_GetCFWSlotsNum Read the filter wheel's number of slots.
%   [status, slots] = BRELK_8_GetCFWSlotsNum(id) opens the camera id, checks
%   that it can drive a filter wheel and reads the wheel's number of slots
%   (control 44). The SDK's value is truncated toward zero to a signed 32-bit
%   integer (NaN and values outside that range give -2147483648), stored in
%   slots, and then tested: -1 is a failure, so -1.5 fails too while -0.5
%   gives 0 and succeeds.
%
%   Inputs
%     id  camera ID: a char row vector such as 'SIM-MONO', or a uint8 or int8
%         array of its bytes (read up to the first 0 or the end)
%
%   Outputs
%     status  int32 scalar: -1 when the truncated value is -1 or the call
%             stopped earlier, 0 otherwise
%     slots   int32 scalar: the slot count; -1 when the read failed. Slots
%             are numbered from 0 to slots - 1 (the simulated wheel has 7:
%             0 to 6)
%   When the call ends before the read (a refused input, a camera that does
%   not open or cannot drive a wheel), status is -1 and slots is -1, as
%   after a failed read.
%
%   SDK calls
%     OpenBRELKCCD(id)
%     IsBRELKCCDControlAvailable(camera, 17)   (filter-wheel control?)
%     GetBRELKCCDParam(camera, 44)
%
%   Printed (the text between the quotes, one line each)
%     "Get CFW slots number successfully."
%                              the value was not -1
%     "Get CFW slots number failed."
%                              the value was -1
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
%     [status, slots] = BRELK_8_GetCFWSlotsNum('SIM-MONO')
%
%   See also BRELK_8_GetCFWStatus, BRELK_8_SetCFWTarget.
