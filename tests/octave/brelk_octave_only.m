function brelk_octave_only(what)
% brelk_octave_only(what): ends the calling test as skipped unless the host
% is GNU Octave; what says what of Octave's the test is about. The runner
% reports a skipped test apart from those that passed or failed.
  if exist('OCTAVE_VERSION', 'builtin') == 0
    error('brelk_suite:skipped', 'Octave only: %s', what);
  end
end
