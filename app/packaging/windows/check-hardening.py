#!/usr/bin/python3
"""Checks the hardening of every program and library in the Windows zip, as a person could with
any PE reader, and fails when a part of it is missing.

Every .exe and .dll must be a 64-bit PE file that Windows may load anywhere in the address space
(DYNAMIC_BASE and HIGH_ENTROPY_VA, with the relocations that moving it needs: without them the
flag is an empty promise) and whose data never runs (NX_COMPAT, for DEP).

What is compiled here must have the strong stack protector as well. A stripped file keeps no
record of its compiler's options, so the evidence is what the option brings along: a function
that checks its stack calls __stack_chk_fail when the check fails, and only then does the linker
take MinGW-w64's handler, with its message, into the file. Qt's libraries and plugins have no
other source of it, so the message suffices for them. The program needs more: Qt's entry point
(WinMain), which every Qt program for Windows links in, brings one checked function of its own,
so the program's disassembly is read (with the MinGW-w64 objdump given) and the calls to the
handler counted: compiled without the option, the program has that one; with it, dozens. The
same holds for _FORTIFY_SOURCE's handler, which is reported but not required: it is linked only
when a copy's size is known when compiling, as it may never be in a given file.

The MinGW runtime's own libraries come from the distribution's compiler as they are; for them,
only the flags are checked.

Usage: check-hardening.py ZIP OBJDUMP
"""

import re
import struct
import subprocess
import sys
import tempfile
import zipfile

DYNAMIC_BASE = 0x0040
HIGH_ENTROPY_VA = 0x0020
NX_COMPAT = 0x0100
FLAGS = {"DYNAMIC_BASE": DYNAMIC_BASE, "HIGH_ENTROPY_VA": HIGH_ENTROPY_VA, "NX_COMPAT": NX_COMPAT}
PE32_PLUS = 0x20B
AMD64 = 0x8664
BASE_RELOCATION_TABLE = 5
STACK_PROTECTOR_MESSAGE = b"*** stack smashing detected ***"
FORTIFY_MESSAGE = b"*** buffer overflow detected ***"
MINGW_RUNTIME = {"libgcc_s_seh-1.dll", "libstdc++-6.dll", "libwinpthread-1.dll"}
PROGRAM = "mirovane.exe"
# Calls to the stack protector's handler that the program must have: Qt's entry point brings one
# (a program built without the option, as 1.01's was, has just that one); compiled with the
# option, the program had 87 when this was written.
PROGRAM_HANDLER_CALLS = 10


class PeFile:
    """The parts of a PE file's headers that the checks read."""

    def __init__(self, data: bytes):
        if data[:2] != b"MZ" or len(data) < 0x40:
            raise ValueError("not a PE file")
        (pe,) = struct.unpack_from("<I", data, 0x3C)
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        self.machine, sections, optional_size = struct.unpack_from("<H H 12x H", data, pe + 4)
        optional = pe + 24
        (self.magic,) = struct.unpack_from("<H", data, optional)
        self.characteristics = self.relocations = self.image_base = 0
        self.sections = []
        if self.magic != PE32_PLUS:
            return
        (self.image_base,) = struct.unpack_from("<Q", data, optional + 24)
        (self.characteristics,) = struct.unpack_from("<H", data, optional + 70)
        (directories,) = struct.unpack_from("<I", data, optional + 108)
        if directories > BASE_RELOCATION_TABLE:
            (self.relocations,) = struct.unpack_from(
                "<I", data, optional + 112 + 8 * BASE_RELOCATION_TABLE + 4)
        table = optional + optional_size
        for i in range(sections):
            address, raw_size, raw_offset = struct.unpack_from("<12x I I I", data, table + 40 * i)
            self.sections.append((address, raw_offset, raw_size))

    def address_of(self, offset: int):
        """The address at which the byte at offset in the file is loaded (at the preferred base)."""
        for address, raw_offset, raw_size in self.sections:
            if raw_offset <= offset < raw_offset + raw_size:
                return self.image_base + address + offset - raw_offset
        return None


