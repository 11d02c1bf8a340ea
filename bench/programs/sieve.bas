10 rem Sieve of Eratosthenes, 4 rounds over one integer array of 100001 elements
20 rem (0 to 100000); round r marks composites with r, so the array needs no clearing.
30 rem Prints the number of primes up to 100000 found in the last round (9592).
40 dim f%(100000)
50 for r = 1 to 4
60 for n = 2 to 316
70 if f%(n) = r then 90
80 for m = n * n to 100000 step n: f%(m) = r: next m
90 next n
100 c = 0
110 for n = 2 to 100000
120 if f%(n) <> r then c = c + 1
130 next n
140 next r
150 print c
