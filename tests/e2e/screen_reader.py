"""Walks the running calculator's tree on the accessibility bus and checks that each
caption labels its input, and that the text inside each list is named by it too."""

import sys

import pyatspi

from calculator_tree import application, nodes

CAPTIONS = {
    "Excitation Voltage", "Number of Load Cells", "Division Size in Lb or KG",
    "Load Cell Capacity", "Cell Rating in mV / Volt", "Quinbray per Increment",
}
INPUTS = {pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY}


def labels(node):
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            for i in range(relation.getNTargets()):
                yield relation.getTarget(i).name


labelled, lists = set(), []
for node in nodes(application()):
    if node.getRole() in INPUTS:
        labelled.update(labels(node))
    if node.getRole() == pyatspi.ROLE_COMBO_BOX:
        texts = [n.name for n in nodes(node) if n.getRole() in INPUTS - {pyatspi.ROLE_COMBO_BOX}]
        lists.append((next(labels(node), None), node.name, texts))

missing = CAPTIONS - labelled
if missing:
    sys.exit(f"FAIL: no input is labelled by {sorted(missing)}")
for label, value, texts in lists:
    if texts != [label]:
        sys.exit(f"FAIL: the text inside the list labelled {label!r} is named {texts}")
first = next(entry for entry in lists if entry[0] == "Excitation Voltage")
print(f"PASS: every caption labels its input; on Combo1 a screen reader hears "
      f"\"{first[2][0]}\", combo box, \"{first[1]}\"")
