#!/usr/bin/perl
# check-portable.pl FILE.m... - fails on .m code that runs in GNU Octave but
# not in MATLAB R2017b (or the reverse), so that the toolbox's .m files stay
# portable without a MATLAB to try them in. Comments and the contents of
# strings are not code and are not checked. Prints one line per finding,
#   path:line: rule: what to write instead
# and exits 1 when there is any. The rules:
#   double-quote     "..." strings: string objects in MATLAB, char in Octave
#   hash             # comments (and any # outside a string)
#   bang             ! and != : Octave's not
#   end-keyword      endfunction, endif, endwhile, ... , unwind_protect, do-until
#   compound-op      ++ and += -= *= /= ^= |= &=
#   power-op         ** : Octave's power
#   continuation     a line continued with \ instead of ...
#   octave-function  printf, puts, fputs, fdisp, rows, columns, and the
#                    functions only Octave has: argv, program_name,
#                    make_absolute_filename, is_function_handle, print_usage,
#                    nthargout, isargout
#   host-exit        exit and quit: the shell that started the host ends it
#   disp-output      disp's text used as a value (MATLAB's disp returns none)
#   chained-index    indexing what a call, an index or a literal gave, as in
#                    f(x)(2) or {a, b}{k}
#   assert-compare   assert(observed, expected[, tolerance]), Octave's
#                    comparison: MATLAB's assert takes a condition and a
#                    message, so its second input must be a char literal
#   arguments-block  function argument validation (not in Octave 7)
#   validator        property size, class or validator functions (Octave 7
#                    ignores them with a warning)
#   events           events blocks and listeners (not in Octave 7)
#   table            table and its conversions (not in Octave 7)
#   string-object    string and strings (not in Octave 7)
use strict;
use warnings;

my %advice = (
  'double-quote'    => "use single quotes ('...'; sprintf('...\\n') for escapes)",
  'hash'            => 'use % for comments',
  'bang'            => 'use ~ and ~=',
  'end-keyword'     => 'use end (and try/catch for unwind_protect, while for do-until)',
  'compound-op'     => 'write x = x + 1',
  'power-op'        => 'use ^',
  'continuation'    => 'continue lines with ...',
  'octave-function' => 'use fprintf, size(x, 1), size(x, 2)',
  'host-exit'       => 'return the result; the shell wrapper exits with it',
  'disp-output'     => 'use evalc(\'disp(x)\'), num2str or mat2str',
  'chained-index'   => 'keep the value in a variable, then index it',
  'assert-compare'  => 'use check(observed, expected, label) or check_near(..., tolerance, label); assert(condition, \'message\', ...)',
  'arguments-block' => 'check inputs in the function body',
  'validator'       => 'check values in a set. method',
  'events'          => 'call the code directly',
  'table'           => 'use a struct of columns',
  'string-object'   => 'use char arrays and cellstr',
);

# The functions only Octave has, with what to write instead.
my %octave_only = (
  argv                    => 'take inputs as function arguments; the shell passes them with --eval',
  program_name            => 'take inputs as function arguments',
  program_invocation_name => 'take inputs as function arguments',
  make_absolute_filename  => 'cd into the folder and read pwd',
  is_function_handle      => "use isa(x, 'function_handle')",
  print_usage             => "use error('<name>:usage', ...)",
  nthargout               => 'use [~, x] = f(...)',
  isargout                => 'use nargout',
);
my $octave_only = join('|', sort keys %octave_only);

