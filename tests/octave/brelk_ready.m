function brelk_ready(id)
% brelk_ready(id): brings a simulated camera into use (read mode, stream
% mode, initialisation) and clears the journal, so a test sees only its own
% SDK calls.
  steps = {'BRELK_2_SetReadMode', {0}; 'BRELK_3_SetStreamMode', {0}; 'BRELK_4_InitCamera', {}};
  for k = 1:size(steps, 1)
    [text, status] = brelk_call(steps{k, 1}, id, steps{k, 2}{:});
    assert(status == 0, '%s(%s) failed: %s', steps{k, 1}, id, text);
  end
  brelksim('clearjournal');
end
