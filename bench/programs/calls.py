# Call loops: 5000000 passes, each calling a two-parameter function and a subroutine
# that updates a running total. Prints the sum of the function results (the sum of the
# first 5000000 odd numbers, 2.5 * 10^13) and the subroutine's running total (12500002500000).


def odd(x, y):
    return x * 2 - y


def main():
    s = 0
    total = [0]

    def add_k(k):
        total[0] += k

    for k in range(1, 5000001):
        s = s + odd(k, 1)
        add_k(k)
    print(s)
    print(total[0])


main()
