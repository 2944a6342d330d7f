function infos = brelk_progress_log(info)
% brelk_progress_log(info), as a ProgressFcn, keeps every info it is given;
% infos = brelk_progress_log() returns them, oldest first, and forgets them.
  persistent kept
  if nargin > 0
    kept{end + 1} = info;
    return;
  end
  infos = kept;
  kept = {};
end
