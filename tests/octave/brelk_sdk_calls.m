function calls = brelk_sdk_calls()
% calls = brelk_sdk_calls(): the SDK calls in the simulator's journal since
% it was last cleared, without the OpenBRELKCCD that every toolbox function
% starts with, as a column cell; and clears the journal.
  calls = brelksim('journal');
  calls = calls(~strncmp(calls, 'OpenBRELKCCD(', 13));
  brelksim('clearjournal');
end
