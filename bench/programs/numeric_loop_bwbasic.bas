10 REM Ten million passes of a counted loop with arithmetic on
20 REM an accumulator; prints the sum of the first ten million odd numbers (10^14).
30 S = 0
40 FOR K = 1 TO 10000000
50 S = S + K * 2 - 1
60 NEXT K
70 PRINT S
80 SYSTEM
