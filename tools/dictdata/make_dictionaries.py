#!/usr/bin/env python3
"""Builds the dictionary sources data/dict/zidian1.tsv, zidian2.tsv and zidian3.tsv.

Not run by the build: the build reads only the committed TSV files. See docs/data.md
for the sources, the selection rules and how to run it.
"""

import argparse
import os
import re
import subprocess
import sys
import tempfile
import unicodedata

HEADER = "xh\tcz\tpy\tyw\tsm\tyd"
MAX_GLOSS = 60

CJK_WORD = re.compile(r"^[\u3400-\u4dbf\u4e00-\u9fff]+$")
CJK_ANY = re.compile(r"[\u3400-\u4dbf\u4e00-\u9fff\U00020000-\U0002ffff]")
SYLLABLE = re.compile(r"^([A-Za-z]+|[A-Za-z]*u:[A-Za-z]*)([1-5])$")
CEDICT_LINE = re.compile(r"^(\S+) (\S+) \[([^\]]*)\] /(.*)/\s*$")

# Senses that only point at another entry, or carry no meaning of their own.
CROSS_REFERENCE = re.compile(
    r"^(\(.*?\)\s*)?((old|erhua|archaic|ancient|erroneous|unofficial|Japanese|Korean|literary|"
    r"euphemistic|non-standard|standard|dialectal|Taiwan|Tw)\s+)*"
    r"(variant of|see |see also|used in|also written|also pr\.|abbr\. for|"
    r"same as|equivalent to|contraction of|surname\b|CL:)",
    re.IGNORECASE)
# A Chinese word quoted inside a sense: 繁|简[pin1 yin1] or 简[pin1 yin1].
REFERENCE = re.compile(r"(?:[\u3400-\u9fff]+\|)?[\u3400-\u9fff]+\[[^\]]*\]")
# An entry for a variant form: the main entry of the same reading says it better.
VARIANT = re.compile(r"variant of", re.IGNORECASE)
# A reading whose main sense matches is left out; other matching senses are dropped.
OFFENSIVE = re.compile(
    r"vulgar|obscen|offensive|derog|pejorative|\bslur\b|fuck|genital|penis|vagina|"
    r"prostitut|whore|slut|bastard|sexual intercourse|\bcunt\b|\bdick\b",
    re.IGNORECASE)
# Names of people: life dates, kinds of name, occupations.
PERSON = re.compile(
    r"\(\d{1,4}(\s*BC)?\s*-|\((c\.|died|born)\s*\d|given name|personal name|courtesy name|one of the Two|"
    r"\bsurname\b|emperor|\bdynasty poet|\bpoet\b|\bnovelist\b|\bwriter\b|\bpainter\b|\bphilosopher\b",
    re.IGNORECASE)

# Proper nouns too local or commercial for a general word list.
LOCAL_OR_BRAND = re.compile(
    r"\b(city|county|district|prefecture|province|municipality|town|township|village|"
    r"subprovincial|autonomous|region|capital|island|mountain|lake|river|gorge|street|road|"
    r"bridge|gate|abbr|company|portal|search engine|website|brand|newspaper|magazine)\b",
    re.IGNORECASE)

TONE_MARKS = {
    "a": "āáǎà", "e": "ēéěè", "i": "īíǐì", "o": "ōóǒò", "u": "ūúǔù", "ü": "ǖǘǚǜ",
    "A": "ĀÁǍÀ", "E": "ĒÉĚÈ", "I": "ĪÍǏÌ", "O": "ŌÓǑÒ", "U": "ŪÚǓÙ", "Ü": "ǕǗǙǛ",
}


class SourceError(Exception):
    pass


def mark_syllable(numbered):
    """'hao3' -> 'hǎo'; None when the token is not a pinyin syllable."""
    m = SYLLABLE.match(numbered)
    if not m:
        return None
    body, tone = m.group(1).replace("u:", "ü").replace("U:", "Ü"), int(m.group(2))
    if tone == 5:
        return body
    lower = body.lower()
    if "a" in lower:
        pos = lower.index("a")
    elif "e" in lower:
        pos = lower.index("e")
    elif "ou" in lower:
        pos = lower.index("o")
    else:
        pos = max(lower.rfind(v) for v in "iouü")
        if pos < 0:
            return None  # no vowel: "r5", "m2", "ng2"
    vowel = body[pos]
    return body[:pos] + TONE_MARKS[vowel][tone - 1] + body[pos + 1:]


