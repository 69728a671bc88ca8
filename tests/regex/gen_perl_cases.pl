#!/usr/bin/perl
# Generates the Perl differential cases of the regular-expression engine:
# random expressions in the syntax both engines share, small subjects, and
# the positions (or replacement) Perl finds for them. Perl searches the way
# our ExecNext does (from the end of the last match, one further after an
# empty one), so every match of a subject is compared, not only the first.
#
#   perl tests/regex/gen_perl_cases.pl [count] [seed] > tests/regex/data/perl_random.txt
#   perl tests/regex/gen_perl_cases.pl 100000 7 counted > /tmp/counted.txt   # dense in counted repeats
#   perl tests/regex/gen_perl_cases.pl --fixed < cases.txt   # Perl results for hand-written cases
#
# Case lines (fields separated by TAB, bytes below 0x20, '%' and above 0x7E
# written %HH):
#   m  expression  modifiers  subject  matches
#   r  expression  modifiers  subject  template  result
# modifiers are our letters applied to the defaults (r s g on), e.g. "im-s";
# matches are "-" or, per match, "start-end" of group 0 then of each group
# ("x" when unset, "?" when not compared), 0-based, matches separated by
# spaces.
use strict;
use warnings;
no warnings 'regexp';

sub enc {
  my ($s) = @_;
  $s =~ s/([\x00-\x1F%\x7F-\xFF])/sprintf("%%%02X", ord($1))/ge;
  return $s;
}
sub dec {
  my ($s) = @_;
  $s =~ s/%([0-9A-Fa-f]{2})/chr(hex($1))/ge;
  return $s;
}

# ---- Perl's answers, searched the way our engine iterates ----------------
sub perl_flags {
  my ($mods) = @_;
  my %on = (i => 0, m => 0, s => 1, x => 0, g => 1);
  my $state = 1;
  for my $c (split //, $mods) {
    if ($c eq '-') { $state = 0; next; }
    $on{lc $c} = $state if exists $on{lc $c};
  }
  return ($on{i} ? 'i' : '') . ($on{m} ? 'm' : '') . ($on{s} ? 's' : '') . ($on{x} ? 'x' : '');
}

sub perl_matches {
  my ($re, $flags, $subject, $ngroups, $skip) = @_;
  my $qr = eval { $flags ne '' ? qr/(?$flags)$re/ : qr/$re/ };
  return undef unless defined $qr;
  my @out;
  my $off = 0;
  my $len = length $subject;
  while ($off <= $len && @out < 40) {
    pos($subject) = $off;
    last unless $subject =~ /$qr/g;
    my @spans;
    for my $g (0 .. $ngroups) {
      push @spans, ($skip && $skip->{$g}) ? '?' : defined $-[$g] ? "$-[$g]-$+[$g]" : 'x';
    }
    push @out, join(',', @spans);
    $off = $+[0] + ($+[0] == $-[0] ? 1 : 0);
  }
  return @out ? join(' ', @out) : '-';
}

sub perl_replace {
  my ($re, $flags, $subject, $ptempl) = @_;
  my $qr = eval { $flags ne '' ? qr/(?$flags)$re/ : qr/$re/ };
  return undef unless defined $qr;
  my $result = '';
  my $copied = 0;
  my $off = 0;
  my $len = length $subject;
  my $n = 0;
  while ($off <= $len && $n++ < 40) {
    pos($subject) = $off;
    last unless $subject =~ /$qr/g;
    my ($s, $e) = ($-[0], $+[0]);
    no warnings 'uninitialized';
    my $rep = eval qq{"$ptempl"};
    return undef unless defined $rep;
    $result .= substr($subject, $copied, $s - $copied) . $rep;
    $copied = $e;
    $off = $e + ($e == $s ? 1 : 0);
  }
  return $result . substr($subject, $copied);
}

# ---- Random expressions ----------------------------------------------------
# Each generator returns [ours, perl, haswidth]. The state tracks groups and
# the modifiers in force, which change how a few atoms are written for Perl.
my %st;
my $counted = 0;  # more counted repeats ({2,4}, {3}, {0,5}, {2,}, {1,6})

