-- Mandelbrot set over a 432 x 216 grid, at most 200 iterations per point; prints the
-- total iteration count. Lua has no complex numbers: z = z*z + c in real and imaginary
-- parts, each part computed as Python's complex product and sum compute it.

local function main()
    local total = 0
    for y = 0, 215 do
        for x = 0, 431 do
            local cr, ci = x / 144 - 2, y / 108 - 1
            local zr, zi = 0.0, 0.0
            local n = 0
            while n < 200 and zr * zr + zi * zi <= 4 do
                zr, zi = zr * zr - zi * zi + cr, zr * zi + zi * zr + ci
                n = n + 1
            end
            total = total + n
        end
    end
    print(total)
end

main()
