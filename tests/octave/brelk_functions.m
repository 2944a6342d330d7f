function list = brelk_functions()
% list = brelk_functions(): the toolbox's 35 functions in stage order, one row
% each: name, inputs after the camera ID (as a script passes them), and the
% number of outputs after the status.
  list = {
    'BRELK_2_SetReadMode',           {0},              0
    'BRELK_3_SetStreamMode',         {0},              0
    'BRELK_4_InitCamera',            {},               0
    'BRELK_6_SetLiveBrightness',     {10},             0
    'BRELK_6_SetLiveContrast',       {10},             0
    'BRELK_6_SetLiveWBR',            {10},             0
    'BRELK_6_SetLiveWBB',            {10},             0
    'BRELK_6_SetLiveWBG',            {10},             0
    'BRELK_6_SetLiveGamma',          {1.5},             0
    'BRELK_6_SetGain',               {30},             0
    'BRELK_6_SetOffset',             {10},             0
    'BRELK_6_SetExposeTime',         {1000},           0
    'BRELK_6_SetTraffic',            {0},              0
    'BRELK_6_SetCoolerPWM',          {50},             0
    'BRELK_6_SetCoolerOFF',          {},               0
    'BRELK_6_SetCoolerTemperature',  {-10},            0
    'BRELK_6_SetDDR',                {1},              0
    'BRELK_6_SetROI',                {0, 0, 640, 480}, 0
    'BRELK_7_GetEffective',          {},               4
    'BRELK_7_GetOverscan',           {},               4
    'BRELK_7_GetChipInfo',           {},               6
    'BRELK_7_GetTemperature',        {},               1
    'BRELK_7_GetCoolerPWM',          {},               1
    'BRELK_7_GetHumidity',           {},               1
    'BRELK_7_GetPressure',           {},               1
    'BRELK_7_GetDebayer',            {},               1
    'BRELK_8_CheckCFWPlug',          {},               0
    'BRELK_8_GetCFWSlotsNum',        {},               1
    'BRELK_8_GetCFWStatus',          {},               1
    'BRELK_8_SetCFWTarget',          {3},              0
    'BRELK_9_BeginSingleExpose',     {},               0
    'BRELK_9_StopSingleCapture',     {},               0
    'BRELK_10_BeginLiveExpose',      {},               0
    'BRELK_10_StopLiveCapture',      {},               0
    'BRELK_11_CloseCamera',          {},               0
  };
end
