"""What each file of the Windows downloads holds, and what passing it on asks: its components with
their versions, copyright, licences and identifiers, drawn from the data of those who made them.

- Qt's libraries and plugins, and Qt's entry point in the program: the files of Qt's source that
  were compiled into each, as tools/build-qt-windows recorded them from ninja (compiled-from/ in
  Qt's folder), against the source package kept beside them. A file that one of Qt's
  qt_attribution.json entries covers (by its Path, or its Files) brings that third-party
  component; Qt's own files bring Qt, under the licences their SPDX headers (or Qt's REUSE.toml)
  give. A compiled file with neither is an error, as is a licence without its text.
- The GCC and MinGW-w64 runtimes, and the NSIS stub that uninstalls: Debian's package of each,
  its version, and its copyright file whole.
- The program: LICENSE and the version.

    Notices(qt_prefix, work_dir, program_version, licence_file, runtime_files)

gives .files (for each file of the folder: its components), and writes the notices, the licence
texts and the bills of materials from them.
"""

import json
import os
import pathlib
import re
import subprocess
import sys
import tomllib

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent))
import cyclonedx  # noqa: E402

QT_COMMERCIAL = "LicenseRef-Qt-Commercial"
SPDX_WORD = re.compile(r"[A-Za-z0-9.+-]+")
OPERATORS = {"AND", "OR", "WITH"}
# What the runtimes from Debian are under, by file; their texts come from Debian's copyright files.
RUNTIME_LICENCES = {
    "libgcc_s_seh-1.dll": ("GCC runtime library (libgcc)", "GPL-3.0-or-later WITH GCC-exception-3.1"),
    "libstdc++-6.dll": ("GNU C++ library (libstdc++)", "GPL-3.0-or-later WITH GCC-exception-3.1"),
    "libwinpthread-1.dll": ("MinGW-w64 winpthreads", "MIT AND BSD-3-Clause"),
}
CRT = ("MinGW-w64 runtime: start-up code and static helpers, in every program and library it links",
       "ZPL-2.1")
COMMON_LICENCES = {"GPL-3.0-or-later": "/usr/share/common-licenses/GPL-3"}


def licence_ids(expression: str) -> list:
    """The licences and exceptions an SPDX expression names, in order, without ours to choose."""
    return [w for w in SPDX_WORD.findall(expression)
            if w.upper() not in OPERATORS and w != QT_COMMERCIAL]


def without_commercial(expression: str) -> str:
    """Qt's expressions offer a commercial licence first, which is not ours to pass on."""
    return re.sub(rf"^{QT_COMMERCIAL} OR ", "", expression.strip())


def run(*command: str) -> str:
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


class Component:
    """A part of a shipped file: what it is, whose, under what, and its licence texts (names of
    files of the folder's licenses/, with their contents)."""

    def __init__(self, key, name, version, supplier, copyright_lines, licence, texts,
                 purl=None, cpe=None, homepage=None):
        self.key, self.name, self.version, self.supplier = key, name, version, supplier
        self.copyright = list(copyright_lines)
        self.licence = licence
        self.texts = texts  # {name in licenses/: text}
        self.purl, self.cpe, self.homepage = purl, cpe, homepage

    def cyclonedx(self, kind="library") -> dict:
        entry = {"type": kind, "bom-ref": self.key, "name": self.name,
                 "supplier": {"name": self.supplier},
                 "copyright": "\n".join(self.copyright),
                 "licenses": cyclonedx.licences(self.licence)}
        if self.version:
            entry["version"] = self.version
        if self.purl:
            entry["purl"] = self.purl
        if self.cpe:
            entry["cpe"] = self.cpe
        if self.homepage:
            entry["externalReferences"] = [{"type": "website", "url": self.homepage}]
        return entry


