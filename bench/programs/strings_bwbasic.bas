10 REM String building: 1500000 pseudo-random letters appended one by one with MID$,
20 REM the string cut back to its last 100 bytes with MID$ when it passes 200, and
30 REM each pass searched with INSTR for a two-letter pair made with LEFT$ and MID$.
40 REM Prints the sum of the positions found.
50 A$ = "abcdefghijklmnopqrstuvwxyz": S$ = "": T = 0: X = 1
60 FOR K = 1 TO 1500000
70 X = X * 421 + 1: X = X - INT(X / 4096) * 4096
80 P = X - INT(X / 26) * 26 + 1
90 S$ = S$ + MID$(A$, P, 1)
100 IF LEN(S$) > 200 THEN S$ = MID$(S$, LEN(S$) - 99, 100)
110 T = T + INSTR(S$, LEFT$(MID$(A$, P, 26), 2))
120 NEXT K
130 PRINT T
140 SYSTEM
