# Sieve of Eratosthenes, 120 rounds over one list of 100001 flags (0 to 100000);
# round r marks composites with r, so the list needs no clearing.
# Prints the primes up to 100000 counted in every round: 120 * 9592 = 1151040.


def main():
    f = [0] * 100001
    c = 0
    for r in range(1, 121):
        for n in range(2, 317):
            if f[n] == r:
                continue
            for m in range(n * n, 100001, n):
                f[m] = r
        for n in range(2, 100001):
            if f[n] != r:
                c = c + 1
    print(c)


main()
