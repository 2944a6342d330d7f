function night_progress(info)
%NIGHT_PROGRESS The night session's ProgressFcn (examples/night_session.m).
%   night_progress(info) prints a line for the frame brelk.Sequence is
%   about to try, from the fields it gives (Step, Filter, Frame, Count,
%   Attempt, FramesDone, FramesTotal, TimeLeft). On the simulated camera, as
%   the first Ha frame starts, it makes the camera stop answering for a few
%   calls: a dropout for the sequence to ride out.
  left = round(info.TimeLeft);
  retry = '';
  if info.Attempt > 1
    retry = sprintf(' (try %d)', info.Attempt);
  end
  fprintf('%-4s frame %d of %d%s: %d of %d done, %d:%02d:%02d of exposure left\n', info.Filter, info.Frame, ...
          info.Count, retry, info.FramesDone, info.FramesTotal, floor(left / 3600), mod(floor(left / 60), 60), ...
          mod(left, 60));
  if exist('brelksim') == 3 && strcmp(info.Filter, 'Ha') && info.Frame == 1 && info.Attempt == 1  %#ok<EXIST>
    brelksim('script', 'OpenBRELKCCD', 0, 3);
  end
end
