#!/usr/bin/env python3
"""The time in a Windows executable's header, set from the last commit instead of the link.

The linker writes the time of linking into the COFF header (TimeDateStamp), so two builds of one
commit differ; linked with --no-insert-timestamp it writes 0, which antivirus heuristics take
for a sign of a tampered file. The build links with 0 and then sets the header to the commit's
time, and recomputes the image checksum, which covers the header.

  pe_timestamp.py epoch SOURCE_DIR OUTPUT   writes SOURCE_DATE_EPOCH (the environment's, else
                                            the last commit's time) to OUTPUT, only if it changed,
                                            so a new commit relinks and nothing else does
  pe_timestamp.py stamp EXE EPOCH_FILE      sets EXE's header time and checksum
  pe_timestamp.py check EXE                 prints the header time; exits 1 if it is 0 or the
                                            checksum does not match the file
"""
import array
import os
import struct
import subprocess
import sys

# A zip entry's time starts in 1980, and the header holds 32 bits.
EARLIEST, LATEST = 315532800, 2**32 - 1


def fail(message):
    sys.exit(f"pe_timestamp: {message}")


def header_offsets(data):
    """Offsets of TimeDateStamp and CheckSum in a PE image."""
    if data[:2] != b"MZ":
        fail("not an executable (no MZ header)")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        fail("not a PE image")
    coff = pe + 4
    optional = coff + 20
    # TimeDateStamp follows Machine and NumberOfSections; CheckSum sits at the same place in the
    # PE32 and PE32+ optional headers.
    return coff + 4, optional + 64


def checksum(data, checksum_at):
    """The image checksum as Windows' CheckSumMappedFile computes it: a ones' complement sum of
    the 16-bit words with the CheckSum field taken as 0, plus the file's length."""
    padded = data + b"\0" * (len(data) % 2)
    words = array.array("H", padded)
    if sys.byteorder == "big":
        words.byteswap()
    words[checksum_at // 2] = words[checksum_at // 2 + 1] = 0
    total = sum(words)
    while total > 0xFFFF:
        total = (total & 0xFFFF) + (total >> 16)
    return total + len(data)


def source_date_epoch(source_dir):
    value = os.environ.get("SOURCE_DATE_EPOCH")
    if not value:
        try:
            value = subprocess.run(["git", "-C", source_dir, "log", "-1", "--format=%ct"],
                                   check=True, capture_output=True, text=True).stdout.strip()
        except (OSError, subprocess.CalledProcessError):
            fail(f"{source_dir} is not a git checkout: set SOURCE_DATE_EPOCH")
    if not value.isdigit() or not EARLIEST <= int(value) <= LATEST:
        fail(f"SOURCE_DATE_EPOCH {value!r} is not a time from 1980 to 2106 in seconds")
    return int(value)


def main(args):
    if len(args) == 3 and args[0] == "epoch":
        text = f"{source_date_epoch(args[1])}\n"
        try:
            with open(args[2]) as f:
                if f.read() == text:
                    return
        except FileNotFoundError:
            pass
        with open(args[2], "w") as f:
            f.write(text)
    elif len(args) == 3 and args[0] == "stamp":
        with open(args[2]) as f:
            epoch = int(f.read())
        with open(args[1], "rb") as f:
            data = bytearray(f.read())
        time_at, checksum_at = header_offsets(data)
        struct.pack_into("<I", data, time_at, epoch)
        struct.pack_into("<I", data, checksum_at, checksum(bytes(data), checksum_at))
        with open(args[1], "wb") as f:
            f.write(data)
    elif len(args) == 2 and args[0] == "check":
        with open(args[1], "rb") as f:
            data = f.read()
        time_at, checksum_at = header_offsets(data)
        stamp, = struct.unpack_from("<I", data, time_at)
        stored, = struct.unpack_from("<I", data, checksum_at)
        if stamp == 0:
            fail(f"{args[1]}: no time in the header")
        if stored != checksum(data, checksum_at):
            fail(f"{args[1]}: the checksum {stored:#x} does not match the file")
        print(stamp)
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv[1:])
