10 rem Game of Life on a 60 x 60 board with a dead border, 1000 generations: nested for
20 rem loops over two 2-D integer arrays, the rules as if ... then jumps, and a copy back.
30 rem Prints the live cells summed over all generations, then the last population.
40 dim a%(61, 61), b%(61, 61)
50 x = 1
60 for r = 1 to 60: for c = 1 to 60
70 x = x * 421 + 1: x = x - int(x / 4096) * 4096
80 if x < 1400 then a%(r, c) = 1
90 next c: next r
100 t = 0
110 for g = 1 to 1000
120 for r = 1 to 60
130 for c = 1 to 60
140 n = a%(r - 1, c - 1) + a%(r - 1, c) + a%(r - 1, c + 1) + a%(r, c - 1) + a%(r, c + 1) + a%(r + 1, c - 1) + a%(r + 1, c) + a%(r + 1, c + 1)
150 if n = 3 then 180
160 if n = 2 and a%(r, c) = 1 then goto 180
170 b%(r, c) = 0: goto 190
180 b%(r, c) = 1: t = t + 1
190 next c
200 next r
210 for r = 1 to 60: for c = 1 to 60: a%(r, c) = b%(r, c): next c: next r
220 next g
230 p = 0
240 for r = 1 to 60: for c = 1 to 60: p = p + a%(r, c): next c: next r
250 print t
260 print p
