10 gopen 1,800,600
20 for k% = 1 to 10000
30 x% = k% * 37 - 800 * int(k% * 37 / 800) : y% = k% * 53 - 600 * int(k% * 53 / 600)
40 gcircle x%, y%, 5 + k% - 40 * int(k% / 40), k% * 2654435, fill
50 next k%
60 s = 0 : for x% = 0 to 799 step 7 : s = s + gget(x%, 300) : next x%
70 print s