sub pick { return $_[int(rand(@_))]; }

sub sample_of_set {
  my ($set) = @_;
  my %m = ('[ab]' => 'ab', '[^a]' => 'bc1 ', '[a-c]' => 'abc', '[^bc]' => 'a1-', '[a\\d]' => 'a12', '[]a]' => 'a',
           '[a-]' => 'a-', '[\\w-]' => 'a_-1', '[^\\s]' => 'ab.', '[A-Ca]' => 'ABa', '[-b]' => '-b', '[ab1 ]' => 'ab1 ',
           '[a-\\d]' => 'a-1', '[^a-c]' => 'A1 ', '[\\n.]' => ".\n");
  my @c = split //, $m{$set};
  return pick(@c);
}

sub gen_atom {
  my ($depth) = @_;
  my $r = rand(100);
  if ($r < 34) {
    my $c = pick('a', 'a', 'b', 'b', 'c', 'A', '1', '-', '_');
    my $sample = ($st{mods}{i} && rand() < 0.5) ? ($c =~ /[a-z]/ ? uc $c : lc $c) : $c;
    return [$c, $c, 1, $sample];
  }
  if ($r < 40) {
    my %e = ('\\.' => '.', '\\-' => '-', '\\x61' => 'a', '\\x{62}' => 'b', '\\t' => "\t", '\\n' => "\n", '\\ ' => ' ',
             '\\_' => '_');
    my $e = pick(sort keys %e);
    return [$e, $e, 1, $e{$e}];
  }
  if ($r < 46) { return ['.', '.', 1, pick('a', 'b', '.', "\n")]; }
  if ($r < 56) {
    my $set = pick('[ab]', '[^a]', '[a-c]', '[^bc]', '[a\\d]', '[]a]', '[a-]', '[\\w-]', '[^\\s]', '[A-Ca]', '[-b]',
                   '[ab1 ]', '[a-\\d]', '[^a-c]', '[\\n.]');
    return [$set, $set, 1, sample_of_set($set)];
  }
  if ($r < 62) {
    my %e = ('\\d' => '12', '\\D' => 'a-', '\\w' => 'ab1_', '\\W' => ' -.', '\\s' => " \n", '\\S' => 'ab1');
    my $e = pick(sort keys %e);
    return [$e, $e, 1, pick(split //, $e{$e})];
  }
  if ($r < 74 && $depth < 3 && $st{groups} < 14) {
    my $n = ++$st{groups};
    my %saved = %{ $st{mods} };
    my $alts = 1 + (rand() < 0.45 ? 1 + int(rand(2)) : 0);
    my (@o, @p, @s);
    my $w = 1;
    for (1 .. $alts) {
      my $q = gen_seq($depth + 1);
      push @o, $q->[0];
      push @p, $q->[1];
      push @s, $q->[3];
      $w &&= $q->[2];
    }
    $st{mods} = {%saved};
    push @{ $st{closed} }, $n;
    my $sample = pick(@s);
    $st{sample}{$n} = $sample;
    return ['(' . join('|', @o) . ')', '(' . join('|', @p) . ')', $w, $sample];
  }
  if ($r < 78 && @{ $st{closed} }) {
    my $n = pick(grep { $_ <= 9 } @{ $st{closed} });
    # \g{n}: Perl would read "\1" followed by a digit as an octal escape.
    if (defined $n) {
      push @{ $st{refs} }, $n;
      return ["\\$n", "\\g{$n}", 1, $st{sample}{$n}];
    }
  }
  if ($r < 88) {
    my $a = pick('^', '$', '\\b', '\\B', '\\A', '\\Z', '^', '$');
    my $m = $st{mods}{m};
    my $nl = ($m && rand() < 0.5) ? "\n" : '';
    # Written out, so Perl's own ^ and $ rules (a final newline) do not apply.
    return [$a, $m ? '(?:\\A|(?<=\n))' : '\\A', 0, $nl] if $a eq '^';
    return [$a, $m ? '(?=\n|\\z)' : '\\z', 0, $nl] if $a eq '$';
    return [$a, '\\z', 0, ''] if $a eq '\\Z';
    return [$a, $a, 0, ''];
  }
  if ($r < 94) {
    my $l = pick('i', 's', 'm', 'x');
    my $on = rand() < 0.5;
    $st{mods}{$l} = $on ? 1 : 0;
    my $t = $on ? "(?$l)" : "(?-$l)";
    return [$t, $t, 0, ''];
  }
  return ['(?#note)', '(?#note)', 0, ''];
}

sub gen_piece {
  my ($depth) = @_;
  my $before = $st{groups};
  my $a = gen_atom($depth);
  my ($o, $p, $w, $s) = @$a;
  # Only atoms that consume may be repeated (anchors, modifiers and comments
  # are left alone; repeats of what can be empty are refused by our syntax).
  my $zero = ($o =~ /^(\^|\$|\\[bBAZ]|\(\?.*\))$/s);
  return $a if $zero || rand() > 0.4;
  my %times = ('*' => [0, 3], '+' => [1, 3], '?' => [0, 1], '{2}' => [2, 2], '{1,}' => [1, 3], '{0,2}' => [0, 2],
               '{1,3}' => [1, 3], '{2,4}' => [2, 4], '{3}' => [3, 3], '{0,5}' => [0, 5], '{2,}' => [2, 4],
               '{1,6}' => [1, 6]);
  my @q = $w ? ('*', '+', '?', '{2}', '{1,}', '{0,2}', '{1,3}') : ('?');
  push @q, ('{2,4}', '{3}', '{0,5}', '{2,}', '{1,6}') x 2 if $w && $st{counted};
  my $q = pick(@q);
  my $lazy = rand() < 0.3 ? '?' : '';
  my $plazy = ($lazy || !$st{mods}{g}) ? '?' : '';
  my $nw = ($q =~ /^(\+|\{[1-9])/) ? $w : 0;
  my ($lo, $hi) = @{ $times{$q} };
  # Groups inside a repeated group: Perl forgets them when an inner repeat
  # matches nothing in a later pass, we keep their last pass (as the engine
  # is meant to): not compared, and not referred to.
  if ($hi > 1) { $st{inner}{$_} = 1 for ($before + 2 .. $st{groups}); }
  my $k = $lo + int(rand($hi - $lo + 1));
  return [$o . $q . $lazy, $p . $q . $plazy, $nw, $s x $k];
}

sub gen_seq {
  my ($depth) = @_;
  my $n = rand() < 0.1 ? 0 : 1 + int(rand(4));
  my ($o, $p, $w, $s) = ('', '', 0, '');
  for my $i (1 .. $n) {
    my $piece = gen_piece($depth);
    if ($i > 1 && $st{mods}{x} && rand() < 0.5) {
      # Free spacing between pieces (never in front of a quantifier).
      $o .= ' ';
      $p .= ' ';
    }
    $o .= $piece->[0];
    $p .= $piece->[1];
    $w ||= $piece->[2];
    $s .= $piece->[3];
  }
  return [$o, $p, $w, $s];
}

sub gen_noise {
  my $n = int(rand(5));
  my $s = '';
  for (1 .. $n) {
    $s .= pick('a', 'a', 'a', 'b', 'b', 'c', 'A', 'B', '1', '2', ' ', "\n", '.', '-', '_');
  }
  return $s;
}

# A subject that often matches: noise around a string made to match, now and
# then with one character changed.
sub gen_subject {
  my ($sample) = @_;
  my $s = rand() < 0.15 ? gen_noise() . gen_noise() : gen_noise() . $sample . gen_noise();
  if (length($s) > 0 && rand() < 0.2) {
    substr($s, int(rand(length $s)), 1) = pick('a', 'b', 'x', "\n", '1');
  }
  return substr($s, 0, 24);
}

sub gen_template {
  my $n = int(rand(4));
  my $t = '';
  for (1 .. $n) { $t .= pick('x', '-', '<', '>', '$1', '$2', '${1}', '${2}z', '$&', '\\$', '\\\\', '$3'); }
  return $t;
}

sub random_case {
  my @on;
  my @off;
  push @on, 'i' if rand() < 0.25;
  push @on, 'm' if rand() < 0.25;
  push @off, 's' if rand() < 0.3;
  push @on, 'x' if rand() < 0.12;
  push @off, 'g' if rand() < 0.12;
  my $mods = join('', @on) . (@off ? '-' . join('', @off) : '');
  %st = (groups => 0, closed => [], sample => {}, inner => {}, refs => [], counted => $counted,
         mods => { i => 0, s => 1, m => 0, x => 0, g => 1 });
  $st{mods}{$_} = 1 for @on;
  $st{mods}{$_} = 0 for @off;
  my $g = $st{mods}{g};
  my $top = gen_seq(0);
  # Alternation at the top level now and then.
  if (rand() < 0.15) {
    my $alt = gen_seq(0);
    $top = [$top->[0] . '|' . $alt->[0], $top->[1] . '|' . $alt->[1], 0, rand() < 0.5 ? $top->[3] : $alt->[3]];
  }
  my ($ours, $perl, $w, $sample) = @$top;
  return undef if $ours eq '';
  return undef if grep { $st{inner}{$_} } @{ $st{refs} };
  my $flags = perl_flags($mods);
  $flags =~ s/m//;    # m is written into the Perl text of ^ and $ where it applies
  my $subject = gen_subject($sample);
  if (rand() < 0.25) {
    my $t = gen_template();
    for my $g (1 .. 3) { return undef if $st{inner}{$g} && $t =~ /\$\{?$g/; }
    my $res = perl_replace($perl, $flags, $subject, $t);
    return undef unless defined $res;
    return join("\t", 'r', enc($ours), enc($mods), enc($subject), enc($t), enc($res));
  }
  my $res = perl_matches($perl, $flags, $subject, $st{groups}, $st{inner});
  return undef unless defined $res;
  return join("\t", 'm', enc($ours), enc($mods), enc($subject), $res);
}

if (@ARGV && $ARGV[0] eq '--fixed') {
  # Input lines: "m<TAB>expr<TAB>mods<TAB>subject<TAB>groups" or
  # "r<TAB>expr<TAB>mods<TAB>subject<TAB>template", written in the shared
  # syntax (Perl reads them as they stand, with \z for our end anchors).
  while (my $line = <STDIN>) {
    chomp $line;
    if ($line =~ /^#/ || $line eq '') { print "$line\n"; next; }
    my @f = split /\t/, $line, -1;
    my ($kind, $expr, $mods, $subject) = map { dec($_) } @f[0 .. 3];
    my $flags = perl_flags($mods);
    my $res;
    if ($kind eq 'm') {
      $res = perl_matches($expr, $flags, $subject, $f[4]);
      die "Perl refuses: $line\n" unless defined $res;
      print join("\t", 'm', $f[1], $f[2], $f[3], $res), "\n";
    } else {
      $res = perl_replace($expr, $flags, $subject, dec($f[4]));
      die "Perl refuses: $line\n" unless defined $res;
      print join("\t", 'r', $f[1], $f[2], $f[3], $f[4], enc($res)), "\n";
    }
  }
  exit 0;
}

my $count = shift(@ARGV) // 3000;
my $seed = shift(@ARGV) // 20061;
$counted = (shift(@ARGV) // '') eq 'counted';
srand($seed);
print "# Generated by tests/regex/gen_perl_cases.pl $count $seed (Perl $^V); do not edit.\n";
my $made = 0;
my %seen;
while ($made < $count) {
  my $line = random_case();
  next unless defined $line;
  next if $seen{$line}++;
  print "$line\n";
  ++$made;
}
