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
#   octave-function  printf, puts, fputs, fdisp, rows, columns
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
  'arguments-block' => 'check inputs in the function body',
  'validator'       => 'check values in a set. method',
  'events'          => 'call the code directly',
  'table'           => 'use a struct of columns',
  'string-object'   => 'use char arrays and cellstr',
);

my $found = 0;
for my $path (@ARGV) {
  open(my $in, '<', $path) or die "check-portable: cannot read $path: $!\n";
  my ($block_comment, $continued, $depth, $classdef) = (0, 0, 0, 0);
  my @blocks;   # the open classdef blocks: properties, methods, events, ...
  while (my $line = <$in>) {
    chomp $line;
    $line =~ s/\r$//;
    my $n = $.;
    my $report = sub {
      my ($rule) = @_;
      print "$path:$n: $rule: $advice{$rule}: $line\n";
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
    $continued = $continues;
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
