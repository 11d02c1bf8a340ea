10 rem Text building: 600000 words of two to four syllables put together with mid$ and +.
20 rem Each word is looked up with instr in a line of recent words; if there, it is cut
30 rem out with left$ and mid$, and it is appended again. When the line passes 200 bytes,
40 rem every "ka" in it becomes "ga" (found with instr, rebuilt with left$, + and mid$)
50 rem and the line is cut to its last 100 bytes. Prints the sum of the positions found
60 rem and the number of replacements.
70 y$ = "kasatanahamayarawa": l$ = "": t = 0: u = 0: x = 1
80 for k = 1 to 600000
90 x = x * 421 + 1: x = x - int(x / 4096) * 4096
100 w$ = "": m = x - int(x / 3) * 3 + 2
110 for j = 1 to m
120 x = x * 421 + 1: x = x - int(x / 4096) * 4096
130 p = x - int(x / 9) * 9
140 w$ = w$ + mid$(y$, p * 2 + 1, 2)
150 next j
160 f = instr(l$, w$ + " ")
170 if f = 0 then 190
180 t = t + f: l$ = left$(l$, f - 1) + mid$(l$, f + len(w$) + 1, 255)
190 l$ = l$ + w$ + " "
200 if len(l$) <= 200 then 250
210 q = instr(l$, "ka")
220 if q = 0 then 240
230 l$ = left$(l$, q - 1) + "ga" + mid$(l$, q + 2, 255): u = u + 1: goto 210
240 l$ = mid$(l$, len(l$) - 99, 100)
250 next k
260 print t
270 print u
