#!/usr/bin/env python3
"""Checks the message catalogue against the sources and builds it.

Every Japanese text of src/ reaches the user through vm_error::fail, messages::localized
or one of the functions named in KEYWORDS, or is marked with messages::translatable; each
must have its English in po/en.po, and po/en.po may hold no entry that the sources no
longer have. A Japanese text that none of these reach is reported too, unless
po/not-messages.pot lists it (texts that are compared, not shown).

Usage: build-catalogue.py SOURCE_DIR MO_FILE. Writes MO_FILE with msgfmt --check; exits 1,
naming each text, when the catalogue and the sources differ."""
import glob
import os
import re
import subprocess
import sys
import tempfile

# The functions whose argument (the first unless a number follows) is a message.
KEYWORDS = ["fail", "localized", "translatable", "graph_text", "ZOV_REPORT", "png_error:2", "eval_file_name:3",
            "notice_failure:3", "report_failure:2", "four_numbers_and_options:3"]
# Room left in the 256-byte error buffer for a name joined to a message (names are at
# most 40 bytes).
LONGEST_MESSAGE = 255 - 40


def xgettext(sources, output, options):
    result = subprocess.run(["xgettext", "--language=C++", "--from-code=UTF-8", "--no-wrap", "--sort-by-file",
                             "-o", output, *options, *sources], capture_output=True, text=True)
    if result.returncode != 0:
        sys.exit(result.stderr)


def unquote(text):
    return re.sub(r'\\(.)', lambda m: {"n": "\n", "t": "\t"}.get(m.group(1), m.group(1)), text)


def read_po(path):
    """msgid -> (msgstr, fuzzy, references) of a .po or .pot file."""
    entries = {}
    if not os.path.exists(path):
        return entries
    with open(path, encoding="utf-8") as handle:
        blocks = handle.read().split("\n\n")
    for block in blocks:
        fields, current, references, fuzzy = {}, None, [], False
        for line in block.split("\n"):
            if line.startswith("#:"):
                references += line[2:].split()
            elif line.startswith("#,") and "fuzzy" in line:
                fuzzy = True
            elif line.startswith(("msgid ", "msgstr ")):
                current, rest = line.split(" ", 1)
                fields[current] = unquote(rest[1:-1])
            elif line.startswith('"') and current:
                fields[current] += unquote(line[1:-1])
        if fields.get("msgid"):
            entries[fields["msgid"]] = (fields.get("msgstr", ""), fuzzy, references)
    return entries


def japanese(text):
    """Kana, kanji, or the full-width forms and punctuation of Japanese."""
    return any(0x3000 <= ord(c) <= 0x9FFF or 0xFF00 <= ord(c) <= 0xFFEF for c in text)


def po_quoted(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"').replace("\n", "\\n").replace("\t", "\\t") + '"'


def main():
    source_dir, mo_file = sys.argv[1], sys.argv[2]
    mo_file = os.path.abspath(mo_file)
    os.chdir(source_dir)
    po_file = os.path.join("po", "en.po")
    sources = sorted(glob.glob(os.path.join("src", "**", "*.[ch]*"), recursive=True))
    problems = []
    with tempfile.TemporaryDirectory() as work:
        marked_pot, all_pot = os.path.join(work, "marked.pot"), os.path.join(work, "all.pot")
        xgettext(sources, marked_pot, ["--keyword=" + k for k in KEYWORDS])
        xgettext(sources, all_pot, ["--extract-all", "--exclude-file=po/not-messages.pot"])
        marked = {k: v for k, v in read_po(marked_pot).items() if japanese(k)}
        unmarked = {k: v for k, v in read_po(all_pot).items() if japanese(k) and k not in marked}
    catalogue = read_po(po_file)
    for text, (_, _, references) in unmarked.items():
        problems.append(f"{' '.join(references)}: {po_quoted(text)} is shown without translation: pass it to "
                        "localized() or mark it translatable()")
    missing = [(text, references) for text, (_, _, references) in marked.items() if text not in catalogue]
    if missing:
        problems.append(f"{po_file} has no English for these texts; add them with their translation:")
        for text, references in missing:
            problems.append(f"#: {' '.join(references)}\nmsgid {po_quoted(text)}\nmsgstr \"\"\n")
    for text in catalogue:
        if text not in marked:
            problems.append(f"{po_file}: {po_quoted(text)} is no longer in the sources; remove its entry")
    for text, (english, _, _) in catalogue.items():
        if len(text.encode()) < 256 and len(english.encode()) > LONGEST_MESSAGE:
            problems.append(f"{po_file}: the English of {po_quoted(text)} is longer than {LONGEST_MESSAGE} bytes, "
                            "too long for a message")
    os.makedirs(os.path.dirname(mo_file), exist_ok=True)
    result = subprocess.run(["msgfmt", "--check", "--statistics", "-o", mo_file, po_file], capture_output=True,
                            text=True)
    statistics = result.stderr.strip()
    if result.returncode != 0 or "fuzzy" in statistics or "untranslated" in statistics:
        problems.append(f"msgfmt --check {po_file}: {statistics}")
    if problems:
        print("\n".join(problems), file=sys.stderr)
        if os.path.exists(mo_file):
            os.remove(mo_file)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
