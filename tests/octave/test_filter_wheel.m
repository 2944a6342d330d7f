function tests = test_filter_wheel
% brelk.FilterWheel on SIM-MONO's 7-slot wheel, which turns the shorter way
% round at 1 s per slot step, on the manual clock.
  tests = {@moves_by_slot_and_by_name, @a_wheel_stuck_moving_times_out, ...
           @a_failed_move_quotes_the_function};
end

function moves_by_slot_and_by_name
  cam = brelk_camera('SIM-MONO');
  wheel = cam.FilterWheel;
  brelk_sdk_calls();
  check({wheel.Position, wheel.IsMoving}, {1, false}, 'at power-on');
  wheel.moveTo(4, 'Wait', false);           % three slot steps: three seconds
  check({wheel.Position, wheel.IsMoving}, {NaN, true}, 'moving');
  brelksim('advance', 2.9);
  check({wheel.Position, wheel.IsMoving}, {NaN, true}, 'still moving');
  brelksim('advance', 0.1);
  check({wheel.Position, wheel.IsMoving}, {4, false}, 'arrived');

  wheel.Names = {'L', 'R', 'G', 'B', 'Ha', 'OIII', 'SII'};
  start = brelksim('now');
  wheel.moveTo('SII');                      % 4 to 7: three steps forward
  check_near({wheel.Position, brelksim('now') - start}, {7, 3}, 1e-9, 'by name, waited');
  wheel.moveTo('l');                        % 7 to 1: one step, whatever the case
  check_near({wheel.Position, brelksim('now') - start}, {1, 4}, 1e-9, 'by name, whatever the case');
  moves = brelk_sdk_calls();
  moves = moves(strncmp(moves, 'SetBRELKCCDParam(17', 19));
  check(moves, {'SetBRELKCCDParam(17, 51)'; 'SetBRELKCCDParam(17, 54)'; 'SetBRELKCCDParam(17, 48)'}, ...
        'the digit of slot - 1 sent');
end

% The status scripted to 'N' (78) for ever: the move never ends.
function a_wheel_stuck_moving_times_out
  cam = brelk_camera('SIM-MONO');
  wheel = cam.FilterWheel;
  wheel.moveTo(3, 'Wait', false);           % two steps: 10 s + 2 x 2 s to get there
  brelksim('script', 'GetBRELKCCDParam', 17, 78);
  start = brelksim('now');
  [identifier, message] = brelk_error('wheel.waitForMove()');
  check_near({identifier, message, brelksim('now') - start}, ...
             {'brelk:FilterWheel:timeout', 'SIM-MONO: after 14 s, the filter wheel is still moving.', 14}, 1e-9, ...
             'waitForMove');
  start = brelksim('now');
  [identifier, message] = brelk_error('wheel.moveTo(5, ''Timeout'', 3)');  % waits for the move under way first
  check_near({identifier, message, brelksim('now') - start}, ...
             {'brelk:FilterWheel:timeout', 'SIM-MONO: after 14 s, the filter wheel is still moving.', 14}, 1e-9, ...
             'moveTo, behind the move under way');
end

function a_failed_move_quotes_the_function
  cam = brelk_camera('SIM-MONO');
  brelksim('script', 'SetBRELKCCDParam', 17, -1);
  [identifier, message] = brelk_error('cam.FilterWheel.moveTo(2)');
  check({identifier, message}, {'brelk:FilterWheel:sdkFailed', ...
        'BRELK_8_SetCFWTarget(''SIM-MONO'', ''1''): Set CFW target position failed.'}, 'a failed move');
  check(cam.FilterWheel.Position, 1, 'not moved');
end
