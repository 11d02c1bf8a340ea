10 REM Fifteen million passes of a counted loop with arithmetic on
20 REM an accumulator; prints the sum of the first fifteen million odd numbers (2.25 * 10^14).
30 S = 0
40 FOR K = 1 TO 15000000
50 S = S + K * 2 - 1
60 NEXT K
70 PRINT S
80 SYSTEM