class QtSource:
    """Qt's source as built (the source package kept with Qt), its attributions and licences."""

    def __init__(self, prefix: pathlib.Path, work: pathlib.Path):
        self.prefix = prefix
        kept = prefix / "mirovane"
        self.built_with = dict(line.split(" ", 1) for line in
                               (kept / "built-with.txt").read_text().splitlines())
        self.debian_version = self.built_with["qt6-base-dev-tools"]
        self.version = re.sub(r"^\d+:|[+~-].*$", "", self.debian_version)
        (dsc,) = (kept / "source").glob("qt6-base_*.dsc")
        self.dsc = dsc
        self.root = work / "qt-source"
        if not self.root.is_dir():
            run("dpkg-source", "--no-check", "-x", str(dsc), str(self.root))
        self.attributions = self._attributions()
        self.reuse = self._reuse_rules()
        self.header_cache = {}

    def compiled_from(self, installed: str) -> list:
        listing = self.prefix / "mirovane" / "compiled-from" / f"{installed}.txt"
        return listing.read_text().splitlines() if listing.exists() else None

    def _attributions(self) -> list:
        found = []
        for path in sorted(self.root.rglob("qt_attribution.json")):
            data = json.loads(path.read_text(encoding="utf-8"), strict=False)
            for entry in data if isinstance(data, list) else [data]:
                found.append(self._attribution(path.parent, entry))
        return found

    def _attribution(self, folder: pathlib.Path, entry: dict) -> dict:
        def relative(name):
            return os.path.normpath(os.path.relpath(folder / name, self.root))

        def listed(value):
            return value.split() if isinstance(value, str) else list(value or [])

        base = relative(entry.get("Path", "."))
        files = {os.path.normpath(os.path.join(base, f)) for f in listed(entry.get("Files"))}
        licence_files = listed(entry.get("LicenseFiles")) or listed(entry.get("LicenseFile"))
        version = entry.get("Version", "")
        copyright_lines = entry.get("Copyright", [])
        if isinstance(copyright_lines, str):
            copyright_lines = copyright_lines.splitlines()
        if "CopyrightFile" in entry:
            copyright_lines = (folder / entry["CopyrightFile"]).read_text().splitlines()

        def expanded(value):
            values = [value] if isinstance(value, str) else list(value or [])
            return [v.replace("$<VERSION_DASHED>", version.replace(".", "-"))
                    .replace("$<VERSION>", version) for v in values]

        texts = {}
        for name in licence_files:
            source = folder / name
            if not source.is_file():
                raise SystemExit(f"notices: {entry['Id']}'s licence file {source} is missing")
            texts[f"qt/{relative(name)}"] = source.read_text(encoding="utf-8", errors="replace")
        return {
            "id": entry["Id"], "name": entry["Name"], "base": base, "files": files,
            "version": version, "licence": entry["LicenseId"],
            "copyright": [line.strip() for line in copyright_lines if line.strip()],
            "purl": (expanded(entry.get("PURL")) or [None])[0],
            "cpe": (expanded(entry.get("CPE")) or [None])[0],
            "homepage": entry.get("Homepage"), "texts": texts,
        }

    def _reuse_rules(self) -> list:
        """(depth, patterns, licence, holders) of every annotation of Qt's REUSE.toml files,
        their paths made relative to the source's root."""
        rules = []
        for toml in sorted(self.root.rglob("REUSE.toml")):
            folder = toml.parent.relative_to(self.root).as_posix()
            prefix = "" if folder == "." else folder + "/"
            data = tomllib.loads(toml.read_text())
            for annotation in data.get("annotations", []):
                paths = annotation["path"]
                patterns = []
                for pattern in [paths] if isinstance(paths, str) else paths:
                    parts = re.split(r"(\*\*|\*)", prefix + pattern)
                    patterns.append(re.compile("".join(
                        ".*" if p == "**" else "[^/]*" if p == "*" else re.escape(p)
                        for p in parts) + r"\Z"))
                holders = annotation.get("SPDX-FileCopyrightText", [])
                rules.append((len(prefix.split("/")), patterns,
                              annotation["SPDX-License-Identifier"],
                              [holders] if isinstance(holders, str) else holders))
        return rules

    def covering(self, path: str) -> list:
        """The attributions that cover one source file."""
        return [a for a in self.attributions
                if (path in a["files"] if a["files"]
                    else path == a["base"] or path.startswith(a["base"] + "/"))]

    def own_licence(self, path: str):
        """(licence, copyright lines) of one of Qt's own files: its SPDX header, or REUSE.toml."""
        if path not in self.header_cache:
            head = (self.root / path).read_bytes()[:4096].decode("utf-8", "replace")
            # The pattern names the tag, which reuse must not read as this file's licence.
            # REUSE-IgnoreStart
            found = re.search(r"SPDX-License-Identifier:\s*(.+?)\s*(\*/|-->|$)", head, re.M)
            # REUSE-IgnoreEnd
            holders = [m.strip() for m in re.findall(r"(Copyright \(C\) [^\n*]+)", head)]
            result = (found.group(1), holders) if found else None
            if result is None:  # the closest REUSE.toml's last annotation that matches
                matching = [(depth, index, licence, annotated)
                            for index, (depth, patterns, licence, annotated) in enumerate(self.reuse)
                            if any(p.match(path) for p in patterns)]
                if matching:
                    _, _, licence, annotated = max(matching)
                    result = (licence, annotated)
            self.header_cache[path] = result
        return self.header_cache[path]

    def licence_text(self, identifier: str):
        path = self.root / "LICENSES" / f"{identifier}.txt"
        return path.read_text(encoding="utf-8") if path.exists() else None


