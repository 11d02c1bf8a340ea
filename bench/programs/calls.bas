10 rem Call loops: 5000000 passes, each calling a two-parameter def fn function and a
20 rem gosub subroutine. Prints the sum of the function results (the sum of the first
30 rem 5000000 odd numbers, 2.5 * 10^13) and the subroutine's running total (12500002500000).
40 def fnodd(x, y) = x * 2 - y
50 s = 0: c = 0
60 for k = 1 to 5000000
70 s = s + fnodd(k, 1)
80 gosub 130
90 next k
100 print s
110 print c
120 end
130 c = c + k
140 return
