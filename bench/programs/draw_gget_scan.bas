10 gopen 1,800,600
20 for y% = 0 to 599 step 3 : gline 0, y%, 799, y%, y% * 4111 : next y%
30 s = 0
40 for y% = 0 to 599 : for x% = 0 to 799
50 s = s + gget(x%, y%)
60 next x% : next y%
70 print s
