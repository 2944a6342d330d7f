function rehearse_night(journal, scale, hours)
%REHEARSE_NIGHT A night's sequence on SIM-MONO on the simulator's real clock,
%   scale times faster, recorded in journal: resumed from it when it holds
%   a sequence, else begun. hours (default: a short night of 9 frames)
%   plans that many hours of 300 s frames instead. Run by
%   tools/test.d/25-rehearsal.sh, which kills it part way.
  if nargin < 3
    steps = {'L', 60, 4; 'Ha', 120, 3; 'OIII', 90, 2};
  else
    frames = round(hours * 3600 / 300 / 3);
    steps = {'L', 300, frames; 'Ha', 300, frames; 'OIII', 300, frames};
  end
  brelksim('reset');
  brelksim('clock', 'real');
  brelksim('timescale', scale);
  cam = brelk.Camera('SIM-MONO', 'Clock', @() brelksim('now'), 'Pause', @(s) pause(s / scale), 'ProgressFcn', []);
  cam.FilterWheel.Names(1:3) = {'L', 'Ha', 'OIII'};
  if exist(journal, 'file') == 2
    seq = brelk.Sequence.resume(journal, 'ProgressFcn', []);
  else
    seq = brelk.Sequence(steps, 'CoolTo', -10, 'CoolingRate', 5, 'Journal', journal, 'ProgressFcn', []);
  end
  seq.run(cam);
  cam.close();
end
