function progress(info)
%PROGRESS The default ProgressFcn of brelk.Camera: one line per 30 s of a wait.
%   progress(info) prints a short line when a wait has gone on for another
%   30 s of camera time, so that a wait shorter than 30 s prints nothing.
%   info is the struct every ProgressFcn receives (see help brelk.Camera).
  persistent next
  if info.Elapsed == 0 || isempty(next)
    next = 30;  % a new wait
  end
  % Within a millisecond counts: the clock's start need not be a round figure.
  if info.Done || info.Elapsed < next - 1e-3
    return;
  end
  seconds = round(info.Elapsed);
  next = (floor(seconds / 30) + 1) * 30;
  elapsed = sprintf('%d:%02d', floor(seconds / 60), mod(seconds, 60));
  switch info.Operation
    case {'cooling', 'warming'}
      power = 'unknown';
      if ~isnan(info.Power)
        power = sprintf('%.0f%%', info.Power);
      end
      fprintf('%s %s: sensor %.1f C, setpoint %.1f C, power %s, %s elapsed\n', info.ID, ...
              info.Operation, info.Temperature, info.Setpoint, power, elapsed);
    case 'exposure'
      fprintf('%s exposure: %.0f%% done, %s elapsed\n', info.ID, info.PercentCompleted, elapsed);
    case 'wheel'
      fprintf('%s filter wheel: moving to slot %d, %s elapsed\n', info.ID, info.Target, elapsed);
  end
end
