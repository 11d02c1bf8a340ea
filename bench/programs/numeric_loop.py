# Fifteen million passes of a counted loop with integer arithmetic on an accumulator;
# prints the sum of the first fifteen million odd numbers (2.25 * 10^14).


def main():
    s = 0
    for k in range(1, 15000001):
        s = s + k * 2 - 1
    print(s)


main()
