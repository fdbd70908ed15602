# Draws sort_bench's CSV results: time per element against n on log-log axes, one
# panel per input pattern, one line per algorithm and comparator: solid with the
# function-pointer comparator, dashed in the same colour with the inlined lambda.
#
#   gnuplot -e "csv='bench.csv'; png='bench.png'" bench/plot.gp

if (!exists("csv") || !exists("png")) {
  print "usage: gnuplot -e \"csv='bench.csv'; png='bench.png'\" bench/plot.gp"
  exit status 1
}

# The algorithms and the patterns are those of the CSV, in the order of its rows, which are
# named "Algorithm/pattern/n/manual_time" (awk lists each name once).
names(part) = system(sprintf("awk -F'\"' '$2 ~ /\\/manual_time$/ { split($2, p, \"/\"); " . \
                             "name = p[%d]; %s if (!seen[name]++) printf \"%%s \", name }' '%s'", \
                             part == 0 ? 1 : part, part == 0 ? "sub(/_lambda$/, \"\", name);" : "", csv))
algorithms = names(1)
patterns = names(2)
# The algorithms without their comparator: each has one colour, its lambda series too.
families = names(0)

# The CSV starts with its header (make bench keeps the machine context apart).
data = csv
set datafile separator ","
set datafile columnheaders

# Rows are named "Algorithm/pattern/n/manual_time". A family's fitted growth is in rows
# named "Algorithm/pattern/manual_time_BigO" and "..._RMS", with no "/" after the
# pattern's, so they are left out.
prefix(a, p) = a . "/" . p . "/"
size_at(rest, end) = end > 1 ? real(rest[1:end - 1]) : NaN
size_in(rest) = size_at(rest, strstrt(rest, "/"))
size_of(a, p) = strstrt(strcol(1), prefix(a, p)) == 1 ? size_in(strcol(1)[strlen(prefix(a, p)) + 1:]) : NaN

# One panel per pattern, in a grid about as wide as it is high (10 patterns: 3 rows of 4), each
# panel the size a 3x3 grid gave it.
columns = ceil(sqrt(words(patterns)))
rows = ceil(real(words(patterns)) / columns)
set terminal pngcairo size 500 * columns, 125 + 375 * rows font "sans,10"
set output png
set multiplot layout rows, columns title "Time per element against n (log-log), one line per algorithm (dashed: lambda comparator)" font "sans,13"

set logscale xy 2
set logscale y 10
set format x "2^{%L}"
set format y "10^{%L}"
set xrange [12:1500000]
set xtics 16, 16
set grid xtics ytics lc rgb "#dddddd"
set xlabel "n" offset 0,0.5
set ylabel "ns per element" offset 1,0

# The two baselines (the first families) dark, the library's sorts in colours; lambda
# series dashed.
palette = "#000000 #777777 #d62728 #1f77b4 #2ca02c #9467bd #ff7f0e #8c564b #e377c2 #17becf"
family(a) = strstrt(a, "_lambda") > 0 ? a[1:strstrt(a, "_lambda") - 1] : a
family_index(a) = sum [k = 1:words(families)] (word(families, k) eq family(a) ? k : 0)
color(i) = word(palette, (family_index(word(algorithms, i)) - 1) % words(palette) + 1)
style(i) = strstrt(word(algorithms, i), "_lambda") > 0 ? 2 : 1

# A run filtered with --benchmark_filter may leave patterns without results: their panels
# stay empty. The key goes into the first panel drawn.
keyed = 0
do for [p = 1:words(patterns)] {
  pattern = word(patterns, p)
  stats data using (strstrt(strcol(1), "/" . pattern . "/") > 0 ? 1 : 0) nooutput
  if (STATS_sum == 0) {
    set multiplot next
  } else {
    set title pattern noenhanced
    if (!keyed) {
      set key top left reverse Left noenhanced font "sans,9" samplen 3 opaque box lc rgb "#cccccc"
      keyed = 1
    } else {
      unset key
    }
    plot for [i = 1:words(algorithms)] data \
        using (size_of(word(algorithms, i), pattern)):"ns_per_element" \
        with linespoints lw 1.5 pt 7 ps 0.4 dt style(i) lc rgb color(i) \
        title word(algorithms, i)
  }
}

unset multiplot