def handler_calls(objdump: str, data: bytes, pe: PeFile) -> int:
    """How many calls the code makes to the function that prints the stack protector's message:
    the function that refers to the message begins at the nearest call target before the
    reference."""
    message = pe.address_of(data.find(STACK_PROTECTOR_MESSAGE))
    with tempfile.NamedTemporaryFile(suffix=".exe") as copy:
        copy.write(data)
        copy.flush()
        listing = subprocess.run([objdump, "-d", "--no-show-raw-insn", copy.name], check=True,
                                 capture_output=True, text=True).stdout
    calls = {}
    references = []
    for line in listing.splitlines():
        instruction = re.match(r"\s*([0-9a-f]+):\s+(\S+)\s*(\S*)", line)
        if not instruction:
            continue
        site, mnemonic, operand = instruction.groups()
        if mnemonic == "call" and re.fullmatch(r"(0x)?[0-9a-f]+", operand):
            calls.setdefault(int(operand, 16), []).append(int(site, 16))
        target = re.search(r"#\s*(?:0x)?([0-9a-f]+)", line)
        if target and int(target.group(1), 16) == message:
            references.append(int(site, 16))
    starts = [target for target in calls for reference in references if target <= reference]
    return len(calls[max(starts)]) if starts else 0


def check(name: str, data: bytes, objdump: str) -> tuple:
    """The report's line for one file and the faults found in it."""
    base = name.rsplit("/", 1)[-1]
    try:
        pe = PeFile(data)
    except ValueError:
        return f"{name}: not a PE file", [f"{name} is not a PE file"]
    faults = []
    if pe.machine != AMD64 or pe.magic != PE32_PLUS:
        faults.append(f"{name} is not a 64-bit x64 PE file")
    faults += [f"{name} lacks {flag}" for flag, bit in FLAGS.items()
               if not pe.characteristics & bit]
    if not pe.relocations:
        faults.append(f"{name} has no relocations, so it cannot be loaded elsewhere")
    protected = STACK_PROTECTOR_MESSAGE in data
    stack_protector = "yes" if protected else "no"
    if base == PROGRAM and protected:
        calls = handler_calls(objdump, data, pe)
        stack_protector = f"{calls} calls to its handler"
        if calls < PROGRAM_HANDLER_CALLS:
            faults.append(f"{name} calls the stack protector's handler {calls} times, not "
                          f"{PROGRAM_HANDLER_CALLS} or more: only Qt's entry point is protected")
    if base not in MINGW_RUNTIME and not protected:
        faults.append(f"{name} has no stack protector (no caller of __stack_chk_fail)")
    fortify = "yes" if FORTIFY_MESSAGE in data else "none linked"
    runtime = " (the MinGW runtime)" if base in MINGW_RUNTIME else ""
    return (f"{name}: DllCharacteristics 0x{pe.characteristics:04x}, relocations "
            f"{pe.relocations} bytes, stack protector {stack_protector}, _FORTIFY_SOURCE checks "
            f"{fortify}{runtime}"), faults


def main() -> int:
    if len(sys.argv) != 3:
        sys.exit(__doc__.strip().splitlines()[-1])
    archive_path, objdump = sys.argv[1:]
    faults = []
    with zipfile.ZipFile(archive_path) as archive:
        names = sorted(n for n in archive.namelist() if n.lower().endswith((".exe", ".dll")))
        for name in names:
            line, found = check(name, archive.read(name), objdump)
            print(line)
            faults += found
    if not any(name.rsplit("/", 1)[-1] == PROGRAM for name in names):
        faults.append(f"the zip holds no {PROGRAM}")
    for fault in faults:
        print(f"FAIL: {fault}", file=sys.stderr)
    if not faults:
        print(f"All {len(names)} programs and libraries are hardened.")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
