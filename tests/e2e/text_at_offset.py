"""text_at_offset.py PID: asks the running calculator (process PID) over the accessibility bus,
as a screen reader does, for the character, word and line at every offset of every text
field from 0 to its length, the end included, and for each offset's attribute run; each
question must be answered, and the program must still answer afterwards. Prints the CPU
time the program spent on them."""

import os
import sys

import pyatspi
from gi.repository import Atspi

from calculator_tree import application, nodes

# A question unanswered in this long is a program that no longer answers.
Atspi.set_timeout(10000, 15000)
pid = int(sys.argv[1])
BOUNDARIES = {"char": pyatspi.TEXT_BOUNDARY_CHAR, "word": pyatspi.TEXT_BOUNDARY_WORD_START,
              "line": pyatspi.TEXT_BOUNDARY_LINE_START}


def cpu_seconds():
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


app = application()
fields = [n for n in nodes(app) if n.getRole() == pyatspi.ROLE_TEXT]
if len(fields) != 6:
    sys.exit(f"FAIL: {len(fields)} text fields, not 6")
before, asked = cpu_seconds(), 0
for field in fields:
    text = field.queryText()
    if field.name == "Division Size in Lb or KG":  # a unit after the number, as people type
        field.queryEditableText().setTextContents("2500 lb")
    whole = text.getText(0, -1)
    for offset in range(len(whole) + 1):
        for kind, boundary in BOUNDARIES.items():
            try:
                piece, start, end = text.getTextAtOffset(offset, boundary)
            except Exception as error:
                sys.exit(f"FAIL: {field.name!r} did not answer the {kind} at {offset} of "
                         f"{whole!r}: {error}")
            asked += 1
            if piece != whole[start:end] or not start <= offset <= end:
                sys.exit(f"FAIL: {field.name!r}: the {kind} at {offset} of {whole!r} is "
                         f"{piece!r} ({start}-{end})")
        _, start, end = text.getAttributeRun(offset, False)
        if (start, end) != (0, len(whole)):
            sys.exit(f"FAIL: {field.name!r}: the attribute run at {offset} of {whole!r} is "
                     f"{start}-{end}, not the whole text")
    print(f"PASS: {field.name!r} ({whole!r}) answered at every offset")
spent = cpu_seconds() - before
if app.name != "Quinbray" or len(fields[0].queryText().getText(0, -1)) == 0:
    sys.exit("FAIL: the program no longer answers")
print(f"PASS: {asked} questions answered; the program spent {spent:.2f} s of CPU on them "
      f"and still answers")
