10 REM Sieve of Eratosthenes, 120 rounds over one array of 100001 elements (0 to 100000;
20 REM not F%(): this bwbasic cannot read integer array elements in expressions); round RD
25 REM marks composites with RD, so the array needs no clearing.
30 REM Prints the primes up to 100000 counted in every round: 120 * 9592 = 1151040.
40 DIM F(100000)
50 C = 0
60 FOR RD = 1 TO 120
70 FOR N = 2 TO 316
80 IF F(N) = RD THEN 120
90 FOR M = N * N TO 100000 STEP N
100 F(M) = RD
110 NEXT M
120 NEXT N
130 FOR N = 2 TO 100000
140 IF F(N) <> RD THEN C = C + 1
150 NEXT N
160 NEXT RD
170 PRINT C
180 SYSTEM
