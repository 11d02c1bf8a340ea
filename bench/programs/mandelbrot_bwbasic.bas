10 REM Mandelbrot set in real arithmetic (bwbasic has no complex numbers): z = z*z + c
20 REM over a 432 x 216 grid, at most 200 iterations per point; prints the total iteration count.
30 TOTAL = 0
40 FOR Y = 0 TO 215
50 FOR X = 0 TO 431
60 CR = X / 144 - 2: CI = Y / 108 - 1
70 ZR = 0: ZI = 0: N = 0
80 WHILE N < 200 AND ZR * ZR + ZI * ZI <= 4
90 T = ZR * ZR - ZI * ZI + CR: ZI = 2 * ZR * ZI + CI: ZR = T: N = N + 1
100 WEND
110 TOTAL = TOTAL + N
120 NEXT X
130 NEXT Y
140 PRINT TOTAL
150 SYSTEM
