# Game of Life on a 60 x 60 board with a dead border, 1000 generations: nested loops
# over lists of lists, each generation into a new board.
# Prints the live cells summed over all generations, then the last population.


def main():
    size = 60
    a = [[0] * (size + 2) for _ in range(size + 2)]
    x = 1
    for r in range(1, size + 1):
        for c in range(1, size + 1):
            x = (x * 421 + 1) % 4096
            if x < 1400:
                a[r][c] = 1
    total = 0
    for _ in range(1000):
        b = [[0] * (size + 2) for _ in range(size + 2)]
        for r in range(1, size + 1):
            for c in range(1, size + 1):
                n = (a[r - 1][c - 1] + a[r - 1][c] + a[r - 1][c + 1] + a[r][c - 1] + a[r][c + 1]
                     + a[r + 1][c - 1] + a[r + 1][c] + a[r + 1][c + 1])
                if n == 3 or (n == 2 and a[r][c] == 1):
                    b[r][c] = 1
                    total += 1
        a = b
    print(total)
    print(sum(map(sum, a)))


main()
