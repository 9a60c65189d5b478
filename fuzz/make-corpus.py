#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into corpus/, as little-endian UTF-16 bytes.

corpus/parse_format/: one text each. corpus/refresh/: two bytes choosing extra ticks and CLEAR
clicks (bit 2i: CLEAR after text i, bit 2i+1: a second tick), then texts separated by U+001E.
Run it after changing the lists below; it rewrites the seeds and keeps the inputs that tools/fuzz
added beside them (named by their SHA-1: 40 hexadecimal digits).
"""

from pathlib import Path
import re
import struct

CORPUS = Path(__file__).resolve().parent / "corpus"

# One code unit per character, written by hand: str.encode refuses a lone surrogate.
def utf16le(text):
    return b"".join(struct.pack("<H", ord(c)) for c in text)

PARSE_FORMAT = {
    "integer": "100",
    "decimal": "98.6",
    "negative": "-40",
    "overflow": "1e400",
    "underflow": "-1e-400",
    "subnormal": "4.9e-324",
    "blank-between-digits": "1 00",
    "letters-after": "25abc",
    "comma": "37,5",
    "lone-point": ".",
    "lone-minus": "-",
    "marker-without-digits": "1e",
    "long-digits": "9" * 850,
    "halfway-then-far-digit": "9007199254740993." + "0" * 800 + "1",
    "arabic-indic-digit": "1\u0665",
    "lone-surrogate": "1\ud800",
    "rtl-mark": "\u200f100",
    "nul": "1\u00002",
    "tab-and-line-feed": "\t1\n2",
    "hexadecimal": "0x1A",
    "infinity": "inf",
}

SEPARATOR = "\u001e"
CLEAR, TICK_AGAIN = 1, 2

def actions(*per_text):
    mask = 0
    for i, chosen in enumerate(per_text):
        mask |= chosen << (2 * i)
    return mask

REFRESH = {
    "one-number": (0, ["100"]),
    "overflow-then-mended": (actions(0, TICK_AGAIN), ["1e400", "1e400", "5"]),
    "arithmetic-overflow": (0, ["1e308", "-1.7e308", "1.99e307"]),
    "clear-after-error": (actions(CLEAR, TICK_AGAIN | CLEAR), ["1e400", "98.6"]),
    "odd-texts": (actions(0, 0, 0, CLEAR), ["1 00", "37,5", "25abc", "\u0665", "\u200f-40", "\ud800"]),
    "empty-texts": (actions(TICK_AGAIN, CLEAR), ["", "", "-"]),
    "negatives-that-round-to-zero": (0, ["31.999", "-17.778"]),
}

FOUND_BY_FUZZING = re.compile(r"[0-9a-f]{40}")

def rewrite(folder, files):
    folder.mkdir(parents=True, exist_ok=True)
    for old in folder.iterdir():
        if not FOUND_BY_FUZZING.fullmatch(old.name):
            old.unlink()
    for name, data in files.items():
        (folder / name).write_bytes(data)

rewrite(CORPUS / "parse_format", {name: utf16le(text) for name, text in PARSE_FORMAT.items()})
rewrite(CORPUS / "refresh", {
    name: struct.pack("<H", mask) + utf16le(SEPARATOR.join(texts))
    for name, (mask, texts) in REFRESH.items()
})
