#!/usr/bin/env python3
"""Whether the text OCR read from a place is the text the place should show.

Usage: same-text.py WANTED READ

Accents, case, blanks and the stray marks tesseract reads from a field's frame
do not count; letters do: READ may differ from WANTED by one letter in ten
(at least one), but may not be shorter: a clipped text misses its end.
"""
import sys
import unicodedata


def plain(text):
    decomposed = unicodedata.normalize("NFKD", text)
    kept = (c for c in decomposed if not unicodedata.combining(c))
    return "".join(c for c in kept if c.isalnum() or c in "/,.").lower()


def distance(a, b):
    row = list(range(len(b) + 1))
    for i, ca in enumerate(a, 1):
        previous, row[0] = row[0], i
        for j, cb in enumerate(b, 1):
            previous, row[j] = row[j], min(row[j] + 1, row[j - 1] + 1, previous + (ca != cb))
    return row[-1]


wanted, read = plain(sys.argv[1]), plain(sys.argv[2])
whole = len(read) >= len(wanted)
sys.exit(0 if whole and distance(wanted, read) <= max(1, len(wanted) // 10) else 1)
