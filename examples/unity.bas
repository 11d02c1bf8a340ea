#!/usr/bin/env velmora
10 ' The n-th roots of unity: exp(2*pi()*i*k/n) for k = 0 to n-1.
20 n = 6
30 for k = 0 to n - 1
40   z = exp(2 * pi() * i * k / n)
50   print k, z
60 next
