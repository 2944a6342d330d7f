%BRELK_8_GetCFWStatus Read the filter wheel's status.
%   [status, wheelStatus] = BRELK_8_GetCFWStatus(id) opens the camera id,
%   checks that it can drive a filter wheel and reads the wheel's status
%   (control 17). The SDK's value is truncated toward zero to a signed 32-bit
%   integer (NaN and values outside that range give -2147483648) and tested:
%   -1 is a failure, so -1.5 fails too while -0.5 gives 0 and succeeds.
%
%   wheelStatus holds the low 8 bits of that integer: values 0 to 255 arrive
%   unchanged, others wrap, so a failed read (-1) returns 255 beside status
%   -1, and 256 returns 0. What the value means is the SDK's matter.
%
%   On the simulated camera (SIM-MONO) the status is a character code: the
%   digit of the slot the wheel rests at, slots numbered from 0 ('3' = 51
%   for slot 3, so char(wheelStatus) shows 3), and 'N' (78) while the wheel
%   moves. Read it until it shows the target's digit to wait for the wheel.
%
%   Inputs
%     id  camera ID: a char row vector such as 'SIM-MONO', or a uint8 or int8
%         array of its bytes (read up to the first 0 or the end)
%
%   Outputs
%     status       int32 scalar: -1 when the truncated value is -1 or the
%                  call stopped earlier, 0 otherwise
%     wheelStatus  uint8 scalar: the low 8 bits of the truncated value
%   When the call ends before the read (a refused input, a camera that does
%   not open or cannot drive a wheel), status is -1 and wheelStatus is 255,
%   as after a failed read.
%
%   SDK calls
%     OpenBRELKCCD(id)
%     IsBRELKCCDControlAvailable(camera, 17)   (filter-wheel control?)
%     GetBRELKCCDParam(camera, 17)
%
%   Printed (the text between the quotes, one line each)
%     "Get CFW status successfully."
%                               the value was not -1
%     "Get CFW status failed."  the value was -1
%     "Camera don't support CFW control function."
%                               the camera cannot drive a filter wheel (the
%                               availability result for 17 was -1); status -1
%     "Open BRELKCCD failed."   no camera opened with this ID
%     "Missing camera ID." / "Invalid camera ID."
%                               id not given / empty or not char, uint8 or
%                               int8
%   Inputs are checked before the camera is opened: a refused one prints its
%   one line, returns status -1 and calls no SDK operation.
%
%   Example
%     [status, wheelStatus] = BRELK_8_GetCFWStatus('SIM-MONO');
%     char(wheelStatus)                        % '3' at slot 3, 'N' moving
%
%   See also BRELK_8_SetCFWTarget, BRELK_8_GetCFWSlotsNum.
