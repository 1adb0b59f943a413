#!/usr/bin/env python3
"""Writes catalogue/data/pinyin-initials.tsv: for every Han character in the channel captions, the
first letters of its readings (character TAB letters, the reading the channel names use first).

The readings come from the dictionary that Debian's golang-github-mozillazg-go-pinyin-dev ships as
Go source (MIT). The package is only needed to run this script, not to build or run the player:

    apt-get download golang-github-mozillazg-go-pinyin-dev
    dpkg-deb -x golang-github-mozillazg-go-pinyin-dev_*.deb /tmp/go-pinyin
    tools/pinyin-initials/generate.py \
        /tmp/go-pinyin/usr/share/gocode/src/github.com/mozillazg/go-pinyin/pinyin_dict.go

Run it again whenever channels.tsv gains a caption with a character not yet in the table.
"""
import pathlib
import re
import sys
import unicodedata

ROOT = pathlib.Path(__file__).resolve().parents[2]
CHANNELS = ROOT / "catalogue" / "data" / "channels.tsv"
OUT = ROOT / "catalogue" / "data" / "pinyin-initials.tsv"

# Words of the channel names whose characters the dictionary reads first otherwise; the initials
# listed here come first for their characters (the other readings stay acceptable).
OVERRIDES = {
    "重庆": "cq",
    "长沙": "cs",
    "长春": "cc",
    "厦门": "xm",
    "蚌埠": "bb",
    "乐山": "ls",
    "佛山": "fs",
    "台州": "tz",
    "都市": "ds",
    "音乐": "yy",
    "娱乐": "yl",
    "少儿": "se",
    "综艺": "zy",
    "卡酷": "kk",
    "频道": "pd",
}

ENTRY = re.compile(r'^\s*0x([0-9A-Fa-f]+):\s*"([^"]*)",?\s*$')


def initial(reading):
    # Tone marks off, then the first letter; ü counts as u's key on a keyboard (v is not typed).
    bare = unicodedata.normalize("NFKD", reading)
    bare = "".join(c for c in bare if not unicodedata.combining(c)).lower()
    return bare[:1]


def is_han(ch):
    return unicodedata.name(ch, "").startswith("CJK UNIFIED IDEOGRAPH")


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    readings = {}
    for line in pathlib.Path(sys.argv[1]).read_text(encoding="utf-8").splitlines():
        m = ENTRY.match(line)
        if m:
            readings[chr(int(m.group(1), 16))] = m.group(2).split(",")

    captions = [row.split("\t")[1] for row in CHANNELS.read_text(encoding="utf-8").splitlines() if row.strip()]
    used = sorted({ch for caption in captions for ch in caption if is_han(ch)})

    preferred = {}
    for word, letters in OVERRIDES.items():
        if len(word) != len(letters):
            sys.exit(f"override {word}: one letter per character")
        for ch, letter in zip(word, letters):
            preferred.setdefault(ch, [])
            if letter not in preferred[ch]:
                preferred[ch].append(letter)

    missing = []
    rows = []
    for ch in used:
        letters = list(preferred.get(ch, []))
        for reading in readings.get(ch, []):
            letter = initial(reading)
            if letter and letter not in letters:
                letters.append(letter)
        if not letters:
            missing.append(ch)
            continue
        rows.append(f"{ch}\t{''.join(letters)}\n")
    if missing:
        sys.exit("no reading for: " + "".join(missing))

    OUT.write_text("".join(rows), encoding="utf-8")
    print(f"{OUT.relative_to(ROOT)}: {len(rows)} characters")


if __name__ == "__main__":
    main()
