10 rem String building: 1500000 pseudo-random letters appended one by one with mid$,
20 rem the string cut back to its last 100 bytes with mid$ when it passes 200, and
30 rem each pass searched with instr for a two-letter pair made with left$ and mid$.
40 rem Prints the sum of the positions found.
50 a$ = "abcdefghijklmnopqrstuvwxyz": s$ = "": t = 0: x = 1
60 for k = 1 to 1500000
70 x = x * 421 + 1: x = x - int(x / 4096) * 4096
80 p = x - int(x / 26) * 26 + 1
90 s$ = s$ + mid$(a$, p, 1)
100 if len(s$) > 200 then s$ = mid$(s$, len(s$) - 99, 100)
110 t = t + instr(s$, left$(mid$(a$, p, 26), 2))
120 next k
130 print t
