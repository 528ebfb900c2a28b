#!/usr/bin/env python3
"""Writes a Tavrin job list file with COUNT jobs shaped like those of
bench/JobListBench.cpp (every field filled, a quarter with post-processing).

  manyjobs.py LISTFILE COUNT
"""
import sys

sys.path.insert(0, __import__("os").path.join(__import__("os").path.dirname(__file__), "..", "fetch"))
from joblist import SEPARATOR, job_list_text  # noqa: E402


def job(n):
    pp = n % 4 == 0
    return [
        "1" if n % 3 else "0", "Category %d" % (n % 17),
        "http://example.invalid/gallery/%d/img#1#_#2#.jpg" % n, "1", "40", "00", "1", "5", "000",
        "g%d_" % n, "%%TEMP%%\\Tavrin\\gallery %d" % n, "2026-12-05", "1" if pp else "", "", "",
        "convert #FILEPATH# #OUT#\\#FILENAME#.png" if pp else "",
    ]


def main(argv):
    if len(argv) != 3:
        sys.exit(__doc__)
    path, count = argv[1], int(argv[2])
    text = job_list_text("", 3, job(1))
    head = text[: text.rindex("\r\n", 0, len(text) - 2) + 2]
    with open(path, "wb") as out:
        out.write(b"\xff\xfe" + head.encode("utf-16-le"))
        for start in range(1, count + 1, 10000):
            block = "".join("".join(f + SEPARATOR for f in job(n)) + "\r\n"
                            for n in range(start, min(start + 10000, count + 1)))
            out.write(block.encode("utf-16-le"))


if __name__ == "__main__":
    main(sys.argv)
