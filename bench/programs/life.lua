-- Game of Life on a 60 x 60 board with a dead border, 1000 generations: nested loops
-- over tables of tables, each generation into a new board. Lua's arrays start at 1, so
-- the border is rows and columns 1 and 62 and the cells are 2 to 61.
-- Prints the live cells summed over all generations, then the last population.

local size = 60

local function new_board()
    local board = {}
    for r = 1, size + 2 do
        local row = {}
        for c = 1, size + 2 do
            row[c] = 0
        end
        board[r] = row
    end
    return board
end

local function main()
    local a = new_board()
    local x = 1
    for r = 2, size + 1 do
        for c = 2, size + 1 do
            x = (x * 421 + 1) % 4096
            if x < 1400 then
                a[r][c] = 1
            end
        end
    end
    local total = 0
    for _ = 1, 1000 do
        local b = new_board()
        for r = 2, size + 1 do
            for c = 2, size + 1 do
                local n = a[r - 1][c - 1] + a[r - 1][c] + a[r - 1][c + 1] + a[r][c - 1] + a[r][c + 1]
                    + a[r + 1][c - 1] + a[r + 1][c] + a[r + 1][c + 1]
                if n == 3 or (n == 2 and a[r][c] == 1) then
                    b[r][c] = 1
                    total = total + 1
                end
            end
        end
        a = b
    end
    local population = 0
    for r = 1, size + 2 do
        for c = 1, size + 2 do
            population = population + a[r][c]
        end
    end
    print(total)
    print(population)
end

main()
