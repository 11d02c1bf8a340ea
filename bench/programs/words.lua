-- Text building: 600000 words of two to four syllables joined from pieces of a syllable
-- table. Each word is looked up with a plain find in a line of recent words; if there,
-- it is cut out, and it is appended again. When the line passes 200 characters, every
-- "ka" in it becomes "ga" (gsub counts them as it replaces) and the line is cut to its
-- last 100 characters. Prints the sum of the positions found and the number of replacements.

local function main()
    local syllables = "kasatanahamayarawa"
    local line = ""
    local t = 0
    local u = 0
    local x = 1
    for _ = 1, 600000 do
        x = (x * 421 + 1) % 4096
        local word = ""
        for _ = 1, x % 3 + 2 do
            x = (x * 421 + 1) % 4096
            local p = x % 9
            word = word .. syllables:sub(p * 2 + 1, p * 2 + 2)
        end
        local f = line:find(word .. " ", 1, true)
        if f then
            t = t + f
            line = line:sub(1, f - 1) .. line:sub(f + #word + 1)
        end
        line = line .. word .. " "
        if #line > 200 then
            local replaced, count = line:gsub("ka", "ga")
            u = u + count
            line = replaced:sub(-100)
        end
    end
    print(t)
    print(u)
end

main()
