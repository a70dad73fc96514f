#!/usr/bin/env python3
"""Checks the reading passages under <root>/tr and <root>/en.

Each file: the fixed layout (title line, paragraphs, "===", five questions of four options with
exactly one "+"), 350-500 words in the body, and a readability score inside the language's band
(Turkish: Atesman; English: Flesch reading ease).  Words are counted as the program counts them.
Usage: check_passages.py <root> [--require N]
"""
import re
import sys
from pathlib import Path

MIN_WORDS, MAX_WORDS = 350, 500
QUESTIONS, OPTIONS = 5, 4
BANDS = {"tr": (50.0, 75.0), "en": (50.0, 75.0)}
NAME = re.compile(r"^[0-9]{2}-[a-z0-9-]+\.txt$")
TR_VOWELS = set("aeıioöuüâîûAEIİOÖUÜÂÎÛ")
SENTENCE_END = re.compile(r"[.!?…]+")


def words(text):
    """Maximal runs of letters and digits; an apostrophe between two of them joins."""
    found, cur = [], []
    for i, ch in enumerate(text):
        if ch.isalnum() or (ch in "'’" and cur and text[i + 1:i + 2].isalnum()):
            cur.append(ch)
        elif cur:
            found.append("".join(cur))
            cur = []
    if cur:
        found.append("".join(cur))
    return found


def sentences(paragraphs):
    """Pieces between . ! ? … and paragraph ends that hold at least one word."""
    return sum(1 for p in paragraphs for piece in SENTENCE_END.split(p) if words(piece))


def syllables_tr(word):
    return sum(1 for ch in word if ch in TR_VOWELS)


def syllables_en(word):
    w = "".join(ch for ch in word.lower() if ch.isalpha())
    count = len(re.findall(r"[aeiouy]+", w))
    if len(w) > 2 and w.endswith("e") and not w.endswith("le") and w[-2] not in "aeiouy":
        count -= 1
    return max(count, 1)


def score(lang, ws, n_sentences):
    wps = len(ws) / n_sentences
    if lang == "tr":
        return 198.825 - 40.175 * sum(map(syllables_tr, ws)) / len(ws) - 2.610 * wps
    return 206.835 - 1.015 * wps - 84.6 * sum(map(syllables_en, ws)) / len(ws)


def parse(text):
    """Returns (paragraphs, questions) or raises ValueError naming the first fault."""
    if "\r" in text or not text.endswith("\n"):
        raise ValueError("CR characters or no final newline")
    lines = text[:-1].split("\n")
    if not lines[0].startswith("title: ") or not lines[0][7:].strip():
        raise ValueError("line 1 is not 'title: <text>'")
    if len(lines) < 3 or lines[1] != "":
        raise ValueError("line 2 is not blank")
    if "===" not in lines:
        raise ValueError("no '===' line")
    sep = lines.index("===")
    body, tail = lines[2:sep], lines[sep + 1:]
    if not body or len(body) % 2 == 0:
        raise ValueError("body is not paragraphs separated by single blank lines")
    for n, line in enumerate(body):
        if (n % 2 == 0) != bool(line.strip()):
            raise ValueError(f"line {n + 3}: paragraphs must be single lines between blank lines")
    blocks = "\n".join(tail).split("\n\n")
    questions = []
    for b, block in enumerate(blocks, 1):
        rows = block.split("\n")
        if not rows[0].startswith("? ") or not rows[0][2:].strip():
            raise ValueError(f"question {b}: block does not begin with '? <question>'")
        opts = rows[1:]
        if len(opts) != OPTIONS:
            raise ValueError(f"question {b}: {len(opts)} options, {OPTIONS} expected")
        if any(o[:2] not in ("+ ", "- ") or not o[2:].strip() for o in opts):
            raise ValueError(f"question {b}: an option line is not '+ <text>' or '- <text>'")
        if sum(o.startswith("+") for o in opts) != 1:
            raise ValueError(f"question {b}: not exactly one correct option")
        if len({o[2:].strip().casefold() for o in opts}) != OPTIONS:
            raise ValueError(f"question {b}: duplicate options")
        questions.append(rows)
    if len(questions) != QUESTIONS:
        raise ValueError(f"{len(questions)} questions, {QUESTIONS} expected")
    return body[::2], questions


def check(lang, path):
    """Prints one line for the file; returns True when it passes."""
    try:
        if not NAME.match(path.name):
            raise ValueError("file name is not NN-<ascii-slug>.txt")
        paragraphs, _ = parse(path.read_bytes().decode("utf-8"))
        ws = [w for p in paragraphs for w in words(p)]
        n_sent = sentences(paragraphs)
        value = score(lang, ws, n_sent)
        info = f"words {len(ws)}, sentences {n_sent}, score {value:.1f}"
        low, high = BANDS[lang]
        if not MIN_WORDS <= len(ws) <= MAX_WORDS:
            raise ValueError(f"{info}: word count outside {MIN_WORDS}-{MAX_WORDS}")
        if not low <= value <= high:
            raise ValueError(f"{info}: score outside {low:g}-{high:g}")
    except (ValueError, UnicodeDecodeError) as err:
        print(f"FAIL {lang}/{path.name}: {err}")
        return False
    print(f"ok   {lang}/{path.name}: {info}")
    return True


def main(argv):
    args = argv[1:]
    require = 0
    if "--require" in args:
        i = args.index("--require")
        require = int(args[i + 1])
        del args[i:i + 2]
    if len(args) != 1:
        print("usage: check_passages.py <passages-dir> [--require N]")
        return 2
    root = Path(args[0])
    passed = failed = 0
    for lang in BANDS:
        folder = root / lang
        files = sorted(p for p in folder.iterdir() if p.is_file()) if folder.is_dir() else []
        for path in files:
            if check(lang, path):
                passed += 1
            else:
                failed += 1
        if len(files) < require:
            print(f"FAIL {lang}: {len(files)} files, at least {require} required")
            failed += 1
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
