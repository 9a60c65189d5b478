#!/usr/bin/env python3
"""Checks a release's Windows Package Manager manifests (those tools/winget-manifests writes)
against the manager's published JSON schemas, as YAML reads them.

    check-winget.py --schemas DIR MANIFEST_FOLDER [SETUP_EXE]

DIR: the folder of the schemas (manifest.version.1.12.0.json and the others). MANIFEST_FOLDER:
one version's folder, holding ID.yaml, ID.locale.LOCALE.yaml and ID.installer.yaml, or a folder
above it that holds no other (tools/winget-manifests' --output). Each file is
read as YAML 1.1 reads it (PyYAML's safe_load: an unquoted 1.10 would be a number, a date a date)
and must be valid against the schema of its ManifestType; the three must name the same package
and version, the version manifest the locale that the locale manifest is, and every installer
entry SETUP_EXE's sha256 when it is given. The same version manifest with its version unquoted
must fail, so a check that passes everything cannot go unnoticed.
"""

import argparse
import hashlib
import json
import pathlib
import sys

import jsonschema  # python3-jsonschema
import yaml  # python3-yaml

KINDS = ("version", "defaultLocale", "installer")


def schema_errors(manifest, schemas: pathlib.Path) -> list:
    kind = manifest.get("ManifestType") if isinstance(manifest, dict) else None
    if kind not in KINDS:
        return [f"ManifestType is {kind!r}, not one of {sorted(KINDS)}"]
    schema_path = schemas / f"manifest.{kind}.{manifest.get('ManifestVersion')}.json"
    if not schema_path.is_file():
        return [f"no schema {schema_path.name} in {schemas}"]
    validator = jsonschema.Draft7Validator(json.loads(schema_path.read_text()),
                                           format_checker=jsonschema.FormatChecker())
    return [f"{'/'.join(map(str, e.absolute_path)) or '(top)'}: {e.message}"
            for e in validator.iter_errors(manifest)]


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--schemas", type=pathlib.Path, required=True)
    parser.add_argument("folder", type=pathlib.Path)
    parser.add_argument("installer", type=pathlib.Path, nargs="?")
    args = parser.parse_args()

    folders = {path.parent for path in args.folder.rglob("*.yaml")}
    if len(folders) != 1:
        sys.exit(f"FAIL: {args.folder} holds manifests in {len(folders)} folders, not one")
    (args.folder,) = folders
    failures = []
    manifests = {}
    for path in sorted(args.folder.glob("*.yaml")):
        manifest = yaml.safe_load(path.read_text(encoding="utf-8"))
        errors = schema_errors(manifest, args.schemas)
        failures += [f"{path.name}: {error}" for error in errors]
        if not errors:
            manifests[manifest["ManifestType"]] = (path.name, manifest)
            print(f"{path.name}: valid against manifest.{manifest['ManifestType']}."
                  f"{manifest['ManifestVersion']}.json")
    missing = sorted(set(KINDS) - set(manifests))
    if missing:
        failures.append(f"no valid manifest of type {', '.join(missing)} in {args.folder}")
    else:
        version = manifests["version"][1]
        identifier, number = version["PackageIdentifier"], version["PackageVersion"]
        expected_names = {"version": f"{identifier}.yaml",
                          "defaultLocale": f"{identifier}.locale.{version['DefaultLocale']}.yaml",
                          "installer": f"{identifier}.installer.yaml"}
        for kind, (name, manifest) in manifests.items():
            if (manifest["PackageIdentifier"], manifest["PackageVersion"]) != (identifier, number):
                failures.append(f"{name} is of {manifest['PackageIdentifier']} "
                                f"{manifest['PackageVersion']}, not {identifier} {number}")
            if name != expected_names[kind]:
                failures.append(f"{name} should be named {expected_names[kind]}")
        if args.folder.name != number:
            failures.append(f"the folder {args.folder.name} is not the version {number}")
        if args.installer:
            sha256 = hashlib.sha256(args.installer.read_bytes()).hexdigest().upper()
            for entry in manifests["installer"][1]["Installers"]:
                if entry["InstallerSha256"].upper() != sha256:
                    failures.append(f"the {entry.get('Scope')} installer's sha256 is "
                                    f"{entry['InstallerSha256']}, {args.installer.name}'s {sha256}")

        # The version unquoted, which YAML reads as a number and the schema must refuse.
        name = manifests["version"][0]
        text = (args.folder / name).read_text(encoding="utf-8")
        unquoted = text.replace(f'PackageVersion: "{number}"', f"PackageVersion: {number}")
        if not schema_errors(yaml.safe_load(unquoted), args.schemas):
            failures.append(f"{name} with an unquoted version passed: the check checks nothing")

    for failure in failures:
        print("FAIL:", failure)
    if failures:
        sys.exit(1)
    print(f"PASS: {len(manifests)} manifests of {args.folder.name}, valid and consistent")


if __name__ == "__main__":
    main()
