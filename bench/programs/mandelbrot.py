# Mandelbrot set with Python's complex numbers: z = z*z + c over a 432 x 216 grid,
# at most 200 iterations per point; prints the total iteration count.


def main():
    total = 0
    for y in range(216):
        for x in range(432):
            c = complex(x / 144 - 2, y / 108 - 1)
            z = 0j
            n = 0
            while n < 200 and z.real * z.real + z.imag * z.imag <= 4:
                z = z * z + c
                n += 1
            total += n
    print(total)


main()
