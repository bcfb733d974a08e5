#!/usr/bin/env python3
"""Makes the texts of the command-line benchmark (bench/command_line_process.cpp).

    bench/make_texts.py DIR

DIR/mixed.utf8          64 MiB of lines, half Chinese, half ASCII, in UTF-8; its last
                        line holds 【左】中间【右】 and the word 终点标记, once each
DIR/mixed.gb18030       the same text in GB18030
DIR/hits-N.utf8         N MiB (N = 1, 2, 4, 8, 16) of 137-byte mixed pieces, each
                        followed by the four-byte character U+1F600 (one hit every
                        141 bytes); also as hits-N.gb18030
The texts are the same on every run (fixed seed).
"""
import os
import random
import sys

MIB = 1 << 20


def mixed_lines(rng, size):
    cjk = [chr(c) for c in range(0x4E00, 0x9FA6)]
    ascii_letters = "abcdefghijklmnopqrstuvwxyz     "
    out, n = [], 0
    while n < size:
        if rng.random() < 0.5:
            line = "".join(rng.choices(cjk, k=rng.randint(5, 40)))
        else:
            line = "".join(rng.choices(ascii_letters, k=rng.randint(10, 80)))
        line += "\n"
        n += len(line.encode("utf-8"))
        out.append(line)
    return out


def write(path, text, encoding):
    with open(path, "wb") as f:
        f.write(text.encode(encoding))


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    rng = random.Random(20240611)
    tail = "结尾 【左】中间【右】 终点标记\n"
    lines = mixed_lines(rng, 64 * MIB - len(tail.encode("utf-8")) - 200)
    text = "".join(lines) + tail
    write(os.path.join(out, "mixed.utf8"), text, "utf-8")
    write(os.path.join(out, "mixed.gb18030"), text, "gb18030")

    # Pieces of 137 bytes in UTF-8: 45 Chinese characters (135 bytes), two letters.
    pieces = []
    for _ in range(4096):
        chars = "".join(chr(rng.randint(0x4E00, 0x9FA5)) for _ in range(45))
        pieces.append(chars + "ab")
    for mib in (1, 2, 4, 8, 16):
        parts, n = [], 0
        while n + 141 <= mib * MIB:
            parts.append(pieces[len(parts) % len(pieces)] + "\U0001F600")
            n += 141
        text = "".join(parts)
        write(os.path.join(out, "hits-%d.utf8" % mib), text, "utf-8")
        write(os.path.join(out, "hits-%d.gb18030" % mib), text, "gb18030")


main()
