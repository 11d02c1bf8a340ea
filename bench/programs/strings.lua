-- String building: 1500000 pseudo-random letters appended one by one with sub,
-- the string cut back to its last 100 characters when it passes 200, and each pass
-- searched with a plain find for a two-letter pair. Prints the sum of the positions found.

local function main()
    local a = "abcdefghijklmnopqrstuvwxyz"
    local s = ""
    local t = 0
    local x = 1
    for _ = 1, 1500000 do
        x = (x * 421 + 1) % 4096
        local p = x % 26 + 1
        s = s .. a:sub(p, p)
        if #s > 200 then
            s = s:sub(-100)
        end
        t = t + (s:find(a:sub(p, p + 25):sub(1, 2), 1, true) or 0)
    end
    print(t)
end

main()
