10 gopen 1,800,600
20 for k% = 1 to 50
30 gpaint 400, 300, k% * 4099
40 next k%
50 print gget(0, 0); gget(799, 599)
