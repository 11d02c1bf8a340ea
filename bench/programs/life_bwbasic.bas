10 REM Game of Life on a 60 x 60 board with a dead border, 1000 generations: nested FOR
20 REM loops over two 2-D arrays (not A%(): this bwbasic cannot read integer array elements
30 REM in expressions), the rules as IF ... THEN jumps, and a copy back.
40 REM Prints the live cells summed over all generations, then the last population.
50 DIM A(61, 61), B(61, 61)
60 X = 1
70 FOR R = 1 TO 60
80 FOR C = 1 TO 60
90 X = X * 421 + 1: X = X - INT(X / 4096) * 4096
100 IF X < 1400 THEN A(R, C) = 1
110 NEXT C
120 NEXT R
130 T = 0
140 FOR G = 1 TO 1000
150 FOR R = 1 TO 60
160 FOR C = 1 TO 60
170 N = A(R - 1, C - 1) + A(R - 1, C) + A(R - 1, C + 1) + A(R, C - 1) + A(R, C + 1) + A(R + 1, C - 1) + A(R + 1, C) + A(R + 1, C + 1)
180 IF N = 3 THEN 210
190 IF N = 2 AND A(R, C) = 1 THEN GOTO 210
200 B(R, C) = 0: GOTO 220
210 B(R, C) = 1: T = T + 1
220 NEXT C
230 NEXT R
240 FOR R = 1 TO 60
250 FOR C = 1 TO 60
260 A(R, C) = B(R, C)
270 NEXT C
280 NEXT R
290 NEXT G
300 P = 0
310 FOR R = 1 TO 60
320 FOR C = 1 TO 60
330 P = P + A(R, C)
340 NEXT C
350 NEXT R
360 PRINT T
370 PRINT P
380 SYSTEM
