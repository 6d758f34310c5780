#!/usr/bin/env python3
"""Checks that the sources keep to their layers.

The layers are the tessund_layer(NAME USES ...) lines of src/CMakeLists.txt, in stack order; each lives
in src/NAME and builds tessund_NAME. A file may include ("NAME/...") and a folder's CMakeLists.txt may
link (tessund_NAME) only its own layer and those its USES names, and a layer may only use layers listed
before it. Whatever that list says, the toolkit layers (core, report, widgets) never use the program's own
layers (data, document, windows). The headers a Designer form (.ui) names count as its includes. Includes are written from src/ or from the file's own folder, never with
"..".

    check-layers.py [ROOT]       exits 1 and names every breach
    check-layers.py --self-test  a copy of the tree with an upward include and link must fail
"""
import os
import re
import shutil
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TOOLKIT = {'core', 'report', 'widgets'}
PROGRAM_OWN = {'data', 'document', 'windows'}

LAYER_LINE = re.compile(r'^\s*tessund_layer\(\s*(\w+)((?:\s+USES(?:\s+\w+)+)?)\s*\)', re.M)
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)
UI_HEADER = re.compile(r'<header>([^<]+)</header>')
LINK_CALL = re.compile(r'target_link_libraries\s*\(([^)]*)\)', re.S)
LINKED_LAYER = re.compile(r'\btessund_(\w+)\b')


def read_layers(root):
    with open(os.path.join(root, 'src', 'CMakeLists.txt'), encoding='utf-8') as f:
        text = f.read()
    layers = []
    for name, uses in LAYER_LINE.findall(text):
        layers.append((name, uses.split()[1:] if uses else []))
    return layers


def breaches(root):
    layers = read_layers(root)
    found = []
    if not layers:
        return ['src/CMakeLists.txt lists no tessund_layer(...)']
    names = [name for name, _ in layers]
    allowed = {}
    for index, (name, uses) in enumerate(layers):
        for used in uses:
            if used not in names[:index]:
                found.append(f'src/CMakeLists.txt: {name} uses {used}, which is not a layer listed before it')
        if name in TOOLKIT:
            for used in set(uses) & PROGRAM_OWN:
                found.append(f'src/CMakeLists.txt: the toolkit layer {name} may not use {used}')
        allowed[name] = ({name} | set(uses)) - (PROGRAM_OWN if name in TOOLKIT else set())

    src = os.path.join(root, 'src')
    for entry in sorted(os.listdir(src)):
        if os.path.isdir(os.path.join(src, entry)) and entry not in names:
            found.append(f'src/{entry}: a folder that is no layer of src/CMakeLists.txt')

    for name in names:
        top = os.path.join(src, name)
        if not os.path.isdir(top):
            found.append(f'src/{name}: the layer has no folder')
            continue
        for folder, _, files in os.walk(top):
            for file in sorted(files):
                path = os.path.join(folder, file)
                shown = os.path.relpath(path, root)
                if file.endswith(('.cpp', '.h', '.ui')):
                    with open(path, encoding='utf-8') as f:
                        pattern = UI_HEADER if file.endswith('.ui') else INCLUDE
                        for included in pattern.findall(f.read()):
                            if '..' in included.split('/'):
                                found.append(f'{shown}: includes "{included}" through ".."')
                                continue
                            first = included.split('/')[0]
                            if '/' in included and first in names and first not in allowed[name]:
                                found.append(f'{shown}: the {name} layer includes "{included}" of the {first} layer')
                elif file == 'CMakeLists.txt':
                    with open(path, encoding='utf-8') as f:
                        for call in LINK_CALL.findall(f.read()):
                            for linked in LINKED_LAYER.findall(call):
                                if linked in names and linked not in allowed[name]:
                                    found.append(f'{shown}: the {name} layer links tessund_{linked}')
    return found


def self_test():
    """The check must see an upward include, an upward link and a toolkit layer reaching up."""
    with tempfile.TemporaryDirectory() as tmp:
        copy = os.path.join(tmp, 'tree')
        shutil.copytree(os.path.join(ROOT, 'src'), os.path.join(copy, 'src'))
        if breaches(copy):
            print('self-test: the copied tree already has breaches')
            return 1
        with open(os.path.join(copy, 'src', 'core', 'Money.h'), 'a', encoding='utf-8') as f:
            f.write('\n#include "windows/main/fMain.h"\n')
        with open(os.path.join(copy, 'src', 'widgets', 'CMakeLists.txt'), 'a', encoding='utf-8') as f:
            f.write('\ntarget_link_libraries(tessund_widgets PUBLIC tessund_document)\n')
        with open(os.path.join(copy, 'src', 'report', 'Report.h'), 'a', encoding='utf-8') as f:
            f.write('\n#include "data/dInvoice.h"\n')
        seen = breaches(copy)
        expected = ['src/core/Money.h', 'src/widgets/CMakeLists.txt', 'src/report/Report.h']
        missed = [path for path in expected if not any(b.startswith(path + ':') for b in seen)]
        if missed or len(seen) != len(expected):
            print('self-test: expected one breach in each of', expected, 'but the check said:')
            print('\n'.join(seen) or '(nothing)')
            return 1
    print('self-test: upward include, upward link and a toolkit layer reaching up are each caught')
    return 0


def main():
    if '--self-test' in sys.argv[1:]:
        return self_test()
    root = next((a for a in sys.argv[1:] if not a.startswith('-')), ROOT)
    found = breaches(root)
    for breach in found:
        print(breach)
    if not found:
        print(f'{len(read_layers(root))} layers, every include and link within them')
    return 1 if found else 0


if __name__ == '__main__':
    sys.exit(main())
