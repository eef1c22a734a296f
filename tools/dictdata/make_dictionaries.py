#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Builds the dictionary sources data/dict/zidian1.tsv, zidian2.tsv and zidian3.tsv.

Not run by the build: the build reads only the committed TSV files. See docs/data.md
for the sources, the selection rules and how to run it.
"""

import argparse
import json
import os
import re
import subprocess
import sys
import tempfile
import unicodedata

HEADER = "xh\tcz\tpy\tyw\tsm\tyd\thsk3\tsimplified"
TAUGHT_HEADER = "cz\tpy\tyw"
MAX_GLOSS = 60

CJK_WORD = re.compile(r"^[\u3400-\u4dbf\u4e00-\u9fff]+$")
CJK_ANY = re.compile(r"[\u3400-\u4dbf\u4e00-\u9fff\U00020000-\U0002ffff]")
SYLLABLE = re.compile(r"^([A-Za-z]+|[A-Za-z]*u:[A-Za-z]*)([1-5])$")
NUMBERED = re.compile(r"[A-Za-z:]+[1-5]")
CEDICT_LINE = re.compile(r"^(\S+) (\S+) \[([^\]]*)\] /(.*)/\s*$")
LEVEL = re.compile(r"^(?:(n|o)|(new|old)-)([1-9])$")

# Senses that only point at another entry, or carry no meaning of their own.
CROSS_REFERENCE = re.compile(
    r"^(\(.*?\)\s*)?((old|erhua|archaic|ancient|erroneous|unofficial|Japanese|Korean|literary|"
    r"euphemistic|non-standard|standard|dialectal|Taiwan|Tw)\s+)*"
    r"(variant of|see |see also|used in|also written|also pr\.|abbr\. for|"
    r"same as|equivalent to|contraction of|surname\b|CL:)",
    re.IGNORECASE)
# A Chinese word quoted inside a sense: 繁|简[pin1 yin1] or 简[pin1 yin1].
REFERENCE = re.compile(r"(?:[\u3400-\u9fff]+\|)?[\u3400-\u9fff]+\[[^\]]*\]")
# The word and reading such a reference points at; the HSK lists leave out the reading.
POINTER = re.compile(r"(?:[\u3400-\u9fff]+\|)?([\u3400-\u9fff]+)\[([^\]]*)\]")
BARE_POINTER = re.compile(r"(?:variant of|see|abbr\. for)\s+(?:[\u3400-\u9fff]+\|)?([\u3400-\u9fff]+)(?![\[|])")
# An entry for a variant form: the main entry of the same reading says it better.
VARIANT = re.compile(r"variant of", re.IGNORECASE)
# A reading whose main sense matches is left out; other matching senses are dropped.
OFFENSIVE = re.compile(
    r"vulgar|obscen|offensive|derog|pejorative|\bslur\b|fuck|genital|penis|vagina|"
    r"prostitut|whore|slut|bastard|sexual intercourse|pornograph|\bcunt\b|\bdick\b",
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
# Tone-marked vowel -> (plain vowel, tone).
UNMARK = {m: (v, t) for v, marks in TONE_MARKS.items() for t, m in enumerate(marks, 1)}


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


def number_marked(marked, length, syllables):
    """Tone-marked pinyin, spaced or not, perhaps with tone numbers ('bù yīhuǐr5'), to numbered
    syllables ('bu4 yi1 hui3 r5'); None unless it splits into exactly `length` known syllables."""
    plain, tones, spaces = [], [], set()
    for c in unicodedata.normalize("NFC", marked):
        if c == " ":
            spaces.add(len(plain))  # no syllable runs across a space
            continue
        if c in "12345" and plain:
            tones[-1] = int(c)
            continue
        base, tone = UNMARK.get(c, (c, 0))
        plain.append(base)
        tones.append(tone)
    text = "".join(plain)
    lower = text.lower()
    # Splits by known syllables, longest first; each syllable carries at most one tone.
    memo = {}

    def split(start, left):
        if start == len(text) or left == 0:
            return [] if start == len(text) and left == 0 else None
        if (start, left) not in memo:
            memo[start, left] = None
            for end in range(min(len(text), start + 6), start, -1):
                marks = [t for t in tones[start:end] if t]
                if lower[start:end] in syllables and len(marks) <= 1 and not spaces & set(range(start + 1, end)):
                    rest = split(end, left - 1)
                    if rest is not None:
                        memo[start, left] = [(start, end, marks[0] if marks else 5)] + rest
                        break
        return memo[start, left]

    parts = split(0, length)
    if parts is None:
        return None
    return " ".join(text[s:e].replace("ü", "u:").replace("Ü", "U:") + str(t) for s, e, t in parts)


def read_text(path):
    try:
        with open(path, encoding="utf-8") as f:
            return f.read()
    except (OSError, UnicodeDecodeError) as e:
        raise SourceError(f"{path}: cannot read ({e})") from e


def read_cedict(path):
    """Simplified word -> list of (pinyin numbered, senses, traditional). Accepts cedict_ts.u8
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
        trad, simp, pinyin, senses = m.groups()
        entries.setdefault(simp, []).append((pinyin, senses.split("/"), trad))
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


