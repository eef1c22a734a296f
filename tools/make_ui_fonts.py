#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Interface fonts: the glyphs of Noto Sans CJK that the interface texts use,
under family names of their own ("Trenix UI SC", "Trenix UI TC").

The window's captions then come from two small files instead of the two
weights of the full CJK faces, which cost about 4 MB of memory each as soon as
one character is drawn; the full faces still draw every other character (the
falling words) and are loaded by the first game.

    make_ui_fonts.py OUTDIR TEXTS.tsv [TEXT...]

TEXTS.tsv is data/texts.tsv (ID, language, value); each further TEXT adds its
characters. Needs fontTools (Debian: python3-fonttools) and fc-list.
"""
import os
import subprocess
import sys

from fontTools import subset
from fontTools.ttLib import TTCollection, TTFont

REGIONS = {"SC": "Noto Sans CJK SC", "TC": "Noto Sans CJK TC"}
WEIGHTS = ("Regular", "Bold")


def characters(texts_path, extra):
    chars = set()
    with open(texts_path, encoding="utf-8") as texts:
        for line in texts:
            fields = line.rstrip("\n").split("\t")
            if len(fields) >= 3:
                chars.update(fields[2])
    for text in extra:
        chars.update(text)
    # Latin comes from the Latin faces listed before the CJK ones.
    return sorted(ord(c) for c in chars if ord(c) >= 0x2000)


def source_face(family, style):
    """(file, index) of the installed face, by fontconfig."""
    out = subprocess.run(["fc-list", "--format", "%{file}\t%{index}\t%{style}\n", f"{family}:style={style}"],
                         check=True, capture_output=True, text=True).stdout
    for line in out.splitlines():
        path, index, styles = line.split("\t")
        if style in styles.split(","):
            return path, int(index)
    sys.exit(f"make_ui_fonts: fontconfig knows no '{family}' in style {style} (Debian: fonts-noto-cjk)")


def load(path, index):
    if path.lower().endswith((".ttc", ".otc")):
        return TTCollection(path, lazy=True).fonts[index]
    return TTFont(path, lazy=True)


def rename(font, family, weight):
    postscript = family.replace(" ", "") + "-" + weight
    for record in font["name"].names:
        if record.nameID in (1, 16):
            record.string = family
        elif record.nameID == 3:
            record.string = postscript + ";trenix"
        elif record.nameID == 4:
            record.string = f"{family} {weight}"
        elif record.nameID == 6:
            record.string = postscript


def main(argv):
    if len(argv) < 3:
        sys.exit(__doc__)
    outdir, texts_path, extra = argv[1], argv[2], argv[3:]
    unicodes = characters(texts_path, extra)
    os.makedirs(outdir, exist_ok=True)
    for region, source_family in REGIONS.items():
        for weight in WEIGHTS:
            font = load(*source_face(source_family, weight))
            options = subset.Options()
            options.name_IDs = ["*"]
            options.name_languages = ["*"]
            options.notdef_outline = True
            subsetter = subset.Subsetter(options)
            subsetter.populate(unicodes=unicodes)
            subsetter.subset(font)
            rename(font, f"Trenix UI {region}", weight)
            target = os.path.join(outdir, f"TrenixUI-{region}-{weight}.otf")
            font.save(target + ".part")
            os.replace(target + ".part", target)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