class Notices:
    """The components of every file of the Windows program's folder."""

    def __init__(self, qt_prefix, work, program_version, licence_file, runtime_files,
                 makensis=None):
        self.qt = QtSource(pathlib.Path(qt_prefix), pathlib.Path(work))
        self.program_version = program_version
        self.licence_file = pathlib.Path(licence_file)
        self.runtime_files = {pathlib.Path(p).name: pathlib.Path(p) for p in runtime_files}
        self.debian = {}
        self.crt = self._debian_component(self._package_of(self.runtime_files[
            "libwinpthread-1.dll"]), "mingw-w64-crt", *CRT)
        self.nsis = self._debian_component("nsis", "nsis", "NSIS installer and uninstaller stub",
                                           "Zlib") if makensis else None

    # The parts of each kind of file.
    def program(self) -> list:
        ours = Component("mirovane", "My Mirovane", self.program_version,
                         cyclonedx.SUPPLIER["name"], self._licence_holders(), "MIT",
                         {"mirovane/LICENSE.txt": self.licence_file.read_text()},
                         purl=f"pkg:generic/mirovane@{self.program_version}",
                         homepage="https://mirovane.net/")
        return [ours, *self.qt_parts("lib/libQt6EntryPoint.a", "Qt's entry point (WinMain)")]

    def qt_parts(self, installed: str, what: str) -> list:
        compiled = self.qt.compiled_from(installed)
        if compiled is None:
            raise SystemExit(f"notices: Qt's build recorded no sources for {installed}")
        own, holders, third, unknown = {}, set(), {}, []
        for path in compiled:
            covering = self.qt.covering(path)
            for attribution in covering:
                third[attribution["id"]] = attribution
            if covering:
                continue
            found = self.qt.own_licence(path)
            if found is None:
                unknown.append(path)
                continue
            own.setdefault(without_commercial(found[0]), []).append(path)
            holders.update(found[1])
        if unknown:
            raise SystemExit(f"notices: no licence known for {len(unknown)} of the files compiled"
                             f" into {installed}: " + ", ".join(unknown[:20]))
        licence = " AND ".join(f"({e})" if " OR " in e and len(own) > 1 else e
                               for e in sorted(own))
        qt = Component(f"qt:{installed}", f"Qt {self.qt.version}: {what}", self.qt.version,
                       "The Qt Company Ltd.", sorted(holders), licence,
                       self._texts_for(licence, {}),
                       purl=self._debian_purl("qt6-base", self.qt.debian_version),
                       cpe=f"cpe:2.3:a:qt:qt:{self.qt.version}:*:*:*:*:*:*:*",
                       homepage="https://www.qt.io/")
        parts = [qt]
        for attribution in sorted(third.values(), key=lambda a: a["id"]):
            texts = self._texts_for(attribution["licence"], attribution["texts"])
            parts.append(Component(
                f"qt-3rdparty:{attribution['id']}", attribution["name"], attribution["version"],
                attribution["name"], attribution["copyright"], attribution["licence"], texts,
                purl=attribution["purl"], cpe=attribution["cpe"],
                homepage=attribution["homepage"]))
        return [*parts, self.crt]

    def runtime(self, name: str) -> list:
        title, licence = RUNTIME_LICENCES[name]
        package = self._package_of(self.runtime_files[name])
        return [self._debian_component(package, name, title, licence), self.crt]

    # Helpers.
    def _licence_holders(self) -> list:
        return [line.strip() for line in self.licence_file.read_text().splitlines()
                if line.startswith("Copyright")]

    def _texts_for(self, expression: str, own_texts: dict) -> dict:
        texts = dict(own_texts)
        for identifier in licence_ids(expression):
            text = self.qt.licence_text(identifier)
            if text is None and identifier in COMMON_LICENCES:
                text = pathlib.Path(COMMON_LICENCES[identifier]).read_text()
            if text is not None:
                texts[f"{identifier}.txt"] = text
            elif not own_texts:
                raise SystemExit(f"notices: no text of {identifier}, from {expression}")
        return texts

    @staticmethod
    def _package_of(path: pathlib.Path) -> str:
        return run("dpkg-query", "-S", str(path.resolve())).split(":", 1)[0]

    @staticmethod
    def _debian_purl(source: str, version: str) -> str:
        return f"pkg:deb/debian/{source}@{version.replace('+', '%2B')}?arch=source"

    def _debian_component(self, package, key, title, licence) -> Component:
        if package not in self.debian:
            fields = run("dpkg-query", "-W", "-f=${source:Package}\\n${source:Version}\\n"
                         "${Version}\\n", package).splitlines()
            copyright_text = pathlib.Path(f"/usr/share/doc/{package}/copyright").read_text()
            self.debian[package] = (fields, copyright_text)
        (source, source_version, version), copyright_text = self.debian[package]
        upstream = re.sub(r"^\d+:|-[^-]*$", "", version)
        holders = sorted({line.split(":", 1)[1].strip() for line in copyright_text.splitlines()
                          if line.startswith("Copyright:")}) or [f"See {package}.copyright.txt"]
        texts = {f"debian/{package}.copyright.txt": copyright_text}
        texts.update(self._texts_for(licence, texts))
        return Component(f"debian:{package}:{key}", title, upstream, f"Debian ({source})",
                         holders, licence, texts, purl=self._debian_purl(source, source_version))


