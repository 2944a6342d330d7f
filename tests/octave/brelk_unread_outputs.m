function outputs = brelk_unread_outputs(name)
% outputs = brelk_unread_outputs(name): what the outputs after the status of
% the toolbox function `name` hold when a call ends before the camera is read
% (refused input, camera not opened, feature missing), one cell each.
  none = uint32(0);
  switch name
    case {'BRELK_7_GetEffective', 'BRELK_7_GetOverscan'}
      outputs = {none, none, none, none};
    case 'BRELK_7_GetChipInfo'
      outputs = {NaN, NaN, none, none, NaN, NaN};
    case {'BRELK_7_GetTemperature', 'BRELK_7_GetCoolerPWM', 'BRELK_7_GetHumidity', 'BRELK_7_GetPressure'}
      outputs = {NaN};
    case 'BRELK_7_GetDebayer'
      outputs = {zeros(4, 1, 'uint8')};
    case 'BRELK_8_GetCFWSlotsNum'
      outputs = {int32(-1)};
    case 'BRELK_8_GetCFWStatus'
      outputs = {uint8(255)};
    otherwise
      outputs = cell(1, 0);
  end
end
