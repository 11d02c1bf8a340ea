-- Call loops: 5000000 passes, each calling a two-parameter function and a closure
-- that updates a running total. Prints the sum of the function results (the sum of the
-- first 5000000 odd numbers, 2.5 * 10^13) and the closure's running total (12500002500000).

local function odd(x, y)
    return x * 2 - y
end

local function main()
    local s = 0
    local total = 0

    local function add_k(k)
        total = total + k
    end

    for k = 1, 5000000 do
        s = s + odd(k, 1)
        add_k(k)
    end
    print(s)
    print(total)
end

main()
