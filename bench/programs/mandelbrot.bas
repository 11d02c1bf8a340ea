10 rem Mandelbrot set in complex arithmetic: z = z*z + c over a 432 x 216 grid,
20 rem at most 200 iterations per point; prints the total iteration count.
30 total = 0
40 for y = 0 to 215
50 for x = 0 to 431
60 c = x / 144 - 2 + (y / 108 - 1) * i
70 z = 0: n = 0
80 while n < 200 and norm(z) <= 4
90 z = z * z + c: n = n + 1
100 wend
110 total = total + n
120 next x
130 next y
140 print total