my $found = 0;
for my $path (@ARGV) {
  open(my $in, '<', $path) or die "check-portable: cannot read $path: $!\n";
  my ($block_comment, $continued, $depth, $classdef) = (0, 0, 0, 0);
  my @blocks;   # the open classdef blocks: properties, methods, events, ...
  my ($statement, $statement_at, $statement_line) = ('', 0, '');  # a statement over continued lines
  while (my $line = <$in>) {
    chomp $line;
    $line =~ s/\r$//;
    my $n = $.;
    my $report = sub {
      my ($rule, $advice, $at, $text) = @_;
      printf "%s:%d: %s: %s: %s\n", $path, $at // $n, $rule, $advice // $advice{$rule}, $text // $line;
      $found++;
    };
    if ($block_comment) {
      $block_comment = 0 if $line =~ /^\s*%\}\s*$/;
      next;
    }
    if ($line =~ /^\s*%\{\s*$/) {
      $block_comment = 1;
      next;
    }
    my ($code, $quoted, $continues) = code_of($line);
    $report->('double-quote') if $quoted;
    my $starts_statement = !$continued && $depth == 0;
    ($statement, $statement_at, $statement_line) = ('', $n, $line) unless $continued;
    $statement .= "$code ";
    $continued = $continues;
    unless ($continues) {
      $report->('assert-compare', undef, $statement_at, $statement_line) if assert_compares($statement);
      $report->('chained-index', undef, $statement_at, $statement_line) if chained_index($statement);
      $report->('disp-output', undef, $statement_at, $statement_line) if disp_output($statement);
    }
    my $opened = () = $code =~ /[\[({]/g;
    my $closed = () = $code =~ /[\])}]/g;
    $depth = $depth + $opened - $closed;
    $depth = 0 if $depth < 0;

    $report->('hash') if $code =~ /#/;
    $report->('bang') if $code =~ /!/;
    $report->('end-keyword')
      if $code =~ /\b(?:endfunction|endif|endwhile|endfor|endparfor|endswitch|end_try_catch|end_unwind_protect|unwind_protect(?:_cleanup)?|endclassdef|endmethods|endproperties|endevents|endenumeration)\b/
      || $code =~ /^\s*(?:do\s*$|until\b)/;
    $report->('compound-op') if $code =~ /\+\+|[-+*\/^|&]=/;
    $report->('power-op') if $code =~ /\*\*/;
    $report->('continuation') if $code =~ /\\\s*$/;
    $report->('octave-function') if $code =~ /(?<![\w.])(?:printf|puts|fputs|fdisp|rows|columns)\b/;
    $report->('octave-function', "$1 is Octave's: $octave_only{$1}") if $code =~ /(?<![\w.])($octave_only)\b/;
    $report->('host-exit') if $code =~ /(?<![\w.])(?:exit|quit)\b(?!\s*=[^=])/;
    $report->('arguments-block') if $code =~ /^\s*arguments\b\s*(?:\(|;|,|$)/;
    $report->('table') if $code =~ /(?<![\w.])(?:table|array2table|cell2table|struct2table|readtable|writetable)\s*\(/;
    $report->('string-object') if $code =~ /(?<![\w.])(?:string|strings)\s*\(/;
    $report->('events') if $code =~ /(?<![\w.])(?:addlistener|listener|notify)\s*\(/;

    # classdef blocks: a line of a properties block names one property and
    # at most its default value. Blocks are followed only as far as that
    # needs: a one-line if ... end leaves one level open, which the next
    # properties keyword makes up for.
    $classdef = 1 if $code =~ /^\s*classdef\b/;
    next unless $classdef && $starts_statement;
    if ($code =~ /^\s*(properties|methods|events|enumeration)\b\s*(?:\(|$|;|,)/) {
      push @blocks, $1;
      $report->('events') if $1 eq 'events';
    } elsif (@blocks && $code =~ /^\s*end\b/) {
      pop @blocks;
    } elsif (@blocks && $blocks[-1] eq 'methods' && $code =~ /^\s*function\b/) {
      push @blocks, 'function';
    } elsif (@blocks && $blocks[-1] eq 'function' && $code =~ /^\s*(?:if|for|parfor|while|switch|try|spmd)\b/) {
      push @blocks, 'function';   # a nested end of the method's body
    } elsif (@blocks && $blocks[-1] eq 'properties' && $code =~ /^\s*[A-Za-z]\w*+\s*+[^\s=;,]/) {
      $report->('validator');
    }
  }
  close($in);
}
exit($found ? 1 : 0);

# The top-level inputs of each call of `name` in the code, one list per call.
sub calls_of {
  my ($name, $code) = @_;
  my @calls;
  while ($code =~ /(?<![\w.])$name\s*\(/g) {
    my ($depth, $input, @inputs) = (0, '');
    for my $ch (split //, substr($code, pos($code))) {
      if ($ch =~ /[\[({]/) {
        $depth++;
      } elsif ($ch =~ /[\])}]/) {
        last if $depth-- == 0;
      } elsif ($ch eq ',' && $depth == 0) {
        push @inputs, $input;
        $input = '';
        next;
      }
      $input .= $ch;
    }
    push @calls, [@inputs, $input];
  }
  return @calls;
}

# assert with a second input that is not a char literal: Octave's
# comparison of two values, which MATLAB's assert does not have.
sub assert_compares {
  my ($code) = @_;
  return grep { @$_ >= 2 && $_->[1] !~ /^\s*'/ } calls_of('assert', $code);
}

# An opening ( or { right after the closing bracket of a call, an index by
# (), a parenthesised expression or a [ ] or { } literal: Octave indexes
# those, MATLAB does not. Right after an index by { }, an anonymous
# function's inputs or a dynamic field name it is fine.
sub chained_index {
  my ($code) = @_;
  my @open;             # the kinds of the brackets open at this point
  my $closed = '';      # the kind of the bracket that closed just before
  my @c = split //, $code;
  for my $i (0 .. $#c) {
    my $ch = $c[$i];
    my $before = $i > 0 ? $c[$i - 1] : '';
    if ($ch eq '(' || $ch eq '{') {
      return 1 if $closed =~ /^(?:call|group|literal)$/;
    }
    $closed = '';
    if ($ch eq '[') {
      push @open, 'literal';
    } elsif ($ch eq '(' || $ch eq '{') {
      push @open, $before eq '@' ? 'inputs'
                : $before eq '.' ? 'field'
                : $before =~ /[\w)\]}']/ ? ($ch eq '(' ? 'call' : 'cell-index')
                : $ch eq '(' ? 'group' : 'literal';
    } elsif ($ch =~ /[\])}]/) {
      $closed = pop(@open) // '';
    }
  }
  return 0;
}

# disp( where its value is used: after =, an operator or an opening bracket,
# or after a comma inside brackets.
sub disp_output {
  my ($code) = @_;
  while ($code =~ /(?<![\w.])disp\s*\(/g) {
    my $before = substr($code, 0, pos($code));
    $before =~ s/disp\s*\($//;
    $before =~ s/\s+$//;
    my $last = substr($before, -1);
    return 1 if $last =~ /[=(\[{+\-*\/\\^&|<>~]/;
    if ($last eq ',') {
      my $depth = (() = $before =~ /[\[({]/g) - (() = $before =~ /[\])}]/g);
      return 1 if $depth > 0;
    }
  }
  return 0;
}

# The code of one line: comments dropped, the contents of strings blanked
# (so that a quote, %, # or ! in a string is not taken for code), whether
# the line has a double-quoted string, and whether it continues with ...
# A ' right after a name, a number, a closing bracket, a dot or another
# transpose is a transpose, not a quote.
sub code_of {
  my ($line) = @_;
  my ($code, $quoted, $continues) = ('', 0, 0);
  my @c = split //, $line;
  my $i = 0;
  while ($i < @c) {
    my $ch = $c[$i];
    last if $ch eq '%';
    if (substr($line, $i, 3) eq '...') {
      $continues = 1;
      last;
    }
    if ($ch eq "'" && !($i > 0 && $c[$i - 1] =~ /[\w)\]}.']/)) {
      my $j = $i + 1;
      while ($j < @c) {
        if ($c[$j] eq "'") {
          last unless $j + 1 < @c && $c[$j + 1] eq "'";
          $j++;
        }
        $j++;
      }
      $code .= "'" . (' ' x ($j - $i - 1)) . "'";
      $i = $j + 1;
      next;
    }
    if ($ch eq '"') {
      $quoted = 1;
      my $j = $i + 1;
      while ($j < @c && $c[$j] ne '"') {
        $j += $c[$j] eq '\\' ? 2 : 1;
      }
      $code .= ' ' x ($j - $i + 1);   # reported as double-quote, not as other rules
      $i = $j + 1;
      next;
    }
    $code .= $ch;
    $i++;
  }
  return ($code, $quoted, $continues);
}
