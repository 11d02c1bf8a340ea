-- Sieve of Eratosthenes, 120 rounds over one table of 100001 flags (0 to 100000);
-- round r marks composites with r, so the table needs no clearing.
-- Prints the primes up to 100000 counted in every round: 120 * 9592 = 1151040.

local function main()
    local f = {}
    for i = 0, 100000 do
        f[i] = 0
    end
    local c = 0
    for r = 1, 120 do
        for n = 2, 316 do
            if f[n] ~= r then
                for m = n * n, 100000, n do
                    f[m] = r
                end
            end
        end
        for n = 2, 100000 do
            if f[n] ~= r then
                c = c + 1
            end
        end
    end
    print(c)
end

main()
