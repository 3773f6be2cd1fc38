#!/usr/bin/python3
"""Writes, beside each RTF file, what LibreOffice shows for it: FILE.rtf -> FILE.dump.

Usage: dump_lo.py PROFILE_DIR FILE.rtf...   (needs soffice and python3-uno)

The dump flattens the document the way the comment box holds it: body paragraphs in order, a
table row as one paragraph with its cells separated by tabs, the paragraphs of a text frame before
the paragraph it is anchored to, footnotes at the end as paragraphs starting "[n] ". Each
paragraph is a line "P"; each run below it is "FLAGS SIZE<TAB>TEXT" with FLAGS four letters
(B bold, I italic, U underline, S strike, '-' for off) and SIZE in points, or "* *" for text the
reader may format freely (list labels, cell separators, footnote marks). TEXT escapes backslash
as \\, tab as \t and line breaks as \n.

Each character's format is the one LibreOffice lays it out with: the Asian properties for the
characters of Asian script, the Western ones otherwise; characters without a script of their own
take the script of the character before them in the paragraph (at the start, of the first one
with a script).
"""
import os
import subprocess
import sys
import time

import uno
from com.sun.star.beans import PropertyValue

LATIN, ASIAN, COMPLEX, WEAK = 1, 2, 3, 4  # com.sun.star.i18n.ScriptType


def connect(profile):
    pipe = "tarmin_rtf_dump"
    proc = subprocess.Popen(
        ["soffice", f"-env:UserInstallation=file://{os.path.abspath(profile)}", "--headless",
         "--invisible", "--norestore", f"--accept=pipe,name={pipe};urp;"],
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    local = uno.getComponentContext()
    resolver = local.ServiceManager.createInstanceWithContext(
        "com.sun.star.bridge.UnoUrlResolver", local)
    for _ in range(120):
        try:
            ctx = resolver.resolve(f"uno:pipe,name={pipe};urp;StarOffice.ComponentContext")
            return proc, ctx
        except Exception:
            time.sleep(0.5)
    raise RuntimeError("soffice did not answer")


class Dumper:
    def __init__(self, ctx):
        self.breaks = ctx.ServiceManager.createInstanceWithContext(
            "com.sun.star.i18n.BreakIterator", ctx)
        self.paragraphs = []  # each a list of (fmt or None, text)
        self.notes = []

    def fmt(self, portion, asian):
        sfx = "Asian" if asian else ""
        bold = portion.getPropertyValue("CharWeight" + sfx) > 100.0
        italic = portion.getPropertyValue("CharPosture" + sfx).value != "NONE"
        under = portion.getPropertyValue("CharUnderline") != 0
        strike = portion.getPropertyValue("CharStrikeout") != 0
        size = portion.getPropertyValue("CharHeight" + sfx)
        return (bold, italic, under, strike, size)

    def paragraph(self, para, prefix=None):
        runs = []
        if prefix:
            runs.append((None, prefix))
        try:
            label = para.getPropertyValue("ListLabelString")
        except Exception:
            label = ""
        if not label:
            label = bullet(para)
        if label:
            runs.append((None, label.replace("\uf0b7", "\u2022") + "\t"))
        # Frames anchored to the paragraph come first.
        anchored = para.createContentEnumeration("com.sun.star.text.TextContent")
        while anchored.hasMoreElements():
            self.frame(anchored.nextElement())
        chars = []  # (char, latin fmt, asian fmt) of the paragraph's own text
        for portion in iter_enum(para):
            kind = portion.TextPortionType
            if kind == "Footnote":
                note = portion.Footnote
                number = portion.getString()
                self.notes.append((number, note))
                f = self.fmt(portion, False)
                chars.extend((c, f, f) for c in number)
            elif kind in ("Frame",):
                inner = portion.createContentEnumeration("com.sun.star.text.TextContent")
                while inner.hasMoreElements():
                    self.frame(inner.nextElement())
            elif kind in ("Text", "TextField"):
                s = portion.getString()
                lf, af = self.fmt(portion, False), self.fmt(portion, True)
                chars.extend((c, lf, af) for c in s)
        text = "".join(c for c, _, _ in chars)
        scripts = [self.breaks.getScriptType(text, i) for i in range(len(text))]
        strong = [s for s in scripts if s != WEAK]
        current = strong[0] if strong else LATIN
        for (c, lf, af), s in zip(chars, scripts):
            if s != WEAK:
                current = s
            runs.append((af if current == ASIAN else lf, c.replace("\uf0b7", "\u2022")))
        return runs

    def frame(self, content):
        if not content.supportsService("com.sun.star.text.TextFrame"):
            return
        self.text(content.getText())

    def text(self, xtext):
        for element in iter_enum(xtext):
            if element.supportsService("com.sun.star.text.TextTable"):
                for r in range(element.getRows().getCount()):
                    row = []
                    names = [n for n in element.getCellNames()
                             if int("".join(ch for ch in n if ch.isdigit())) == r + 1]
                    for i, name in enumerate(names):
                        if i:
                            row.append((None, "\t"))
                        for j, p in enumerate(iter_enum(element.getCellByName(name).getText())):
                            if j:
                                row.append((None, "\n"))
                            row.extend(self.paragraph(p))
                    self.paragraphs.append(row)
            elif element.supportsService("com.sun.star.text.Paragraph"):
                self.paragraphs.append(self.paragraph(element))

    def footnotes(self):
        done = 0
        while done < len(self.notes):
            number, note = self.notes[done]
            done += 1
            for j, p in enumerate(iter_enum(note.getText())):
                self.paragraphs.append(self.paragraph(p, f"[{number}] " if j == 0 else None))


def bullet(para):
    """The bullet character of a bulleted list paragraph ("" for others)."""
    try:
        if not para.getPropertyValue("NumberingIsNumber"):
            return ""
        rules = para.getPropertyValue("NumberingRules")
        level = para.getPropertyValue("NumberingLevel")
    except Exception:
        return ""
    if rules is None:
        return ""
    for prop in rules.getByIndex(level):
        if prop.Name == "BulletChar":
            return prop.Value
    return ""


def iter_enum(x):
    e = x.createEnumeration()
    while e.hasMoreElements():
        yield e.nextElement()


def escape(s):
    return s.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n").replace("\u2028", "\\n")


def write_dump(paragraphs, path):
    lines = []
    for runs in paragraphs:
        lines.append("P")
        merged = []
        for f, t in runs:
            if merged and merged[-1][0] == f:
                merged[-1][1] += t
            else:
                merged.append([f, t])
        for f, t in merged:
            if f is None:
                head = "* *"
            else:
                flags = "".join(ch if on else "-" for ch, on in zip("BIUS", f[:4]))
                head = f"{flags} {f[4]:g}"
            lines.append(f"{head}\t{escape(t)}")
    with open(path, "w", encoding="utf-8") as out:
        out.write("\n".join(lines) + "\n")


def main():
    profile, files = sys.argv[1], sys.argv[2:]
    proc, ctx = connect(profile)
    try:
        desktop = ctx.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", ctx)
        hidden = PropertyValue()
        hidden.Name, hidden.Value = "Hidden", True
        for path in files:
            url = uno.systemPathToFileUrl(os.path.abspath(path))
            doc = desktop.loadComponentFromURL(url, "_blank", 0, (hidden,))
            d = Dumper(ctx)
            d.text(doc.getText())
            d.footnotes()
            write_dump(d.paragraphs, os.path.splitext(path)[0] + ".dump")
            doc.close(True)
    finally:
        try:
            desktop.terminate()
        except Exception:
            pass
        proc.wait(timeout=30)


if __name__ == "__main__":
    main()
