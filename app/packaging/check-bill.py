#!/usr/bin/env python3
"""Checks a CycloneDX bill of materials against CycloneDX's published schema, and its hashes
against the download it describes.

    check-bill.py [--schema DIR] BILL [DOWNLOAD]

--schema DIR: the folder of CycloneDX's JSON schemas (bom-1.6 and those it refers to, as the
@cyclonedx/cyclonedx-library package carries them); the bill must be valid against bom-1.6.
DOWNLOAD: the file it describes; its sha256 must be the bill's, and so must that of every file the
bill names that the download holds (a .deb's installed files, a .zip's entries).
"""

import argparse
import hashlib
import io
import json
import pathlib
import subprocess
import sys
import tarfile
import zipfile


def schema_errors(bill: dict, folder: pathlib.Path) -> list:
    import jsonschema  # python3-jsonschema

    store = {}
    for path in folder.glob("*.schema.json"):
        schema = json.loads(path.read_text())
        # Referred to by their published names and by the names the package gives them.
        store[schema["$id"]] = schema
        store[f"http://cyclonedx.org/schema/{path.name}"] = schema
    (main,) = [s for i, s in store.items() if i.endswith("/bom-1.6.schema.json")]
    checker = jsonschema.FormatChecker()
    try:  # jsonschema 4.18 and later refer through referencing's registry
        import referencing
        import referencing.jsonschema

        registry = referencing.Registry().with_resources(
            (uri, referencing.Resource.from_contents(
                schema, default_specification=referencing.jsonschema.DRAFT7))
            for uri, schema in store.items())
        validator = jsonschema.Draft7Validator(main, registry=registry, format_checker=checker)
    except ImportError:  # Debian 12's 4.10
        resolver = jsonschema.RefResolver.from_schema(main, store=store)
        validator = jsonschema.Draft7Validator(main, resolver=resolver, format_checker=checker)
    return [f"{'/'.join(map(str, e.absolute_path))}: {e.message}"
            for e in validator.iter_errors(bill)]


def contents(download: pathlib.Path) -> dict:
    """{name as the bill gives it: bytes} of the files a download holds."""
    if download.suffix == ".deb":
        tree = subprocess.run(["dpkg-deb", "--fsys-tarfile", str(download)], check=True,
                              capture_output=True).stdout
        with tarfile.open(fileobj=io.BytesIO(tree)) as archive:
            return {m.name.removeprefix("."): archive.extractfile(m).read()
                    for m in archive.getmembers() if m.isfile()}
    if download.suffix == ".zip":
        with zipfile.ZipFile(download) as archive:
            return {n.split("/", 1)[1]: archive.read(n) for n in archive.namelist()
                    if not n.endswith("/")}
    return {}


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--schema", type=pathlib.Path)
    parser.add_argument("bill", type=pathlib.Path)
    parser.add_argument("download", type=pathlib.Path, nargs="?")
    args = parser.parse_args()
    bill = json.loads(args.bill.read_text())
    errors = schema_errors(bill, args.schema) if args.schema else []
    if args.download:
        digest = hashlib.sha256(args.download.read_bytes()).hexdigest()
        said = bill["metadata"]["component"].get("hashes", [{}])[0].get("content")
        if said != digest:
            errors.append(f"the download's sha256 is {digest}, the bill says {said}")
        held = contents(args.download)
        for component in bill.get("components", []):
            name, hashes = component["name"], component.get("hashes")
            if name in held and hashes and hashes[0]["content"] != hashlib.sha256(
                    held[name]).hexdigest():
                errors.append(f"the bill's sha256 of {name} is not the file's")
            held.pop(name, None)
        for name in sorted(held):
            errors.append(f"{name}, in the download, is not in the bill")
    for error in errors:
        print(f"{args.bill.name}: {error}")
    checked = ["CycloneDX 1.6's schema"] if args.schema else []
    checked += [args.download.name] if args.download else []
    print(f"{args.bill.name}: {'valid' if not errors else 'INVALID'}"
          f" ({' and '.join(checked) or 'nothing'} checked)")
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
