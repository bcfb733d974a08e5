

# Test driver, appended to the generated subroutine: reads cases (text, left,
# right, each ended by a zero byte) from argv[1] and writes to argv[2], each
# ended by a zero byte: "-" (nothing found) or "+" and the middle text, then
# the number of middle texts and each of them, or "E" when they are refused.
import sys


def main():
    with open(sys.argv[1], "rb") as f:
        fields = f.read().decode("utf-8").split("\0")
    out = []
    for i in range(0, len(fields) - 1, 3):
        text, left, right = fields[i:i + 3]
        middle = middle_text(text, left, right)
        out.append("-" if middle is None else "+" + middle)
        try:
            found = middle_texts(text, left, right)
            out.append(str(len(found)))
            out.extend(found)
        except ValueError:
            out.append("E")
    with open(sys.argv[2], "wb") as f:
        f.write("".join(x + "\0" for x in out).encode("utf-8"))


main()