def freetype_credit(texts: dict, holders: list):
    """The credit that FreeType's licence asks of every binary's documentation, from its text."""
    for name, text in texts.items():
        found = re.search(r"Portions of this software are copyright\s+\S+\s+<year>\s+The\s+"
                          r"FreeType\s+Project\s+\(www\.freetype\.org\)\.\s+All rights reserved\.",
                          text)
        if found:
            years = [int(y) for line in holders for y in re.findall(r"\b(?:19|20)\d\d\b", line)]
            return " ".join(found.group(0).replace("<year>", str(max(years))).split())
    return None


def write_notices(folder: pathlib.Path, parts_of: dict, preamble: str) -> list:
    """THIRD-PARTY-NOTICES.txt and licenses/ in folder, for {file's path: its components}.
    Returns the files written, relative to folder."""
    texts, lines, credits = {}, [preamble.rstrip(), ""], {}
    for path, parts in sorted(parts_of.items()):
        lines += ["", "=" * 100, path.replace("/", "\\"), "=" * 100]
        for part in parts:
            for name, text in part.texts.items():
                if texts.setdefault(name, text) != text:
                    raise SystemExit(f"notices: two different texts named licenses/{name}")
            lines += ["", f"  {part.name}" + (f", version {part.version}" if part.version else ""),
                      f"    Supplier: {part.supplier}",
                      f"    Licence: {part.licence}"]
            if QT_COMMERCIAL in part.licence:
                lines.append(f"      (passed on under {without_commercial(part.licence)})")
            lines += ["    Texts: " + ", ".join(f"licenses\\{n.replace('/', chr(92))}"
                                               for n in sorted(part.texts))]
            for key, value in (("purl", part.purl), ("CPE", part.cpe), ("Home", part.homepage)):
                if value:
                    lines.append(f"    {key}: {value}")
            lines += ["    Copyright:"] + [f"      {c}" for c in part.copyright]
            credit = freetype_credit(part.texts, part.copyright)
            if credit:  # once, with the latest year of any part of FreeType
                year = re.search(r"\d{4}", credit).group(0)
                general = credit.replace(year, "<year>")
                credits[general] = max(credits.get(general, year), year)
    if credits:
        lines[1:1] = ["", *(text.replace("<year>", year) for text, year in credits.items())]
    written = [pathlib.Path("THIRD-PARTY-NOTICES.txt")]
    (folder / written[0]).write_text("\n".join(lines) + "\n", newline="\r\n")
    for name, text in sorted(texts.items()):
        target = pathlib.Path("licenses", name)
        (folder / target).parent.mkdir(parents=True, exist_ok=True)
        (folder / target).write_text(text, newline="\r\n")
        written.append(target)
    return written


