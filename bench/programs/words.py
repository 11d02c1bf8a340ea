# Text building: 600000 words of two to four syllables joined from slices of a syllable
# table. Each word is looked up with find in a line of recent words; if there, it is cut
# out, and it is appended again. When the line passes 200 characters, every "ka" in it
# becomes "ga" (counted, then replaced) and the line is cut to its last 100 characters.
# Prints the sum of the 1-based positions found and the number of replacements.


def main():
    syllables = "kasatanahamayarawa"
    line = ""
    t = 0
    u = 0
    x = 1
    for _ in range(600000):
        x = (x * 421 + 1) % 4096
        word = ""
        for _ in range(x % 3 + 2):
            x = (x * 421 + 1) % 4096
            p = x % 9
            word += syllables[p * 2:p * 2 + 2]
        f = line.find(word + " ")
        if f >= 0:
            t += f + 1
            line = line[:f] + line[f + len(word) + 1:]
        line += word + " "
        if len(line) > 200:
            u += line.count("ka")
            line = line.replace("ka", "ga")[-100:]
    print(t)
    print(u)


main()
