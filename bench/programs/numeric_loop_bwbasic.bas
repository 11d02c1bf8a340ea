10 REM A million passes of a counted loop with arithmetic on
20 REM an accumulator; prints the sum of the first million odd numbers (10^12).
30 S = 0
40 FOR K = 1 TO 1000000
50 S = S + K * 2 - 1
60 NEXT K
70 PRINT S
80 SYSTEM
