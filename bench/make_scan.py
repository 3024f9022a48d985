#!/usr/bin/env python3
"""Writes a text file of about N MB whose every 1000th line holds 'Needle Phrase'."""
import sys
size_mb, path = int(sys.argv[1]), sys.argv[2]
line = b"ordinary line of a log or a page, %08d, with some words in it and a number\n"
with open(path, "wb") as f:
    written, i = 0, 0
    chunk = []
    while written < size_mb * 1024 * 1024:
        text = line % i if i % 1000 else b"this line holds the Needle Phrase once, %08d\n" % i
        chunk.append(text)
        written += len(text)
        i += 1
        if len(chunk) == 10000:
            f.write(b"".join(chunk))
            chunk = []
    f.write(b"".join(chunk))
