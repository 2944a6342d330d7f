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
expect 'octave-function octave-function octave-function octave-function octave-function octave-function host-exit host-exit' <<'M'
args = argv();
name = program_name();
p = make_absolute_filename('x');
if is_function_handle(f), end
print_usage();
x = nthargout(2, @max, [1 3]);
exit(failed > 0);
quit
M
expect 'assert-compare assert-compare assert-compare assert-compare assert-compare' <<'M'
assert(x, 3);
assert(text, sprintf('a\n'));
assert({a, b}, {1, 2}, 1e-9);
assert(ok, message);
assert(numel(x) == 2, ...
       expected);
M
expect 'chained-index chained-index chained-index chained-index chained-index' <<'M'
x = f(1)(2);
y = {'a', 'b'}{k};
z = [1 2 3](2);
w = (1:3)(2);
v = f(){1};
M
expect 'disp-output disp-output disp-output disp-output' <<'M'
t = disp(x);
u = strtrim(disp(x));
v = [disp(x) 'a'];
w = f(a, disp(x));
M
expect '' <<'M'
assert(ok);
assert(ok, 'message');
assert(ok, 'x is %d, not %d', x, y);
assert(f(a, b), 'the f(%d, %d) call', a, b);
assert([a, b] == 1, ...
       'both');
s.assert(1, 2);
s.argv = 1; exit_code = 2; s.exit = 1; exit = 3; quitting = isa(f, 'function_handle');
g = @(x)(x + 1); h = @(){1};
a = c{1}(2); b = c{1}{2}; d = s.(name)(2); e = [a(1) (2)]; q = s(1).x(2);
disp(x); x = 1, disp(x)
if ok, disp('yes'); end
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
