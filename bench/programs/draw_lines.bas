10 gopen 1,800,600
20 for k% = 1 to 100000
30 x% = k% - 800 * int(k% / 800) : y% = k% - 600 * int(k% / 600)
40 gline x%, 0, 799 - x%, y%, k% * 97
50 next k%
60 s = 0 : for x% = 0 to 799 step 7 : s = s + gget(x%, 300) : next x%
70 print s
