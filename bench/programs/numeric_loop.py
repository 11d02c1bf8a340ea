# A million passes of a counted loop with integer arithmetic on an accumulator;
# prints the sum of the first million odd numbers (10^12).


def main():
    s = 0
    for k in range(1, 1000001):
        s = s + k * 2 - 1
    print(s)


main()
