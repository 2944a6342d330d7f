function test_workflow
% A night's work through every toolbox function, in stage order, on the two
% simulated cameras: what each call prints, its status, its outputs with their
% classes, and the SDK calls it made after opening the camera.
  mono = 'SIM-MONO';
  colour = 'SIM-COLOR';
  deg = brelk_celsius();  % the degree Celsius sign the temperature line ends in
  steps = {
  % camera  function                     inputs            printed  outputs after the status  SDK calls after the open
    mono, 'BRELK_2_SetReadMode',         {1},     sprintf('id = SIM-MONO\nreadMode = 1.000000\nSetup read mode successfully.\n'), {}, {'SetBRELKCCDReadMode(1)'}
    mono, 'BRELK_3_SetStreamMode',       {1},     sprintf('streamMode = 1.000000\nSetup stream mode successfully.\n'), {}, {'SetBRELKCCDStreamMode(1)'}
    mono, 'BRELK_4_InitCamera',          {},      sprintf('Init camera''s parameters successfully.\n'), {}, {'InitBRELKCCD()'}
    mono, 'BRELK_6_SetLiveBrightness',   {10},    sprintf('Set camera brightness successfully.\n'), {}, {'SetBRELKCCDParam(0, 10)'}
    mono, 'BRELK_6_SetLiveContrast',     {-5},    sprintf('Set camera contrast successfully.\n'), {}, {'SetBRELKCCDParam(1, -5)'}
    mono, 'BRELK_6_SetLiveGamma',        {1.5},   sprintf('Set camera gamma successfully.\n'), {}, {'SetBRELKCCDParam(5, 1.5)'}
    mono, 'BRELK_6_SetGain',             {30},    sprintf('Set camera gain successfully.\n'), {}, {'SetBRELKCCDParam(6, 30)'}
    mono, 'BRELK_6_SetOffset',           {10},    sprintf('Set camera offset successfully.\n'), {}, {'SetBRELKCCDParam(7, 10)'}
    mono, 'BRELK_6_SetExposeTime',       {2e6},   sprintf('Set camera expose time successfully.\n'), {}, {'SetBRELKCCDParam(8, 2000000)'}
    mono, 'BRELK_6_SetTraffic',          {40},    sprintf('Set camera traffic successfully.\n'), {}, {'SetBRELKCCDParam(12, 40)'}
    mono, 'BRELK_6_SetDDR',              {0},     sprintf('DDR value = 0.000000\nSet camera DDR successfully.\n'), {}, {'SetBRELKCCDParam(48, 0)'}
    mono, 'BRELK_6_SetROI',              {100, 50, 1024.7, 768}, ...
      sprintf('x = 100.000000 y = 50.000000 sizex = 1024.700000 sizey = 768.000000\nSet camera ROI successfully***********.\n'), ...
      {}, {'SetBRELKCCDResolution(100, 50, 1024, 768)'}
    mono, 'BRELK_7_GetEffective',        {},      sprintf('Get camera effective area successfully.\n'), ...
      {uint32(48), uint32(24), uint32(3008), uint32(2008)}, {'GetBRELKCCDEffectiveArea()'}
    mono, 'BRELK_7_GetOverscan',         {},      sprintf('Get camera overscan area successfully.\n'), ...
      {uint32(8), uint32(24), uint32(32), uint32(2008)}, {'GetBRELKCCDOverScanArea()'}
    mono, 'BRELK_7_GetChipInfo',         {},      sprintf('Get camera chip info successfully.\n'), ...
      {3072 * 3.75 / 1000, 2048 * 3.75 / 1000, uint32(3072), uint32(2048), 3.75, 3.75}, {'GetBRELKCCDChipInfo()'}
    mono, 'BRELK_7_GetTemperature',      {},      ['Current TEMP : 20.000000 ' deg newline], {20}, {'GetBRELKCCDParam(14)'}
    mono, 'BRELK_6_SetCoolerPWM',        {50},    sprintf('Set cooler PWM successfully.\n'), {}, {'SetBRELKCCDParam(16, 127.5)'}
    mono, 'BRELK_7_GetCoolerPWM',        {},      sprintf('Current cooler PWM : 50.000000 %%\n'), {50}, {'GetBRELKCCDParam(16)'}
    mono, 'BRELK_6_SetCoolerOFF',        {},      sprintf('Set cooler OFF successfully.\n'), {}, {'SetBRELKCCDParam(16, 0)'}
    mono, 'BRELK_6_SetCoolerTemperature', {-10},  sprintf('Set target temperature successfully.\n'), {}, {'SetBRELKCCDParam(18, -10)'}
    mono, 'BRELK_8_CheckCFWPlug',        {},      sprintf('CFW is connected to camera.\n'), {}, ...
      {'IsBRELKCCDControlAvailable(17)'; 'IsBRELKCCDCFWPlugged()'}
    mono, 'BRELK_8_GetCFWSlotsNum',      {},      sprintf('Get CFW slots number successfully.\n'), {int32(7)}, ...
      {'IsBRELKCCDControlAvailable(17)'; 'GetBRELKCCDParam(44)'}
    mono, 'BRELK_8_GetCFWStatus',        {},      sprintf('Get CFW status successfully.\n'), {uint8('0')}, ...
      {'IsBRELKCCDControlAvailable(17)'; 'GetBRELKCCDParam(17)'}
    mono, 'BRELK_8_SetCFWTarget',        {3},     sprintf('Set CFW target position successfully.\n'), {}, ...
      {'IsBRELKCCDControlAvailable(17)'; 'SetBRELKCCDParam(17, 3)'}
    mono, 'BRELK_9_BeginSingleExpose',   {},      sprintf('Begin single expose successfully.\n'), {}, {'ExpBRELKCCDSingleFrame()'}
    mono, 'BRELK_9_StopSingleCapture',   {},      sprintf('Stop single mode successfully.\n'), {}, {'CancelBRELKCCDExposingAndReadout()'}
    mono, 'BRELK_10_BeginLiveExpose',    {},      sprintf('Begin live expose successfully.\n'), {}, {'BeginBRELKCCDLive()'}
    mono, 'BRELK_10_StopLiveCapture',    {},      sprintf('Stop live mode successfully.\n'), {}, {'StopBRELKCCDLive()'}
    mono, 'BRELK_11_CloseCamera',        {},      sprintf('Close camera successfully.\nRelease resource successfully.\n'), {}, ...
      {'CloseBRELKCCD()'; 'ReleaseBRELKCCDResource()'}
    colour, 'BRELK_2_SetReadMode',       {0},     sprintf('id = SIM-COLOR\nreadMode = 0.000000\nSetup read mode successfully.\n'), {}, {'SetBRELKCCDReadMode(0)'}
    colour, 'BRELK_3_SetStreamMode',     {0},     sprintf('streamMode = 0.000000\nSetup stream mode successfully.\n'), {}, {'SetBRELKCCDStreamMode(0)'}
    colour, 'BRELK_4_InitCamera',        {},      sprintf('Init camera''s parameters successfully.\n'), {}, {'InitBRELKCCD()'}
    colour, 'BRELK_6_SetLiveWBR',        {100},   sprintf('Set camera red balance successfully.\n'), {}, {'SetBRELKCCDParam(2, 100)'}
    colour, 'BRELK_6_SetLiveWBB',        {110},   sprintf('Set camera blue balance successfully.\n'), {}, {'SetBRELKCCDParam(3, 110)'}
    colour, 'BRELK_6_SetLiveWBG',        {120},   sprintf('Set camera green balance successfully.\n'), {}, {'SetBRELKCCDParam(4, 120)'}
    colour, 'BRELK_7_GetDebayer',        {},      sprintf('Get debayer format successfully.RGGB\n'), {uint8('RGGB')'}, ...
      {'IsBRELKCCDControlAvailable(59)'; 'IsBRELKCCDControlAvailable(20)'}
    colour, 'BRELK_7_GetHumidity',       {},      sprintf('Current Humidity : 45.000000\n'), {45}, ...
      {'IsBRELKCCDControlAvailable(62)'; 'GetBRELKCCDParam(62)'}
    colour, 'BRELK_7_GetPressure',       {},      sprintf('Current Pressure : 1013.250000\n'), {1013.25}, ...
      {'IsBRELKCCDControlAvailable(63)'; 'GetBRELKCCDParam(63)'}
    colour, 'BRELK_11_CloseCamera',      {},      sprintf('Close camera successfully.\nRelease resource successfully.\n'), {}, ...
      {'CloseBRELKCCD()'; 'ReleaseBRELKCCDResource()'}
  };
  for k = 1:size(steps, 1)
    [id, name, inputs, printed, outputs, calls] = steps{k, :};
    brelksim('clearjournal');
    results = cell(1, numel(outputs));
    [text, status, results{:}] = brelk_call(name, id, inputs{:});
    label = sprintf('step %d, %s(%s)', k, name, id);
    check({text, status}, {printed, int32(0)}, label);
    check(results, outputs(:)', label);
    check(brelksim('journal'), [{sprintf('OpenBRELKCCD("%s")', id)}; calls(:)], label);
  end

  % The walk above is the whole toolbox: every function, each at least once.
  all_functions = brelk_functions();
  assert(isempty(setxor(steps(:, 2), all_functions(:, 1))), 'the walk misses a function');
  for k = 1:size(all_functions, 1)
    assert(exist(all_functions{k, 1}) == 3, '%s is not a MEX file on the path', all_functions{k, 1});
  end
end
