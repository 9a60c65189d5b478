"""A CycloneDX 1.6 bill of materials in JSON, made the same, byte for byte, from the same contents.

The serial number is a name-based UUID of the document's own contents and the time is
SOURCE_DATE_EPOCH's, so two builds of one commit give one document.

    document(subject, components, dependencies, epoch)   the document's bytes
"""

import hashlib
import json
import time
import uuid

# The namespace of the serial numbers: UUID 5 of the project's address.
NAMESPACE = uuid.uuid5(uuid.NAMESPACE_URL, "https://mirovane.net/")
SUPPLIER = {"name": "The Mirovane developers", "url": ["https://mirovane.net/"],
            "contact": [{"email": "developers@mirovane.net"}]}


def sha256(data: bytes) -> list:
    return [{"alg": "SHA-256", "content": hashlib.sha256(data).hexdigest()}]


def licences(expression: str) -> list:
    """A licence choice: one SPDX identifier as an id, anything more as an expression."""
    if " " in expression.strip() or expression.startswith("LicenseRef-"):
        return [{"expression": expression}]
    return [{"license": {"id": expression}}]


def document(subject: dict, components: list, dependencies: list, epoch: int) -> bytes:
    """The bill of materials of subject (a component: the download), with its components and
    the dependencies between them (bom-refs)."""
    body = {
        "bomFormat": "CycloneDX",
        "specVersion": "1.6",
        "serialNumber": "",
        "version": 1,
        "metadata": {
            "timestamp": time.strftime("%Y-%m-%dT%H:%M:%SZ", time.gmtime(epoch)),
            "lifecycles": [{"phase": "build"}],
            "component": subject,
            "supplier": SUPPLIER,
        },
        "components": components,
        "dependencies": dependencies,
    }
    contents = json.dumps(body, indent=2, ensure_ascii=False, sort_keys=True)
    body["serialNumber"] = f"urn:uuid:{uuid.uuid5(NAMESPACE, contents)}"
    return (json.dumps(body, indent=2, ensure_ascii=False, sort_keys=True) + "\n").encode()
