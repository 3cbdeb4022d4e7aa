#!/usr/bin/env python3
"""Writes a tune file for the runtime's music engine from a list of notes.

Usage: write_tune.py NOTES OUT.ztune       (NOTES may be - for standard input)

NOTES is text, one note per line; blank lines and comments (from a # that
starts the line or follows a blank) are ignored:

    # track  start_s  duration_s  pitch
    0        0.0      0.25        C4
    0        0.25     0.25        E4
    1        0.0      0.5         440

The pitch is a note name (C4, F#3, Bb5; A4 is 440 Hz, equal temperament) or
a frequency in hertz. Tracks are numbered from 0; the file gets as many
tracks as the highest number plus one. Times are rounded to milliseconds.
The format is described in runtime/src/music/FORMAT.md; the script refuses
what the runtime would refuse (overlapping notes within a track, more than
64 tracks, pitches outside 0 to 20 kHz) and says which line is wrong.
"""

import re
import struct
import sys

MAX_TRACKS = 64
MAX_BYTES = 1 << 20
MAX_MILLIHERTZ = 20_000_000
SEMITONES = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}
NOTE = re.compile(r"^([A-Ga-g])([#b]?)(-?\d+)$")
COMMENT = re.compile(r"(^|\s)#.*$")


def pitch_hz(text):
    """Frequency of a note name or a number of hertz."""
    match = NOTE.match(text)
    if match:
        letter, accidental, octave = match.groups()
        semitone = SEMITONES[letter.upper()] + {"#": 1, "b": -1, "": 0}[accidental]
        midi = (int(octave) + 1) * 12 + semitone
        return 440.0 * 2.0 ** ((midi - 69) / 12.0)
    return float(text)


def parse(lines):
    """Tracks of (start_ms, duration_ms, millihertz), in file order per track."""
    tracks = {}
    for number, line in enumerate(lines, start=1):
        # A comment starts with a # at the start of the line or after a blank, so C#4 stays a note.
        line = COMMENT.sub("", line).strip()
        if not line:
            continue
        fields = line.split()
        if len(fields) != 4:
            raise ValueError(f"line {number}: expected track, start, duration and pitch")
        try:
            track, start, duration = int(fields[0]), float(fields[1]), float(fields[2])
            hz = pitch_hz(fields[3])
        except ValueError:
            raise ValueError(f"line {number}: cannot read '{line}'") from None
        start_ms, duration_ms = round(start * 1000), round(duration * 1000)
        millihertz = round(hz * 1000)
        if not 0 <= track < MAX_TRACKS:
            raise ValueError(f"line {number}: track {track} is outside 0 to {MAX_TRACKS - 1}")
        if start_ms < 0 or duration_ms < 1 or start_ms + duration_ms > 0xFFFFFFFF:
            raise ValueError(f"line {number}: start or duration out of range")
        if not 1 <= millihertz <= MAX_MILLIHERTZ:
            raise ValueError(f"line {number}: pitch {hz:g} Hz is outside 0 to 20 kHz")
        tracks.setdefault(track, []).append((start_ms, duration_ms, millihertz, number))
    if not tracks:
        raise ValueError("no notes")
    ordered = []
    for track in range(max(tracks) + 1):
        notes = sorted(tracks.get(track, []))
        for before, after in zip(notes, notes[1:]):
            if after[0] < before[0] + before[1]:
                raise ValueError(f"line {after[3]}: overlaps the note of line {before[3]} on track {track}")
        ordered.append([note[:3] for note in notes])
    return ordered


def encode(tracks):
    """The bytes of a version-1 tune file."""
    tones = sum(len(t) for t in tracks)
    out = bytearray(b"ZTUN" + struct.pack("<HHII", 1, len(tracks), tones, 0))
    out += b"".join(struct.pack("<I", len(t)) for t in tracks)
    for track in tracks:
        out += b"".join(struct.pack("<III", *tone) for tone in track)
    if len(out) > MAX_BYTES:
        raise ValueError(f"{tones} notes make a file of {len(out)} bytes, above the 1 MiB limit")
    return bytes(out)


def main(argv):
    if len(argv) != 2:
        print(__doc__.split("\n\n")[1], file=sys.stderr)
        return 2
    source = sys.stdin if argv[0] == "-" else open(argv[0], encoding="utf-8")
    try:
        with source:
            data = encode(parse(source))
    except ValueError as error:
        print(f"write_tune: {error}", file=sys.stderr)
        return 1
    with open(argv[1], "wb") as out:
        out.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