def read_hsk_lists(path, syllables):
    """complete-hsk-vocabulary complete.min.json (or complete.json): word -> {"old": lowest HSK 2.0
    level or None, "new": lowest HSK 3.0 level (7 = band 7-9) or None, "readings": as read_cedict}."""
    try:
        data = json.loads(read_text(path))
    except json.JSONDecodeError as e:
        raise SourceError(f"{path}: not JSON ({e})") from e
    if not isinstance(data, list) or len(data) < 10000:
        raise SourceError(f"{path}: expected a list of about 11,000 words; is it complete.min.json?")
    words = {}
    for number, item in enumerate(data, 1):
        try:
            word = item.get("s", item.get("simplified"))
            levels = item.get("l", item.get("level"))
            forms = item.get("f", item.get("forms"))
            entry = {"old": None, "new": None, "readings": []}
            for level in levels:
                m = LEVEL.match(level)
                if not m:
                    raise SourceError(f"{path}: {word}: unknown level {level!r}")
                key = "new" if (m.group(1) or m.group(2)[0]) == "n" else "old"
                if entry[key] is None or int(m.group(3)) < entry[key]:
                    entry[key] = int(m.group(3))
            for form in forms:
                trad = form.get("t", form.get("traditional"))
                spelled = form.get("i", form.get("transcriptions"))
                numeric = spelled.get("n", spelled.get("numeric")).replace("ü", "u:").replace("Ü", "U:")
                tokens = NUMBERED.findall(numeric)
                if "".join(tokens) != numeric.replace(" ", "") or len(tokens) != len(word):
                    numeric = number_marked(spelled.get("y", spelled.get("pinyin")), len(word), syllables)
                    if numeric is None:
                        continue  # no reading that fits the word; another form may have one
                else:
                    numeric = " ".join(tokens)
                # Its senses are CC-CEDICT's, some joined with "; ".
                senses = [s for m in form.get("m", form.get("meanings")) for s in m.split("; ")]
                entry["readings"].append((numeric, senses, trad))
        except (AttributeError, TypeError) as e:
            raise SourceError(f"{path}: word {number} is not in the expected form ({e})") from e
        if not isinstance(word, str) or not word or word in words:
            raise SourceError(f"{path}: word {number} ({word!r}) is empty or already listed")
        words[word] = entry
    return words


def read_taught(path):
    """The reading (and optionally the gloss) the HSK lists teach, where the general rule
    picks another: TSV with header cz, py, yw; '#' starts a comment line."""
    taught = {}
    lines = read_text(path).split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    if not lines or lines[0] != TAUGHT_HEADER:
        raise SourceError(f"{path}:1: the header must be {TAUGHT_HEADER!r}")
    for number, line in enumerate(lines[1:], 2):
        if not line or line.startswith("#"):
            continue
        fields = line.split("\t")
        if len(fields) != 3 or not fields[0] or not fields[1]:
            raise SourceError(f"{path}:{number}: expected word, pinyin and gloss (may be empty), tab-separated")
        if fields[0] in taught:
            raise SourceError(f"{path}:{number}: {fields[0]} is listed twice")
        taught[fields[0]] = (unicodedata.normalize("NFC", fields[1]), fields[2], number)
    return taught


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
    # Explanations go first, unless the sense is all explanation.
    text = re.sub(r"\s*\([^()]*\)", "", text).strip() or text.strip("() ")
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


