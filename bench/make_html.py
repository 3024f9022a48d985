#!/usr/bin/env python3
"""Writes a generated HTML file of about SIZE megabytes: make_html.py SIZE PATH"""
import sys

size_mb, path = float(sys.argv[1]), sys.argv[2]
target = int(size_mb * 1024 * 1024)
words = "Lorem ipsum dolor sit amet consectetur adipiscing elit sed do eiusmod tempor".split()
with open(path, "w", newline="\n") as f:
    f.write("<html>\n<body>\n")
    written, i = 0, 0
    while written < target:
        text = " ".join(words[(i + k) % len(words)] for k in range(6))
        line = f'  <div class="item"><a href="page{i}.html">{text}</a> <span>{i}</span></div>\n'
        f.write(line)
        written += len(line)
        i += 1
    f.write("</body>\n</html>\n")
