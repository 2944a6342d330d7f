function [same, others] = registry(action, id)
%REGISTRY The camera IDs of the open brelk.Camera objects (internal).
%   registry('add', id) and registry('remove', id) count one Camera on id in
%   or out. [same, others] = registry('count', id) tells how many others are
%   open on the same ID and on other IDs. BRELK_11_CloseCamera also releases
%   the SDK, which closes every camera, so only the last Camera to close may
%   call it.
  persistent open
  if isempty(open)
    open = {};
  end
  switch action
    case 'add'
      open{end + 1} = id;
    case 'remove'
      k = find(strcmp(open, id), 1);
      open(k) = [];
    case 'count'
      % What is left besides the Camera that asks, itself counted in.
      mine = strcmp(open, id);
      same = max(sum(mine) - 1, 0);
      others = sum(~mine);
  end
end