def mark_pinyin(numbered, length):
    """Numbered CC-CEDICT pinyin to tone marks, one syllable per character."""
    tokens = numbered.split()
    if len(tokens) != length:
        return None
    marked = [mark_syllable(t) for t in tokens]
    if any(s is None for s in marked):
        return None
    return unicodedata.normalize("NFC", " ".join(marked))


def read_text(path):
    try:
        with open(path, encoding="utf-8") as f:
            return f.read()
    except (OSError, UnicodeDecodeError) as e:
        raise SourceError(f"{path}: cannot read ({e})") from e


def read_cedict(path):
    """Simplified word -> list of (pinyin numbered, senses). Accepts cedict_ts.u8
    or the same text wrapped in a JavaScript module (chinese-lexicon)."""
    text = read_text(path)
    entries = {}
    lines = 0
    for raw in text.splitlines():
        line = raw.strip()
        if line.startswith("module.exports"):
            line = line.split("`", 1)[1] if "`" in line else ""
        line = line.rstrip("`;")
        m = CEDICT_LINE.match(line)
        if not m:
            continue
        lines += 1
        _trad, simp, pinyin, senses = m.groups()
        entries.setdefault(simp, []).append((pinyin, senses.split("/")))
    if lines < 10000:
        raise SourceError(f"{path}: only {lines} CC-CEDICT lines found; is it the dictionary?")
    return entries


def read_frequency(path):
    """jieba dict.txt: word -> (count, part-of-speech tag)."""
    words = {}
    for number, line in enumerate(read_text(path).splitlines(), 1):
        parts = line.split()
        if not parts:
            continue
        if len(parts) < 2 or not parts[1].isdigit():
            raise SourceError(f"{path}:{number}: expected 'word count [tag]'")
        count = int(parts[1])
        tag = parts[2] if len(parts) > 2 else ""
        if parts[0] not in words or words[parts[0]][0] < count:
            words[parts[0]] = (count, tag)
    if len(words) < 10000:
        raise SourceError(f"{path}: only {len(words)} words found; is it jieba's dict.txt?")
    return words


def read_hsk(path):
    """chinese-lexicon statistics/hsk.js: word -> level 1..6 (new words per level)."""
    groups = [g for g in re.findall(r"\[([^\[\]]*)\]", read_text(path)) if '"' in g]
    if len(groups) < 6:
        raise SourceError(f"{path}: expected six word lists, found {len(groups)}")
    levels = {}
    for level, group in enumerate(groups[:6], 1):
        for word in re.findall(r'"([^"]+)"', group):
            levels.setdefault(word, level)
    return levels


def read_pinyin_frequency(path):
    """chinese-lexicon statistics/pinyinFrequency.js (Unihan kHanyuPinlu): 'charpinyin' -> count."""
    if not path:
        return {}
    found = dict((k, int(v)) for k, v in re.findall(r'"([^"]+)":\s*"(\d+)"', read_text(path)))
    if not found:
        raise SourceError(f"{path}: no readings found")
    return {unicodedata.normalize("NFC", k): v for k, v in found.items()}


def clean_senses(senses):
    """Keeps the senses a learner can read: English only, no pointers to other entries."""
    kept = []
    for sense in senses:
        sense = sense.strip()
        if CROSS_REFERENCE.match(sense):
            continue
        sense = REFERENCE.sub("", sense)
        sense = re.sub(r"\s+([),;.])", r"\1", sense)
        if not sense or CJK_ANY.search(sense):
            continue
        sense = re.sub(r"^\(bound form\)\s*", "", sense)
        sense = sense.replace("/", " or ").replace("\t", " ")
        sense = re.sub(r"\s+", " ", sense).strip()
        if sense and sense not in kept:
            kept.append(sense)
    return kept


