% BRELK camera toolbox: a cooled camera and its colour filter wheel.
% Version 1.0.0
%
% Every function takes the camera ID first (a char row vector such as
% 'SIM-MONO', or a uint8 or int8 array of its bytes), opens the camera by it,
% prints one line or more of progress and returns an int32 status first:
% 0 on success, -1 on failure, followed by the values it read. No function
% raises an error of its own. An input that is missing or holds no usable
% value is refused before the camera is opened, with one line such as
% "Missing readMode." or "Invalid camera ID." and status -1. Type
% help <function> for its inputs, outputs, messages and SDK calls.
%
% Objects built on the functions (the package +brelk): they check every
% status, wait where the camera needs time, and raise errors with the
% identifiers brelk:Camera:<mnemonic>, brelk:FilterWheel:<mnemonic> and
% brelk:Sequence:<mnemonic>.
%   brelk.Camera                 - A cooled camera as one object: settings, cooling, exposures.
%   brelk.FilterWheel            - The filter wheel attached to a brelk.Camera.
%   brelk.Sequence               - A night's plan of exposures, run on a brelk.Camera and resumed after a crash.
%   brelk.readLog                - Read back the record file of a brelk.Camera or a brelk.Sequence.
%
% Set-up (stages 2 to 4)
%   BRELK_2_SetReadMode          - Choose the camera's read mode.
%   BRELK_3_SetStreamMode        - Choose the camera's stream mode.
%   BRELK_4_InitCamera           - Initialise the camera's parameters.
%
% Settings (stage 6)
%   BRELK_6_SetLiveBrightness    - Set the camera's brightness.
%   BRELK_6_SetLiveContrast      - Set the camera's contrast.
%   BRELK_6_SetLiveWBR           - Set the camera's red balance.
%   BRELK_6_SetLiveWBB           - Set the camera's blue balance.
%   BRELK_6_SetLiveWBG           - Set the camera's green balance.
%   BRELK_6_SetLiveGamma         - Set the camera's gamma.
%   BRELK_6_SetGain              - Set the camera's gain.
%   BRELK_6_SetOffset            - Set the camera's offset.
%   BRELK_6_SetExposeTime        - Set the camera's exposure time.
%   BRELK_6_SetTraffic           - Set the camera's traffic.
%   BRELK_6_SetCoolerPWM         - Drive the cooler at a share of full power.
%   BRELK_6_SetCoolerOFF         - Switch the cooler off.
%   BRELK_6_SetCoolerTemperature - Set the cooler's target temperature.
%   BRELK_6_SetDDR               - Set the camera's DDR.
%   BRELK_6_SetROI               - Set the region of interest.
%
% Information (stage 7)
%   BRELK_7_GetEffective         - Read the sensor's effective area.
%   BRELK_7_GetOverscan          - Read the sensor's overscan area.
%   BRELK_7_GetChipInfo          - Read the sensor chip's size and pixel size.
%   BRELK_7_GetTemperature       - Read the sensor temperature.
%   BRELK_7_GetCoolerPWM         - Read the power the cooler runs at.
%   BRELK_7_GetHumidity          - Read the camera's humidity.
%   BRELK_7_GetPressure          - Read the camera's pressure.
%   BRELK_7_GetDebayer           - Read a colour sensor's Bayer pattern.
%
% Filter wheel (stage 8)
%   BRELK_8_CheckCFWPlug         - Tell whether a filter wheel is connected.
%   BRELK_8_GetCFWSlotsNum       - Read the filter wheel's number of slots.
%   BRELK_8_GetCFWStatus         - Read the filter wheel's status.
%   BRELK_8_SetCFWTarget         - Move the filter wheel to a position.
%
% Single-frame exposure (stage 9)
%   BRELK_9_BeginSingleExpose    - Start a single-frame exposure.
%   BRELK_9_StopSingleCapture    - Cancel a single-frame exposure.
%
% Live exposure (stage 10)
%   BRELK_10_BeginLiveExpose     - Start live, continuous exposure.
%   BRELK_10_StopLiveCapture     - Stop live exposure.
%
% Shutdown (stage 11)
%   BRELK_11_CloseCamera         - Close the camera and release the SDK.
%
% The stage numbers follow a camera's working life: read mode, stream mode
% and initialisation, then settings, information, filter wheel and
% exposures, and last closing. The toolbox enforces no order; each call
% stands alone and the SDK decides whether it fits the camera's state. The
% toolbox neither lists cameras nor downloads frames.
%
% With the simulated camera, the IDs 'SIM-MONO' (monochrome, with a filter
% wheel) and 'SIM-COLOR' (colour, with humidity and pressure sensors) open.
