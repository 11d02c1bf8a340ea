-- Fifteen million passes of a counted loop with integer arithmetic on an accumulator;
-- prints the sum of the first fifteen million odd numbers (2.25 * 10^14).

local function main()
    local s = 0
    for k = 1, 15000000 do
        s = s + k * 2 - 1
    end
    -- LuaJIT's numbers are doubles, which print shows in 14 digits: 2.25e+14.
    print(string.format("%d", s))
end

main()
