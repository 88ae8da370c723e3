#!/usr/bin/env python3
"""Makes store/pinyin/readings.bin, the Mandarin readings of every Han
character, from Unihan (Debian's unicode-data package).

Each character gets its readings without tones, as plain a-z syllables (u
with umlaut as v), the most common first: kMandarin, then kXHC1983, then
kHanyuPinyin, each reading once. Also checks that every reading the phrase
list (store/pinyin/phrases.txt) gives is one of its character's.

The table, little-endian:
  "ZXPY" 1 (u16)
  u16 syllables, each ASCII ending in NUL
  u32 reading sets, each: u8 count, count x u16 syllable
  u32 runs, each: u32 first code point, u16 length
  for every code point of the runs in turn: u16 reading set
Usage: make_readings.py [Unihan_Readings.txt.bz2] [out.bin]
"""
import bz2
import os
import struct
import sys
import unicodedata

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
SOURCE = '/usr/share/unicode/Unihan_Readings.txt.bz2'
OUT = os.path.join(ROOT, 'store', 'pinyin', 'readings.bin')
PHRASES = os.path.join(ROOT, 'store', 'pinyin', 'phrases.txt')
FIELDS = ('kMandarin', 'kXHC1983', 'kHanyuPinyin')
MOST = 8   # readings kept per character


def toneless(reading):
    text = unicodedata.normalize('NFD', reading.strip().lower())
    text = text.replace('u\u0308', 'v')
    text = ''.join(c for c in text if not unicodedata.combining(c))
    return text if text.isascii() and text.isalpha() else None


def values(field, value):
    if field == 'kMandarin':
        return value.split()
    out = []
    for group in value.split():   # "1494.100:zhōng" or "10028.100:zhōng,zhòng"
        out += group.split(':', 1)[-1].split(',')
    return out


def read_unihan(path):
    found = {}
    with bz2.open(path, 'rt', encoding='utf-8') as f:
        for line in f:
            parts = line.rstrip('\n').split('\t')
            if len(parts) != 3 or parts[1] not in FIELDS:
                continue
            found.setdefault(int(parts[0][2:], 16), {})[parts[1]] = parts[2]
    readings = {}
    for cp, fields in found.items():
        seen = []
        for field in FIELDS:
            for v in values(field, fields.get(field, '')):
                t = toneless(v)
                if t and t not in seen:
                    seen.append(t)
        if seen:
            readings[cp] = seen[:MOST]
    return readings


def check_phrases(readings):
    bad = 0
    with open(PHRASES, encoding='utf-8') as f:
        for n, line in enumerate(f, 1):
            line = line.split('#', 1)[0].split()
            if not line:
                continue
            word, syllables = line[0], line[1:]
            if len(word) != len(syllables):
                print(f'phrases.txt:{n}: {word} has {len(word)} characters, {len(syllables)} readings')
                bad += 1
                continue
            for c, s in zip(word, syllables):
                if s not in readings.get(ord(c), []):
                    print(f'phrases.txt:{n}: {s} is no reading of {c} ({readings.get(ord(c))})')
                    bad += 1
    return bad


def write_table(readings, out):
    syllables = sorted({s for rs in readings.values() for s in rs})
    index = {s: i for i, s in enumerate(syllables)}
    sets, set_index, per_cp = [], {}, []
    cps = sorted(readings)
    for cp in cps:
        key = tuple(index[s] for s in readings[cp])
        if key not in set_index:
            set_index[key] = len(sets)
            sets.append(key)
        per_cp.append(set_index[key])
    runs = []
    for cp in cps:
        if runs and runs[-1][0] + runs[-1][1] == cp:
            runs[-1][1] += 1
        else:
            runs.append([cp, 1])
    data = bytearray(b'ZXPY' + struct.pack('<H', 1))
    data += struct.pack('<H', len(syllables))
    for s in syllables:
        data += s.encode('ascii') + b'\0'
    data += struct.pack('<I', len(sets))
    for key in sets:
        data += struct.pack('<B', len(key)) + struct.pack(f'<{len(key)}H', *key)
    data += struct.pack('<I', len(runs))
    for first, length in runs:
        data += struct.pack('<IH', first, length)
    data += struct.pack(f'<{len(per_cp)}H', *per_cp)
    with open(out, 'wb') as f:
        f.write(data)
    print(f'{out}: {len(cps)} characters, {len(syllables)} syllables, {len(sets)} reading sets, '
          f'{len(runs)} runs, {len(data)} bytes')


def main():
    source = sys.argv[1] if len(sys.argv) > 1 else SOURCE
    out = sys.argv[2] if len(sys.argv) > 2 else OUT
    readings = read_unihan(source)
    bad = check_phrases(readings)
    write_table(readings, out)
    return 1 if bad else 0


if __name__ == '__main__':
    sys.exit(main())