def choose_reading(word, readings, pinyin_frequency, tag, hsk_word, shown="", wanted=None):
    """The reading a learner meets first: common nouns before proper nouns, then the most
    frequent pronunciation, then the entry written as zidian3 shows the word (`shown`: 冬 winter,
    not 鼕 rat-a-tat), then the one with the most senses. With `wanted` (tone-marked pinyin)
    only that reading counts. Returns (pinyin, cleaned senses, traditional) or None."""
    best = None
    for numbered, raw_senses, trad in readings:
        py = mark_pinyin(numbered, len(word))
        senses = clean_senses(raw_senses)
        if py is None or not senses or (wanted is not None and py != wanted):
            continue
        if OFFENSIVE.search(senses[0]):
            continue  # an obscene reading goes; a word with a harmless main sense stays
        senses = [s for s in senses if not OFFENSIVE.search(s)]
        proper = numbered[:1].isupper()
        if proper and not hsk_word and (tag[:2] not in ("ns", "nt", "nz")
                                        or any(PERSON.search(s) for s in raw_senses)
                                        or LOCAL_OR_BRAND.search(senses[0])):
            continue  # proper nouns: only names of countries, peoples, languages, institutions
        variant = any(VARIANT.search(s) for s in raw_senses)
        key = (not proper, pinyin_frequency.get(word + py.lower(), 0), trad == shown, not variant, len(senses))
        if best is None or key > best[0]:
            best = (key, py, senses, trad)
    return None if best is None else best[1:]


def followed(readings, cedict):
    """Entries that only point at another ('see 下工夫[xia4 gong1 fu5]', 'variant of 作证'): their
    own reading and traditional form with the senses of the entry pointed at."""
    found = []
    for numbered, raw_senses, trad in readings:
        if clean_senses(raw_senses):
            continue
        for sense in raw_senses:
            if not CROSS_REFERENCE.match(sense.strip()):
                continue
            targets = POINTER.findall(sense) or [(w, "") for w in BARE_POINTER.findall(sense)]
            for word, pinyin in targets:
                for target_numbered, target_senses, _trad in cedict.get(word, []):
                    if target_numbered.lower() == (pinyin or numbered).lower() and clean_senses(target_senses):
                        found.append((numbered, target_senses, trad))
    return found


def sources_of(word, cedict, listed):
    """Where an HSK word's reading is looked for, in this order: CC-CEDICT, the entry a CC-CEDICT
    entry points at, for an erhua word the word without 儿, the HSK lists' own readings."""
    own = cedict.get(word, [])
    erhua = []
    if len(word) > 1 and word.endswith("儿"):
        base = cedict.get(word[:-1], [])
        erhua = [(n + " r5", senses, t + "兒") for n, senses, t in base + followed(base, cedict)]
    return [own, followed(own, cedict), erhua, listed, followed(listed, cedict)]


def taught_reading(word, sources, taught, taught_path, syllables, shown):
    """The reading named in the taught-readings file. Where the sources have it, its traditional
    form and, unless the file gives one, its gloss come from there."""
    py, gloss, line = taught[word]
    numbered = number_marked(py, len(word), syllables)
    if numbered is None or mark_pinyin(numbered, len(word)) != py:
        raise SourceError(f"{taught_path}:{line}: {py} is not pinyin of {len(word)} syllables in tone marks")
    if len(gloss) > MAX_GLOSS or CJK_ANY.search(gloss):
        raise SourceError(f"{taught_path}:{line}: the gloss of {word} must be English, at most {MAX_GLOSS} characters")
    for readings in sources:
        chosen = choose_reading(word, readings, {}, "", True, shown, wanted=py)
        if chosen is not None:
            return py, gloss or make_gloss(chosen[1]), chosen[2]
    if not gloss:
        raise SourceError(f"{taught_path}:{line}: {word} has no reading {py} in the sources; give its gloss")
    return py, gloss, None


