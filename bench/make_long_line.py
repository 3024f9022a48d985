#!/usr/bin/env python3
"""Writes minified-looking JavaScript on one line, about SIZE megabytes: make_long_line.py SIZE PATH"""
import sys

size_mb, path = float(sys.argv[1]), sys.argv[2]
target = int(size_mb * 1024 * 1024)
with open(path, "w", newline="\n") as f:
    written, i = 0, 0
    while written < target:
        part = 'function f%d(a,b){var c=a+b*%d;if(c>%d){return c-1}else{return [c,"s%d"]}};' % (i, i, i, i)
        f.write(part)
        written += len(part)
        i += 1
