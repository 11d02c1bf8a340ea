10 rem Fifteen million passes of a counted loop with an integer counter and arithmetic on
20 rem a complex accumulator; prints the sum of the first fifteen million odd numbers (2.25 * 10^14).
30 s = 0
40 for k% = 1 to 15000000
50 s = s + k% * 2 - 1
60 next k%
70 print s
