# String building: 1500000 pseudo-random letters appended one by one with slicing,
# the string cut back to its last 100 characters when it passes 200, and each pass
# searched with find for a two-letter pair. Prints the sum of the 1-based positions found.


def main():
    a = "abcdefghijklmnopqrstuvwxyz"
    s = ""
    t = 0
    x = 1
    for k in range(1, 1500001):
        x = (x * 421 + 1) % 4096
        p = x % 26 + 1
        s = s + a[p - 1:p]
        if len(s) > 200:
            s = s[-100:]
        t = t + s.find(a[p - 1:p - 1 + 26][:2]) + 1
    print(t)


main()
