#!/usr/bin/env python3
"""Keeps the Norwegian translation source complete.

Extracts every tr() text of src/ with lupdate, keeps the translations already made, and writes
resources/translations/tessund_nb.ts. With --check it changes nothing and fails when a text has no
translation or the file is not up to date with the sources.
"""
import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TS = os.path.join(ROOT, 'resources', 'translations', 'tessund_nb.ts')
LUPDATE = os.environ.get('LUPDATE', '/usr/lib/qt6/bin/lupdate')

# Units whose texts go through a helper translate under a context other than their class name.
CONTEXT_MAP = {
    'db::Connection': 'Connection',
    'db::ConnectionDescription': 'Connection',
    'db::Statement': 'Connection',
    'db::Field': 'Field',
    'report': 'Report',
    'report::OutputFile': 'Report',
    'report::PdfFile': 'Report',
    'report::PrinterSink': 'Report',
    'report::ProgressBar': 'Report',
}


def messages(path):
    """{(context, source): translation or None} in file order."""
    result = {}
    if not os.path.exists(path):
        return result
    for context in ET.parse(path).getroot().iter('context'):
        name = CONTEXT_MAP.get(context.findtext('name'), context.findtext('name'))
        for message in context.iter('message'):
            translation = message.find('translation')
            text = None
            if translation is not None and translation.get('type') not in ('unfinished', 'obsolete', 'vanished'):
                text = translation.text or ''
            result[(name, message.findtext('source'))] = text
    return result


def extract():
    with tempfile.TemporaryDirectory() as tmp:
        fresh = os.path.join(tmp, 'fresh.ts')
        subprocess.run([LUPDATE, '-silent', '-locations', 'none', '-no-obsolete', '-source-language', 'en',
                        '-target-language', 'nb_NO', os.path.join(ROOT, 'src'), '-ts', fresh],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return messages(fresh)


def render(entries):
    root = ET.Element('TS', version='2.1', language='nb_NO', sourcelanguage='en')
    contexts = {}
    for (context, source), translation in entries.items():
        contexts.setdefault(context, []).append((source, translation))
    for context in sorted(contexts):
        c = ET.SubElement(root, 'context')
        ET.SubElement(c, 'name').text = context
        for source, translation in contexts[context]:
            m = ET.SubElement(c, 'message')
            ET.SubElement(m, 'source').text = source
            t = ET.SubElement(m, 'translation')
            if translation is None:
                t.set('type', 'unfinished')
            else:
                t.text = translation
    ET.indent(root)
    return '<?xml version="1.0" encoding="utf-8"?>\n<!DOCTYPE TS>\n' + ET.tostring(root, encoding='unicode') + '\n'


def main():
    check = '--check' in sys.argv
    known = messages(TS)
    entries = {key: known.get(key) for key in extract()}
    text = render(entries)
    missing = [f'{c}: {s!r}' for (c, s), t in entries.items() if t is None]
    if check:
        current = open(TS, encoding='utf-8').read() if os.path.exists(TS) else ''
        if current != text:
            print('resources/translations/tessund_nb.ts is not up to date: run scripts/update-translations.py')
        for m in missing:
            print('untranslated:', m)
        return 1 if current != text or missing else 0
    with open(TS, 'w', encoding='utf-8') as f:
        f.write(text)
    for m in missing:
        print('untranslated:', m)
    print(f'{len(entries)} texts, {len(missing)} without translation')
    return 0


if __name__ == '__main__':
    sys.exit(main())
