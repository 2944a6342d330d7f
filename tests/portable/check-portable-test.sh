#!/usr/bin/env bash
# The portability check itself: each snippet below is checked as a file of
# its own, and the rules it reports must be exactly the ones listed (in the
# order of its lines). The clean snippets hold what looks like a finding but
# is not code: comments, strings, transposes.
set -euo pipefail
cd "$(dirname "$0")/../.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

# expect "rules, space separated (empty: none)" <<'M' ... M
expect() {
  local file=$work/case$((++cases)).m
  cat >"$file"
  local got
  got=$(perl tools/check-portable.pl "$file" | cut -d: -f3 | tr -d ' ' | tr '\n' ' ' | sed 's/ $//' || true)
  if [ "$got" != "$1" ]; then
    echo "FAIL case $cases: expected [$1], got [$got]:"
    sed 's/^/    /' "$file"
    failed=1
  fi
}
cases=0

expect 'double-quote double-quote' <<'M'
x = "text";
disp(['a' "b\n"])
M
expect 'hash hash' <<'M'
# an Octave comment
x = 1;  # and a trailing one
M
expect 'bang bang' <<'M'
if !isempty(x), end
if x != 1, end
M
expect 'end-keyword end-keyword end-keyword end-keyword end-keyword end-keyword' <<'M'
function f
  if true
    unwind_protect
      x = 1;
    end_unwind_protect
  endif
  do
    x--;
  until x < 0
endfunction
M
expect 'compound-op compound-op compound-op compound-op' <<'M'
x += 1;
x -= 1;
x++;
y(2) *= 3;
M
expect 'power-op continuation' <<'M'
x = 2 ** 3;
y = [1, 2, \
     3];
M
expect 'octave-function octave-function octave-function octave-function octave-function' <<'M'
printf('%d\n', 3);
puts('a');
fdisp(stdout, 1);
for k = 1:rows(x), end
n = columns(x);
M
expect 'arguments-block' <<'M'
function f(x)
  arguments
    x double
  end
end
M
expect 'validator validator validator events events' <<'M'
classdef C < handle
  properties
    A (1,1) double = 0
    B double
    C {mustBeNumeric} = 1
    D = 3   % a plain default
    E
  end
  events
    Changed
  end
  methods
    function go(obj)
      addlistener(obj, 'Changed', @(~, ~) disp(1));
    end
  end
end
M
expect 'table string-object' <<'M'
t = table([1; 2]);
s = string('abc');
M

# Not code: comments, strings, transposes, fields, block comments.
expect '' <<'M'
% "quoted" in a comment, # and ! and printf too; endfunction
x = 'it''s "quoted", # not a comment, ! not a not, % not a comment';
y = x';                 % a transpose, then a comment with 'quotes'
z = [x' y'];            % transposes in brackets
w = {'a', 'b'}';        % a string, then a transpose
v = x.'; w = 'a#b';  % transposes after a dot too
s.rows = 3;             % a field, not the function
fprintf('%d\n', numel(s.rows)); sprintf('a'); a ~= b; a <= b; c == d;
%{
printf("a block comment") # endif
%}
q = [1 2 ...  "continued" # after the dots is a comment
     3];
function r = f(t)
  r = t;
end
M
expect '' <<'M'
classdef K < handle
%K "help" with quotes.
  properties (SetAccess = private)
    A = struct('x', [], ...
               'y', [])
    B = {
      'one'
      'two'}
    C
  end
  methods
    function obj = K()
      if true, obj.C = 1; end
      for k = 1:2
        obj.C = k;
      end
    end
  end
  properties
    D = 1
  end
end
M

[ "$failed" -eq 0 ] && echo "portability check: $cases cases as expected"
exit "$failed"
