#!/usr/bin/env python3
"""Generates the encoding test data with the system's iconv (glibc), so that the
expected bytes come from a converter nobody in this project wrote.

Run from anywhere:  python3 tests/document/data/make_data.py
Writes, beside this script:
  prose.{sjis,euc,jis}.txt, prose.utf8bom.txt   from prose.utf8.txt
  kana.{sjis,euc,jis}.txt                       from kana.utf8.txt
  cells.txt   one line per code page 932 character (every double-byte cell
              with lead 81-9F or E0-FC that iconv's CP932 decodes, and every
              half-width katakana A1-DF):
                  <sjis hex> <iso-2022-jp hex or -> <euc-jp-ms hex or -> <euc-jp hex or ->
              ISO-2022-JP for the double-byte cells (JIS X 0208 only; cells
              whose code point JIS X 0208 lacks in iconv's table give "-"),
              ISO-2022-JP-3 for half-width katakana (ESC ( I); EUC-JP-MS, which
              follows code page 932's layout, and plain EUC-JP for EUC.
  jis0208.{sjis,utf8,ms.utf8}.txt   the cells SHIFT_JIS and CP932 both read, and their UTF-8 through each
"""
import os
import subprocess
from concurrent.futures import ThreadPoolExecutor

HERE = os.path.dirname(os.path.abspath(__file__))


def iconv(data, src, dst):
    """The bytes iconv gives, or None when it refuses the input."""
    r = subprocess.run(["iconv", "-f", src, "-t", dst], input=data,
                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    return r.stdout if r.returncode == 0 else None


def convert_file(stem, name, dst):
    with open(os.path.join(HERE, stem + ".utf8.txt"), "rb") as f:
        data = f.read()
    out = iconv(data, "UTF-8", dst)
    assert out is not None, (stem, dst)
    with open(os.path.join(HERE, stem + "." + name + ".txt"), "wb") as f:
        f.write(out)


def cell_line(cell):
    if iconv(cell, "CP932", "UTF-8") is None:
        return None  # not a character of code page 932
    jis = iconv(cell, "CP932", "ISO-2022-JP-3" if len(cell) == 1 else "ISO-2022-JP")
    euc_ms = iconv(cell, "CP932", "EUC-JP-MS")
    euc = iconv(cell, "CP932", "EUC-JP")
    return " ".join([cell.hex().upper()] + [b.hex().upper() if b else "-" for b in (jis, euc_ms, euc)])


def main():
    for stem, jis in (("prose", "ISO-2022-JP"), ("kana", "ISO-2022-JP-3")):
        convert_file(stem, "sjis", "CP932")
        convert_file(stem, "euc", "EUC-JP")
        convert_file(stem, "jis", jis)
    with open(os.path.join(HERE, "prose.utf8.txt"), "rb") as f:
        text = f.read()
    with open(os.path.join(HERE, "prose.utf8bom.txt"), "wb") as f:
        f.write(b"\xEF\xBB\xBF" + text)

    leads = list(range(0x81, 0xA0)) + list(range(0xE0, 0xFD))
    trails = [t for t in range(0x40, 0xFD) if t != 0x7F]
    cells = [bytes([l, t]) for l in leads for t in trails]
    cells += [bytes([k]) for k in range(0xA1, 0xE0)]
    with ThreadPoolExecutor(max_workers=8) as pool:
        lines = [l for l in pool.map(cell_line, cells) if l]
    with open(os.path.join(HERE, "cells.txt"), "w") as f:
        f.write("\n".join(lines) + "\n")
    print("cells:", len(lines))

    jis = [bytes([l, t]) for l in list(range(0x81, 0xA0)) + list(range(0xE0, 0xF0)) for t in trails]
    with ThreadPoolExecutor(max_workers=8) as pool:
        jis = [c for c in jis if all(pool.map(lambda cs: iconv(c, cs, "UTF-8"), ("SHIFT_JIS", "CP932")))]
    sjis = b"\n".join(b"".join(jis[i:i + 32]) for i in range(0, len(jis), 32)) + b"\n"
    for name, data in (("sjis", sjis), ("utf8", iconv(sjis, "SHIFT_JIS", "UTF-8")), ("ms.utf8", iconv(sjis, "CP932", "UTF-8"))):
        with open(os.path.join(HERE, "jis0208." + name + ".txt"), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