def imports(objdump: str, path: pathlib.Path) -> list:
    """The DLLs a program or library names in its import table."""
    return re.findall(r"DLL Name: (\S+)", run(objdump, "-p", str(path)))


def bill(folder: pathlib.Path, files: list, parts_of: dict, objdump: str, subject: dict,
         epoch: int, extra: list = ()) -> bytes:
    """The CycloneDX bill of materials of a download that holds folder's files."""
    by_name = {pathlib.PurePath(f).name.lower(): f.as_posix() for f in files}
    components, dependencies = [], [{"ref": subject["bom-ref"],
                                     "dependsOn": [f"file:{f.as_posix()}" for f in files]}]
    plugins = [f.as_posix() for f in files if len(f.parts) > 1 and f.suffix == ".dll"]
    for relative in files:
        path = folder / relative
        key = f"file:{relative.as_posix()}"
        parts = parts_of.get(relative.as_posix(), [])
        entry = {"type": "file", "bom-ref": key, "name": relative.as_posix(),
                 "hashes": cyclonedx.sha256(path.read_bytes())}
        if parts:
            main = parts[0]
            entry.update({"type": "application" if relative.suffix == ".exe" else "library",
                          "supplier": {"name": main.supplier}, "version": main.version,
                          "licenses": cyclonedx.licences(main.licence)})
            if main.purl:
                entry["purl"] = main.purl
            nested = []
            for part in parts:
                item = part.cyclonedx()
                item["bom-ref"] = f"{key}#{part.key}"
                nested.append(item)
            entry["components"] = nested
            needs = sorted({f"file:{by_name[d.lower()]}" for d in imports(objdump, path)
                            if d.lower() in by_name})
            if relative.name == "mirovane.exe":
                needs += [f"file:{p}" for p in plugins]  # loaded by Qt when it starts
            dependencies.append({"ref": key, "dependsOn": needs})
        components.append(entry)
    components.extend(extra)
    return cyclonedx.document(subject, components, dependencies, epoch)