def entry(word, chosen, level2, level3, frequency):
    count = frequency.get(word, (0, ""))[0]
    return {"cz": word, "py": chosen[0], "yw": chosen[1], "sm": str(level2) if level2 else "", "yd": str(count),
            "hsk3": str(level3) if level3 else "", "simplified": word, "freq": count, "traditional": chosen[2]}


def hsk_words_of(hsk, lists):
    return set(hsk) | {w for w, e in lists.items() if e["old"] or e["new"]}


def is_candidate(word, cedict, hsk_words):
    """Other words: 2 to 4 CJK characters with a CC-CEDICT entry; single characters only
    when they are HSK words."""
    return word not in hsk_words and 2 <= len(word) <= 4 and CJK_WORD.match(word) and word in cedict


def select_entries(cedict, frequency, hsk, lists, taught, taught_path, pinyin_frequency, count, syllables, shown):
    """Every word of both HSK standards, then the most frequent other words up to `count`.
    `shown`: word -> the traditional form zidian3 will show."""
    hsk_words = hsk_words_of(hsk, lists)
    unknown = sorted(set(taught) - hsk_words)
    if unknown:
        raise SourceError(f"{taught_path}: not HSK words: {' '.join(unknown)}")
    chosen, lost = [], []
    for word in sorted(hsk_words):
        listed = lists.get(word, {"old": None, "new": None, "readings": []})
        sources = sources_of(word, cedict, listed["readings"])
        if word in taught:
            reading = taught_reading(word, sources, taught, taught_path, syllables, shown[word])
        else:
            reading = None
            for readings in sources:
                reading = choose_reading(word, readings, pinyin_frequency, "", True, shown[word])
                if reading is not None:
                    reading = (reading[0], make_gloss(reading[1]), reading[2])
                    break
        if reading is None:
            lost.append(word)
            continue
        chosen.append(entry(word, reading, hsk.get(word), listed["new"], frequency))
    if lost:
        raise SourceError(f"{len(lost)} HSK words have no usable reading: {' '.join(lost)}; "
                          f"name one in {taught_path}")
    hsk_count = len(chosen)
    others = []
    for word, (freq, tag) in frequency.items():
        if is_candidate(word, cedict, hsk_words):
            reading = choose_reading(word, cedict[word], pinyin_frequency, tag, False, shown[word])
            if reading is not None:
                others.append(entry(word, (reading[0], make_gloss(reading[1]), reading[2]), None, None, frequency))
    others.sort(key=lambda e: (-e["freq"], e["cz"]))
    if hsk_count + len(others) < count:
        raise SourceError(f"only {hsk_count + len(others)} usable words found, {count} wanted")
    chosen += others[:max(0, count - hsk_count)]
    chosen.sort(key=lambda e: (-e["freq"], e["cz"]))
    return chosen, hsk_count


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


def learner_order(e):
    """HSK 2.0 levels first, then the words only HSK 3.0 teaches by its level, then the rest."""
    if e["sm"]:
        return (0, int(e["sm"]), -e["freq"], e["cz"])
    if e["hsk3"]:
        return (1, int(e["hsk3"]), -e["freq"], e["cz"])
    return (2, 0, -e["freq"], e["cz"])


def write_tsv(path, entries):
    """Writes next to the target and renames, so a failure leaves the old file whole."""
    folder = os.path.dirname(os.path.abspath(path))
    fd, tmp = tempfile.mkstemp(prefix=".zidian", suffix=".tmp", dir=folder)
    try:
        with os.fdopen(fd, "w", encoding="utf-8", newline="\n") as f:
            f.write(HEADER + "\n")
            for xh, e in enumerate(entries, 1):
                fields = [str(xh), e["cz"], e["py"], e["yw"], e["sm"], e["yd"], e["hsk3"], e["simplified"]]
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


