10 REM Text building: 600000 words of two to four syllables put together with MID$ and +.
20 REM Each word is looked up with INSTR in a line of recent words; if there, it is cut
30 REM out with LEFT$ and MID$, and it is appended again. When the line passes 200 bytes,
40 REM every "ka" in it becomes "ga" (found with INSTR, rebuilt with LEFT$, + and MID$)
50 REM and the line is cut to its last 100 bytes. Prints the sum of the positions found
60 REM and the number of replacements.
70 Y$ = "kasatanahamayarawa": L$ = "": T = 0: U = 0: X = 1
80 FOR K = 1 TO 600000
90 X = X * 421 + 1: X = X - INT(X / 4096) * 4096
100 W$ = "": M = X - INT(X / 3) * 3 + 2
110 FOR J = 1 TO M
120 X = X * 421 + 1: X = X - INT(X / 4096) * 4096
130 P = X - INT(X / 9) * 9
140 W$ = W$ + MID$(Y$, P * 2 + 1, 2)
150 NEXT J
160 F = INSTR(L$, W$ + " ")
170 IF F = 0 THEN 190
180 T = T + F: L$ = LEFT$(L$, F - 1) + MID$(L$, F + LEN(W$) + 1, 255)
190 L$ = L$ + W$ + " "
200 IF LEN(L$) <= 200 THEN 250
210 Q = INSTR(L$, "ka")
220 IF Q = 0 THEN 240
230 L$ = LEFT$(L$, Q - 1) + "ga" + MID$(L$, Q + 2, 255): U = U + 1: GOTO 210
240 L$ = MID$(L$, LEN(L$) - 99, 100)
250 NEXT K
260 PRINT T
270 PRINT U
280 SYSTEM
