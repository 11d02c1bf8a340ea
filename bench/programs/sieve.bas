10 rem Sieve of Eratosthenes, 120 rounds over one integer array of 100001 elements
20 rem (0 to 100000); round r marks composites with r, so the array needs no clearing.
30 rem Prints the primes up to 100000 counted in every round: 120 * 9592 = 1151040.
40 dim f%(100000)
50 c = 0
60 for r = 1 to 120
70 for n = 2 to 316
80 if f%(n) = r then 100
90 for m = n * n to 100000 step n: f%(m) = r: next m
100 next n
110 for n = 2 to 100000
120 if f%(n) <> r then c = c + 1
130 next n
140 next r
150 print c
