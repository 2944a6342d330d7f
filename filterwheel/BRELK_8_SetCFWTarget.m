%BRELK_8_SetCFWTarget Move the filter wheel to a position.
%   status = BRELK_8_SetCFWTarget(id, target) opens the camera id, checks
%   that it can drive a filter wheel and sends it to the position target
%   (control 17). It returns as soon as the SDK call does: it does not wait
%   for the wheel to arrive; BRELK_8_GetCFWStatus reads where it is.
%
%   The position sent is a signed 8-bit value, widened to a double. From a
%   uint8, int8 or char array it is the first byte: uint8(48) sends 48,
%   uint8(200) sends -56, and the character '3' sends 51, the low byte of its
%   code. From any other numeric or logical class it is the first value
%   truncated toward zero and wrapped to 8 bits: 3 sends 3, 51 sends 51, 200
%   sends -56, NaN sends 0. So 3 and '3' reach the SDK as different bytes,
%   3 and 51.
%
%   Slots are numbered from 0 (BRELK_8_GetCFWSlotsNum gives their count),
%   and the target is the slot's digit character: '3' for slot 3, the form
%   BRELK_8_GetCFWStatus reports a resting wheel in. The simulated wheel
%   (SIM-MONO, slots 0 to 6) takes the digits '0' to '6' (48 to 54) and also
%   the plain numbers 0 to 6, both as that slot; it fails (-1) any other
%   target, and a new one while it moves. With the camera maker's library,
%   its SDK decides what each byte means.
%
%   Inputs
%     id      camera ID: a char row vector such as 'SIM-MONO', or a uint8 or
%             int8 array of its bytes (read up to the first 0 or the end)
%     target  the target position: a real numeric, logical or char array;
%             only its first element is used
%
%   Output
%     status  int32 scalar: -1 when the SDK result is -1, 0 for any other
%             result (positive ones included)
%
%   SDK calls
%     OpenBRELKCCD(id)
%     IsBRELKCCDControlAvailable(camera, 17)   (filter-wheel control?)
%     SetBRELKCCDParam(camera, 17, position)
%
%   Printed (the text between the quotes, one line each)
%     "Set CFW target position successfully."
%                              the SDK result was not -1
%     "Set CFW target position failed."
%                              the SDK result was -1
%     "Camera don't support CFW control function."
%                              the camera cannot drive a filter wheel (the
%                              availability result for 17 was -1); status -1
%     "Open BRELKCCD failed."  no camera opened with this ID
%     "Missing target position." / "Invalid target position."
%                              target not given / empty, complex, sparse, or
%                              neither a number nor a char
%     "Missing camera ID." / "Invalid camera ID."
%                              id not given / empty or not char, uint8 or
%                              int8
%   Inputs are checked before the camera is opened: a refused one prints its
%   one line, returns status -1 and calls no SDK operation.
%
%   Example
%     status = BRELK_8_SetCFWTarget('SIM-MONO', '3')   % slot 3: sends 51
%
%   See also BRELK_8_GetCFWStatus, BRELK_8_GetCFWSlotsNum, BRELK_8_CheckCFWPlug.
