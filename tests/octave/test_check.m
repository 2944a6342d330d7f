function [tests, any_sdk] = test_check
% check and check_near, which every other test stands on: what they let
% pass, and what a failure says after the case's label.
  tests = {@equal_values_pass, @each_difference_is_named, @the_label_heads_the_failure};
  any_sdk = tests;
end

function equal_values_pass
  cases = {  % observed, expected, tolerance ([]: check)
    {1, 'text', int32(-1), true, @sin}, {1, 'text', int32(-1), true, @sin}, []
    [NaN 1 -Inf], [NaN 1 -Inf], []
    struct('a', 1, 'b', {{'x'}}), struct('b', {{'x'}}, 'a', 1), []   % fields in any order
    zeros(0, 3, 'uint8'), zeros(0, 3, 'uint8'), []
    {'exposing', 25 + 1e-10}, {'exposing', 25}, 1e-9
    [1 NaN -Inf], [1 + 1e-10, NaN, -Inf], 1e-9
    struct('t', {[0 1 2.5]}), struct('t', {[0 1 2.5] - 1e-12}), 1e-9
  };
  for k = 1:size(cases, 1)
    [observed, expected, tolerance] = cases{k, :};
    if isempty(tolerance)
      check(observed, expected, 'case %d', k);
    else
      check_near(observed, expected, tolerance, 'case %d', k);
    end
  end
end

function each_difference_is_named
  cases = {  % observed, expected, tolerance ([]: check), what the failure says after the label
    {int32(1)}, {1}, [], '{1}: class int32, expected double: int32(1), expected 1'
    true, 1, [], 'class logical, expected double: true, expected 1'
    zeros(0, 1), zeros(1, 0), [], 'size 0x1, expected 1x0: 0x1 double, expected 1x0 double'
    sprintf('a\nb'), sprintf('a\nc'), [], '''a\nb'', expected ''a\nc'''
    {1, {2, 'x'}}, {1, {2, 'y'}}, [], '{2}{2}: ''x'', expected ''y'''
    [1 2 3; 4 5 6], [1 2 3; 4 5 7], [], '1 of 6 elements differ, the first (2,3): 6, expected 7 (off by up to 1)'
    NaN, 1, [], 'NaN, expected 1'
    struct('a', 1), struct('b', 1), [], 'other fields: has a; lacks b'
    struct('a', {1, 2}), struct('a', {1, 3}), [], '(2).a: 2, expected 3 (off by up to 1)'
    complex(1, 0), 1, [], 'real 0, expected real 1: 1+0i, expected 1'
    {'a', 1; 'b', 2}, {'a', 1; 'c', 3}, [], sprintf('{2,1}: ''b'', expected ''c''\n{2,2}: 2, expected 3 (off by up to 1)')
    {'idle', 100.1}, {'idle', 100}, 1e-9, '{2}: 100.1, expected 100 (off by up to 0.1; tolerance 1e-09)'
    [Inf 1], [-Inf 1], 1, '1 of 2 elements differ, the first (1): Inf, expected -Inf'
    NaN, 0, 1, 'NaN, expected 0'
    'exposing', 'exposinG', 100, '''exposing'', expected ''exposinG'''   % text exactly
    single(1), 1, 1, 'class single, expected double: single(1), expected 1'
  };
  for k = 1:size(cases, 1)
    [observed, expected, tolerance, said] = cases{k, :};
    err = [];
    try
      if isempty(tolerance)
        check(observed, expected, 'case');
      else
        check_near(observed, expected, tolerance, 'case');
      end
    catch err
    end
    assert(~isempty(err), 'case %d passed: %s', k, said);
    check({err.identifier, err.message}, {'check:failed', ['case' newline said]}, 'case %d', k);
  end
end

function the_label_heads_the_failure
  [identifier, message] = brelk_error('check(1, 2, ''step %d, %s'', 3, ''SetGain'')');
  check({identifier, message}, {'check:failed', sprintf('step 3, SetGain\n1, expected 2 (off by up to 1)')}, ...
        'the label with its values');
  [identifier, message] = brelk_error('check_near(1, 1, -1, ''negative'')');
  check({identifier, message}, {'check_near:tolerance', 'check_near: the tolerance must be a number of 0 or more'}, ...
        'a negative tolerance');
  lines = strsplit(brelk_difference(num2cell(1:25), num2cell(zeros(1, 25)), 0), newline);
  check({numel(lines), lines{end}}, {21, '... and 5 differences more'}, 'twenty differences at most');
end
