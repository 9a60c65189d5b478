#!/usr/bin/env python3
"""Writes down, for each library and plugin of a finished Qt build, the files of Qt's source that
were compiled into it, from ninja's own records of the build.

    compiled-from.py BUILD_DIR SOURCE_DIR INSTALLED_DIR OUTPUT_DIR

For every file of INSTALLED_DIR that a link or archive step of BUILD_DIR made (the DLLs, the
plugins, and the static libraries that programs link in, such as Qt's entry point), it writes
OUTPUT_DIR/<the file's path>.txt: the files under SOURCE_DIR, relative to it and sorted, that the
compiler read for the objects linked into it, directly or through a static library. Those come
from `ninja -t query` (the inputs of the step that made the file: its objects, and those of the
static libraries linked into it, but not what another DLL, whose import library it links, was
made of) and `ninja -t deps` (each object's source and every header, as the compiler reported them);
for a generated file that an object read (a moc output, a resource, the MIME database), the
files its generating step took as inputs count too (`ninja -t query`). The third-party notices of the Windows downloads
are drawn from these lists.
"""

import os
import pathlib
import subprocess
import sys

LINK_RULE_MARK = "_LINKER__"  # CMake's link and archive rules: CXX_SHARED_LIBRARY_LINKER__Core_...


def ninja(build_dir: pathlib.Path, *arguments: str) -> list:
    result = subprocess.run(["ninja", "-t", *arguments], cwd=build_dir, check=True,
                            capture_output=True, text=True)
    return result.stdout.splitlines()


def all_outputs(build_dir: pathlib.Path) -> dict:
    """The rule of every output of the build, by its path relative to the build folder."""
    outputs = {}
    for line in ninja(build_dir, "targets", "all"):
        path, _, rule = line.rpartition(": ")
        outputs[path] = rule
    return outputs


def normalised(build_dir: pathlib.Path, path: str) -> pathlib.Path:
    return pathlib.Path(os.path.normpath(build_dir / path))


def step_inputs(build_dir: pathlib.Path, targets: list) -> list:
    """The explicit and implicit inputs of the steps that make targets (not the order-only ones),
    from `ninja -t query`."""
    inputs, section = [], None
    for line in ninja(build_dir, "query", *targets):
        if line.startswith("  ") and not line.startswith("    "):
            section = line.strip().split(":")[0]
        elif line.startswith("    ") and section == "input":
            path = line.strip()
            if not path.startswith("|| "):
                inputs.append(path.removeprefix("| "))
    return inputs


def files_read(build_dir: pathlib.Path, target: str, outputs: dict) -> set:
    # The objects linked into target, and those of the static libraries linked into it, but not
    # what another DLL was linked from, though its import library is an input too.
    objects, libraries, seen = [], [target], set()
    while libraries:
        library = libraries.pop()
        seen.add(library)
        for path in step_inputs(build_dir, [library]):
            relative = os.path.relpath(normalised(build_dir, path), build_dir)
            if path.endswith((".obj", ".o")):
                objects.append(path)
            elif "STATIC_LIBRARY" in outputs.get(relative, "") and relative not in seen:
                libraries.append(relative)
    if not objects:
        raise SystemExit(f"compiled-from: ninja names no object file among {target}'s inputs")
    read = set()
    # Batches keep each command line short.
    for start in range(0, len(objects), 200):
        for line in ninja(build_dir, "deps", *objects[start:start + 200]):
            if line.startswith("    "):
                read.add(normalised(build_dir, line.strip()))
    # What the build generated (a Unicode table, a resource) counts with what it was generated
    # from: the generating step's own inputs, not what merely had to be built before it.
    pending = {relative for relative in (str(path.relative_to(build_dir)) for path in read
                                         if path.is_relative_to(build_dir))
               if relative in outputs}
    seen = set()
    while pending:
        batch = sorted(pending - seen)
        seen.update(batch)
        pending = set()
        for start in range(0, len(batch), 200):
            for path in step_inputs(build_dir, batch[start:start + 200]):
                read.add(normalised(build_dir, path))
                relative = os.path.relpath(normalised(build_dir, path), build_dir)
                if relative in outputs and relative not in seen:
                    pending.add(relative)
    return read


def main() -> None:
    if len(sys.argv) != 5:
        raise SystemExit(__doc__.split("\n\n")[1])
    build_dir, source_dir, installed_dir, output_dir = (pathlib.Path(a).resolve()
                                                        for a in sys.argv[1:])
    outputs = all_outputs(build_dir)
    linked = {path: rule for path, rule in outputs.items() if LINK_RULE_MARK in rule}
    by_name = {}
    for path in linked:
        by_name.setdefault(pathlib.PurePath(path).name, []).append(path)
    written = 0
    for installed in sorted(p for p in installed_dir.rglob("*") if p.is_file()):
        relative = installed.relative_to(installed_dir).as_posix()
        if installed.suffix not in (".dll", ".a"):
            continue
        if relative in linked:
            target = relative
        elif len(by_name.get(installed.name, [])) == 1:
            target = by_name[installed.name][0]
        else:
            continue  # not made by a link step here
        if installed.suffix == ".a" and "STATIC_LIBRARY" not in linked[target]:
            continue  # a DLL's import library
        files = sorted(str(path.relative_to(source_dir)) for path in files_read(build_dir, target, outputs)
                       if path.is_relative_to(source_dir) and path.is_file())
        destination = output_dir / f"{relative}.txt"
        destination.parent.mkdir(parents=True, exist_ok=True)
        destination.write_text("".join(f"{path}\n" for path in files))
        written += 1
    if written == 0:
        raise SystemExit("compiled-from: no library or plugin of the build is installed")
    print(f"compiled-from: the source files of {written} libraries and plugins", file=sys.stderr)


if __name__ == "__main__":
    main()
