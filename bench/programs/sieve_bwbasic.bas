10 REM Sieve of Eratosthenes, 4 rounds over one array of 100001 elements (0 to 100000;
20 REM not F%(): this bwbasic cannot read integer array elements in expressions); round RD
25 REM marks composites with RD, so the array needs no clearing.
30 REM Prints the number of primes up to 100000 found in the last round (9592).
40 DIM F(100000)
50 FOR RD = 1 TO 4
60 FOR N = 2 TO 316
70 IF F(N) = RD THEN 110
80 FOR M = N * N TO 100000 STEP N
90 F(M) = RD
100 NEXT M
110 NEXT N
120 C = 0
130 FOR N = 2 TO 100000
140 IF F(N) <> RD THEN C = C + 1
150 NEXT N
160 NEXT RD
170 PRINT C
180 SYSTEM
