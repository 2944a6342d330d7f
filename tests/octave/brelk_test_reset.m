function brelk_test_reset()
% brelk_test_reset(): the simulated cameras back at power-on, scripts and
% journal cleared, on the manual clock so that time moves only when a test
% advances it.
  brelksim('reset');
  brelksim('clock', 'manual');
end
