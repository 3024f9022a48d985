#!/usr/bin/env python3
"""Builds a corpus of real text in about forty encodings from the translations
installed on this machine (/usr/share/locale/*/LC_MESSAGES/*.mo, read with
msgunfmt) and converted with iconv. Writes DIR/<encoding>-<n>.txt and, beside
each, the text as UTF-8 (.expected). Nothing is downloaded.

    make_encodings.py DIR [files per encoding]
"""
import glob, os, random, re, subprocess, sys

# encoding (iconv name) -> languages whose translations it is used for
ENCODINGS = {
    "KOI8-R": ["ru"], "KOI8-U": ["uk"], "WINDOWS-1251": ["ru", "bg", "uk"], "ISO-8859-5": ["ru", "bg"],
    "IBM866": ["ru"], "MAC-CYRILLIC": ["ru"],
    "ISO-8859-7": ["el"], "WINDOWS-1253": ["el"],
    "ISO-8859-8": ["he"], "WINDOWS-1255": ["he"],
    "ISO-8859-6": ["ar"], "WINDOWS-1256": ["ar", "fa"],
    "ISO-8859-2": ["cs", "pl", "hu", "sk"], "WINDOWS-1250": ["cs", "pl", "hu", "sl", "hr", "ro"],
    "ISO-8859-9": ["tr"], "WINDOWS-1254": ["tr"],
    "ISO-8859-13": ["lt", "lv"], "WINDOWS-1257": ["lt", "lv", "et"], "ISO-8859-4": ["lv", "et"],
    "ISO-8859-3": ["eo"], "ISO-8859-1": ["de", "fr", "es", "it", "da", "sv"], "ISO-8859-15": ["fr", "fi", "nl"],
    "WINDOWS-1252": ["de", "fr", "es", "pt"],
    "TIS-620": ["th"], "WINDOWS-874": ["th"], "WINDOWS-1258": ["vi"], "VISCII": ["vi"],
    "GB2312": ["zh_CN"], "GBK": ["zh_CN"], "GB18030": ["zh_CN"], "BIG5": ["zh_TW"], "BIG5-HKSCS": ["zh_TW"],
    "SHIFT_JIS": ["ja"], "EUC-JP": ["ja"], "ISO-2022-JP": ["ja"], "EUC-KR": ["ko"], "CP949": ["ko"],
    "UTF-8": ["ru", "ja", "el", "ar"], "UTF-8-BOM": ["zh_CN", "he"],
    "UTF-16LE-BOM": ["ko", "th"], "UTF-16BE-BOM": ["ru"], "UTF-16LE": ["de", "fr"], "UTF-16BE": ["es"],
    "UTF-32LE": ["ja"], "UTF-32BE": ["el"],
}
BOMS = {"UTF-8-BOM": ("UTF-8", b"\xef\xbb\xbf"), "UTF-16LE-BOM": ("UTF-16LE", b"\xff\xfe"),
        "UTF-16BE-BOM": ("UTF-16BE", b"\xfe\xff")}


def unescape(s):
    return re.sub(r'\\(.)', lambda m: {"n": "\n", "t": "\t", '"': '"', "\\": "\\"}.get(m.group(1), m.group(0)), s)


def translations(lang):
    """The translated strings of a language, one paragraph each."""
    out = []
    for mo in sorted(glob.glob(f"/usr/share/locale/{lang}/LC_MESSAGES/*.mo")):
        if os.path.basename(mo).startswith("iso_"):
            continue  # lists of names, not prose
        po = subprocess.run(["msgunfmt", mo], capture_output=True, text=True, errors="replace").stdout
        cur, inside = [], False
        for line in po.splitlines():
            if line.startswith("msgstr"):
                inside, cur = True, [line.split('"', 1)[1].rsplit('"', 1)[0]]
            elif inside and line.startswith('"'):
                cur.append(line[1:-1])
            elif inside:
                inside = False
                text = unescape("".join(cur)).strip()
                if len(text) > 20:
                    out.append(text.replace("\r", ""))
    return out


PY_NAMES = {"MAC-CYRILLIC": "mac_cyrillic", "WINDOWS-874": "cp874", "IBM866": "cp866"}


def holds(enc, text):
    """True when the encoding holds the text (Python's codec when it has one,
    else iconv itself)."""
    try:
        text.encode(PY_NAMES.get(enc, enc))
        return True
    except LookupError:
        return subprocess.run(["iconv", "-f", "UTF-8", "-t", enc], input=text.encode(),
                              capture_output=True).returncode == 0
    except UnicodeEncodeError:
        return False


def main():
    root, per = sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 10
    os.makedirs(root, exist_ok=True)
    rng = random.Random(19)
    cache = {}
    for enc, langs in ENCODINGS.items():
        iconv_name, bom = BOMS.get(enc, (enc, b""))
        for n in range(per):
            lang = langs[n % len(langs)]
            paras = cache.setdefault(lang, translations(lang))
            if not paras:
                continue
            start = rng.randrange(len(paras))
            size = rng.choice([600, 2000, 6000, 20000])
            lines = []
            for p in paras[start:] + paras[:start]:
                if sum(map(len, lines)) > size:
                    break
                # Only what the encoding holds (a translation may quote others).
                if holds(iconv_name, p):
                    lines.extend(p.split("\n"))
            brk = "\r\n" if n % 3 == 0 else "\n"
            text = brk.join(lines) + brk
            raw = subprocess.run(["iconv", "-f", "UTF-8", "-t", iconv_name], input=text.encode(),
                                 capture_output=True, check=True).stdout
            name = os.path.join(root, f"{enc}-{n}")
            with open(name + ".txt", "wb") as f:
                f.write(bom + raw)
            with open(name + ".expected", "wb") as f:
                f.write(text.encode())


main()