def counted(values):
    found = {}
    for v in values:
        found[v or "-"] = found.get(v or "-", 0) + 1
    return ", ".join(f"{k}: {v}" for k, v in sorted(found.items()))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--source-dir", help="folder searched for the source files below")
    parser.add_argument("--cedict", help="cedict_ts.u8, or chinese-lexicon/dictionary/cedict.js")
    parser.add_argument("--frequency", help="jieba dict.txt")
    parser.add_argument("--hsk", help="chinese-lexicon/statistics/hsk.js (HSK 2.0 levels)")
    parser.add_argument("--hsk-lists", help="complete-hsk-vocabulary complete.min.json (HSK 3.0 levels)")
    parser.add_argument("--pinyin-frequency", help="chinese-lexicon/statistics/pinyinFrequency.js")
    parser.add_argument("--taught", default=os.path.join(here, "taught_readings.tsv"),
                        help="readings the HSK lists teach where the general rule picks another")
    parser.add_argument("--opencc", default="opencc")
    parser.add_argument("--opencc-config", default="s2tw.json",
                        help="s2tw keeps the words and uses the forms read in Taiwan")
    parser.add_argument("--count", type=int, default=13000)
    parser.add_argument("--verbose", action="store_true", help="list the zidian3 forms unlike the reading's")
    parser.add_argument("--out", default=os.path.normpath(os.path.join(here, "../../data/dict")))
    args = parser.parse_args()

    cedict = args.cedict or find_source(args.source_dir, ["cedict_ts.u8", "dictionary/cedict.js"])
    freq = args.frequency or find_source(args.source_dir, ["jieba/dict.txt", "dict.txt"])
    hsk = args.hsk or find_source(args.source_dir, ["statistics/hsk.js", "hsk.js"])
    lists = args.hsk_lists or find_source(args.source_dir, ["complete.min.json", "complete.json"])
    pinyin = args.pinyin_frequency or find_source(args.source_dir, ["statistics/pinyinFrequency.js"])
    missing = [n for n, p in (("--cedict", cedict), ("--frequency", freq), ("--hsk", hsk),
                              ("--hsk-lists", lists)) if not p]
    if missing:
        parser.error("source not given and not found in --source-dir: " + ", ".join(missing))

    try:
        cedict = read_cedict(cedict)
        syllables = {t[:-1].lower().replace("u:", "ü") for readings in cedict.values()
                     for numbered, _senses, _trad in readings for t in numbered.split() if t[-1:].isdigit()}
        syllables.add("r")
        lists = read_hsk_lists(lists, syllables)
        hsk = read_hsk(hsk)
        freq = read_frequency(freq)
        # One OpenCC run for every word that may be chosen: the readings follow its forms.
        hsk_words = hsk_words_of(hsk, lists)
        words = sorted(hsk_words | {w for w in freq if is_candidate(w, cedict, hsk_words)})
        shown = dict(zip(words, to_traditional(words, args.opencc, args.opencc_config)))
        entries, hsk_count = select_entries(cedict, freq, hsk, lists, read_taught(args.taught), args.taught,
                                            read_pinyin_frequency(pinyin), args.count, syllables, shown)
        seen = set()
        entries3 = []
        unlike = []
        for e in entries:
            trad = shown[e["cz"]]
            if trad in seen:
                print(f"zidian3: {e['cz']} -> {trad} is already there; left out", file=sys.stderr)
                continue
            seen.add(trad)
            if e["traditional"] and trad != e["traditional"]:
                unlike.append(f"{e['cz']} {trad} (of the reading: {e['traditional']})")
            entries3.append(dict(e, cz=trad))
        learners = sorted(entries, key=learner_order)
        os.makedirs(args.out, exist_ok=True)
        write_tsv(os.path.join(args.out, "zidian2.tsv"), entries)
        write_tsv(os.path.join(args.out, "zidian3.tsv"), entries3)
        write_tsv(os.path.join(args.out, "zidian1.tsv"), learners)
    except SourceError as e:
        print(f"make_dictionaries: {e}", file=sys.stderr)
        return 1
    print(f"zidian1/zidian2: {len(entries)} entries ({hsk_count} HSK words); zidian3: {len(entries3)} entries, "
          f"{len(entries) - len(entries3)} left out, {len(unlike)} unlike the traditional form of the chosen reading")
    print("by HSK 2.0 level: " + counted(e["sm"] for e in entries))
    print("by HSK 3.0 level: " + counted(e["hsk3"] for e in entries))
    print("by length: " + counted(str(len(e["cz"])) for e in entries))
    if args.verbose:
        print("unlike the reading's traditional form:\n  " + "\n  ".join(unlike))
    return 0


if __name__ == "__main__":
    sys.exit(main())