def shorten(text, limit):
    if len(text) <= limit:
        return text
    text = re.sub(r"\s*\([^()]*\)", "", text).strip()  # drop explanations first
    if len(text) <= limit:
        return text
    cut = max(text.rfind(", ", 0, limit), text.rfind("; ", 0, limit))
    if cut >= limit // 3:
        return text[:cut]
    cut = text.rfind(" ", 0, limit - 3)
    return (text[:cut] if cut > 0 else text[:limit - 3]).rstrip(",;: ") + "..."


def make_gloss(senses):
    gloss = shorten(senses[0], MAX_GLOSS)
    if len(senses) > 1 and len(gloss) + 2 + len(senses[1]) <= MAX_GLOSS:
        gloss += "; " + senses[1]
    return gloss


def choose_reading(word, readings, pinyin_frequency, tag, hsk_word):
    """The reading a learner meets first: common nouns before proper nouns, then the most
    frequent pronunciation, then the one with the most senses."""
    best = None
    for numbered, raw_senses in readings:
        py = mark_pinyin(numbered, len(word))
        senses = clean_senses(raw_senses)
        if py is None or not senses or OFFENSIVE.search(senses[0]):
            continue  # an obscene reading goes; a word with a harmless main sense stays
        senses = [s for s in senses if not OFFENSIVE.search(s)]
        proper = numbered[:1].isupper()
        if proper and not hsk_word and (tag[:2] not in ("ns", "nt", "nz")
                                        or any(PERSON.search(s) for s in raw_senses)
                                        or LOCAL_OR_BRAND.search(senses[0])):
            continue  # proper nouns: only names of countries, peoples, languages, institutions
        variant = any(VARIANT.search(s) for s in raw_senses)
        key = (not proper, pinyin_frequency.get(word + py.lower(), 0), not variant, len(senses))
        if best is None or key > best[0]:
            best = (key, py, senses)
    return None if best is None else (best[1], make_gloss(best[2]))


def select_entries(cedict, frequency, hsk, pinyin_frequency, count, single_max_level):
    candidates = []
    for word, (freq, tag) in frequency.items():
        if not CJK_WORD.match(word) or not 1 <= len(word) <= 4 or word not in cedict:
            continue
        level = hsk.get(word)
        if len(word) == 1 and (level is None or level > single_max_level):
            continue  # single characters only when learners meet them early
        chosen = choose_reading(word, cedict[word], pinyin_frequency, tag, level is not None)
        if chosen is None:
            continue
        candidates.append({"cz": word, "py": chosen[0], "yw": chosen[1],
                           "sm": str(level) if level else "", "yd": str(freq), "freq": freq})
    candidates.sort(key=lambda e: (-e["freq"], e["cz"]))
    # The early HSK words are always in; the rest are filled up by frequency.
    chosen = [e for e in candidates if e["sm"] and int(e["sm"]) <= 4]
    taken = {e["cz"] for e in chosen}
    for e in candidates:
        if len(chosen) >= count:
            break
        if e["cz"] not in taken:
            chosen.append(e)
            taken.add(e["cz"])
    if len(chosen) < count:
        raise SourceError(f"only {len(chosen)} usable words found, {count} wanted")
    chosen.sort(key=lambda e: (-e["freq"], e["cz"]))
    return chosen


def to_traditional(words, opencc, config):
    """OpenCC on the whole list at once; one output line per input line."""
    try:
        result = subprocess.run([opencc, "-c", config], input="\n".join(words) + "\n",
                                capture_output=True, text=True, encoding="utf-8", check=False)
    except OSError as e:
        raise SourceError(f"cannot run {opencc} ({e}); install Debian's opencc") from e
    if result.returncode != 0:
        raise SourceError(f"{opencc} -c {config} failed: {result.stderr.strip()}")
    lines = result.stdout.split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    if len(lines) != len(words):
        raise SourceError(f"{opencc} gave {len(lines)} lines for {len(words)} words")
    return lines


