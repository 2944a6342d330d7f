function cam = brelk_camera(id, varargin)
% cam = brelk_camera(id, options...): a brelk.Camera on the simulated camera
% that runs on its manual clock, so that no wait of a test takes real time,
% and reports no progress; further options as brelk.Camera takes them.
  cam = brelk.Camera(id, 'Clock', @() brelksim('now'), 'Pause', @(s) brelksim('advance', s), ...
                     'ProgressFcn', [], varargin{:});
end
