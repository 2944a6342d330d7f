function calls = brelk_sent()
% calls = brelk_sent(): brelk_sdk_calls() without the reads (the temperature,
% power and wheel readings that the layer makes around its commands): what
% was sent to the camera. Clears the journal.
  calls = brelk_sdk_calls();
  calls = calls(cellfun(@isempty, regexp(calls, '^(GetBRELKCCD|IsBRELKCCDControlAvailable\()', 'once')));
end
