10 for k = 1 to 3
20   print k, sqrt(-k)
30 next
