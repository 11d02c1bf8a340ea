10 REM Call loops: 5000000 passes, each calling a two-parameter DEF FN function and a
20 REM GOSUB subroutine. Prints the sum of the function results (the sum of the first
30 REM 5000000 odd numbers, 2.5 * 10^13) and the subroutine's running total (12500002500000).
40 DEF FNODD(X, Y) = X * 2 - Y
50 S = 0: C = 0
60 FOR K = 1 TO 5000000
70 S = S + FNODD(K, 1)
80 GOSUB 130
90 NEXT K
100 PRINT S
110 PRINT C
120 SYSTEM
130 C = C + K
140 RETURN