def write_tsv(path, entries):
    """Writes next to the target and renames, so a failure leaves the old file whole."""
    folder = os.path.dirname(os.path.abspath(path))
    fd, tmp = tempfile.mkstemp(prefix=".zidian", suffix=".tmp", dir=folder)
    try:
        with os.fdopen(fd, "w", encoding="utf-8", newline="\n") as f:
            f.write(HEADER + "\n")
            for xh, e in enumerate(entries, 1):
                fields = [str(xh), e["cz"], e["py"], e["yw"], e["sm"], e["yd"]]
                for field in fields:
                    if any(ord(c) < 0x20 or ord(c) == 0x7f for c in field):
                        raise SourceError(f"{path}: control character in {fields!r}")
                f.write("\t".join(fields) + "\n")
        umask = os.umask(0)
        os.umask(umask)
        os.chmod(tmp, 0o666 & ~umask)  # mkstemp makes it private
        os.replace(tmp, path)
    except BaseException:
        os.unlink(tmp)
        raise


def find_source(folder, names):
    if not folder:
        return None
    for name in names:
        if os.path.isfile(os.path.join(folder, name)):
            return os.path.join(folder, name)
    for root, _dirs, files in os.walk(folder):
        for name in names:
            base = os.path.basename(name)
            if base in files and os.path.join(root, base).endswith(name):
                return os.path.join(root, base)
    return None


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--source-dir", help="folder searched for the source files below")
    parser.add_argument("--cedict", help="cedict_ts.u8, or chinese-lexicon/dictionary/cedict.js")
    parser.add_argument("--frequency", help="jieba dict.txt")
    parser.add_argument("--hsk", help="chinese-lexicon/statistics/hsk.js")
    parser.add_argument("--pinyin-frequency", help="chinese-lexicon/statistics/pinyinFrequency.js")
    parser.add_argument("--opencc", default="opencc")
    parser.add_argument("--opencc-config", default="s2tw.json",
                        help="s2tw keeps the words and uses the forms read in Taiwan")
    parser.add_argument("--count", type=int, default=5000)
    parser.add_argument("--single-max-level", type=int, default=4,
                        help="single characters are kept only up to this HSK level")
    parser.add_argument("--out", default=os.path.normpath(os.path.join(here, "../../data/dict")))
    args = parser.parse_args()

    cedict = args.cedict or find_source(args.source_dir, ["cedict_ts.u8", "dictionary/cedict.js"])
    freq = args.frequency or find_source(args.source_dir, ["jieba/dict.txt", "dict.txt"])
    hsk = args.hsk or find_source(args.source_dir, ["statistics/hsk.js", "hsk.js"])
    pinyin = args.pinyin_frequency or find_source(args.source_dir, ["statistics/pinyinFrequency.js"])
    missing = [n for n, p in (("--cedict", cedict), ("--frequency", freq), ("--hsk", hsk)) if not p]
    if missing:
        parser.error("source not given and not found in --source-dir: " + ", ".join(missing))

    try:
        entries = select_entries(read_cedict(cedict), read_frequency(freq), read_hsk(hsk),
                                 read_pinyin_frequency(pinyin), args.count, args.single_max_level)
        traditional = to_traditional([e["cz"] for e in entries], args.opencc, args.opencc_config)
        seen = set()
        entries3 = []
        for e, trad in zip(entries, traditional):
            if trad in seen:
                print(f"zidian3: {e['cz']} -> {trad} is already there; left out", file=sys.stderr)
                continue
            seen.add(trad)
            entries3.append(dict(e, cz=trad))
        learners = sorted(entries, key=lambda e: (int(e["sm"]) if e["sm"] else 99, -e["freq"], e["cz"]))
        os.makedirs(args.out, exist_ok=True)
        write_tsv(os.path.join(args.out, "zidian2.tsv"), entries)
        write_tsv(os.path.join(args.out, "zidian3.tsv"), entries3)
        write_tsv(os.path.join(args.out, "zidian1.tsv"), learners)
    except SourceError as e:
        print(f"make_dictionaries: {e}", file=sys.stderr)
        return 1
    levels = {}
    for e in entries:
        levels[e["sm"] or "-"] = levels.get(e["sm"] or "-", 0) + 1
    print(f"zidian1/zidian2: {len(entries)} entries; zidian3: {len(entries3)} entries")
    print("by HSK level: " + ", ".join(f"{k}: {v}" for k, v in sorted(levels.items())))
    print("by length: " + ", ".join(f"{n}: {sum(1 for e in entries if len(e['cz']) == n)}"
                                    for n in range(1, 5)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
