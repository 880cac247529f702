#!/usr/bin/python3
"""Writes seed files for the analysis fuzzer into a folder: small compound
files (OLE2) of the kinds the compound-document reader tells apart, with
their directory, allocation table and main stream near the start so that
they fit the fuzzer's length limit, and the headers our definitions pack
tells office and mail formats by (Outlook stores, Access, Lotus 1-2-3,
Quattro Pro, early Excel, OneNote, Windows Write, mailboxes) and a PEM
certificate bundle. Mutations of these reach the readers' deeper paths
(class IDs, tree links, stream chains, record walks) sooner than mutations
of unrelated files.

Usage: fuzz/make_seeds.py FOLDER
"""
import os
import struct
import sys

SECTOR = 512
END_OF_CHAIN = 0xFFFFFFFE
FREE = 0xFFFFFFFF
NO_ENTRY = 0xFFFFFFFF
OLE = bytes.fromhex("c000000000000046")


def entry(name, kind, child=NO_ENTRY, right=NO_ENTRY, start=0, size=0, class_id=b""):
    encoded = name.encode("utf-16-le")
    bytes_ = bytearray(128)
    bytes_[:len(encoded)] = encoded
    struct.pack_into("<HBBIII", bytes_, 0x40, len(encoded) + 2, kind, 1, NO_ENTRY, right, child)
    bytes_[0x50:0x50 + len(class_id)] = class_id
    struct.pack_into("<II", bytes_, 0x74, start, size)
    return bytes(bytes_)


def compound(children, class_id=b""):
    """Header, allocation table (sector 0), directory (sector 1), then each
    child's data in regular sectors; children are siblings below the root."""
    fat = [FREE] * (SECTOR // 4)
    fat[0] = 0xFFFFFFFD  # the table's own sector
    fat[1] = END_OF_CHAIN
    data = b""
    next_sector = 2
    entries = [None]
    for i, (name, kind, payload) in enumerate(children):
        start, size = 0, len(payload)
        if payload:
            sectors = (len(payload) + SECTOR - 1) // SECTOR
            start = next_sector
            for k in range(sectors):
                fat[start + k] = start + k + 1 if k + 1 < sectors else END_OF_CHAIN
            next_sector += sectors
            data += payload.ljust(sectors * SECTOR, b"\0")
        right = i + 2 if i + 1 < len(children) else NO_ENTRY
        entries.append(entry(name, kind, right=right, start=start, size=size))
    entries[0] = entry("Root Entry", 5, child=1 if children else NO_ENTRY, class_id=class_id)
    directory = b"".join(entries).ljust(SECTOR, b"\0")
    header = bytearray(SECTOR)
    header[:8] = bytes.fromhex("d0cf11e0a1b11ae1")
    struct.pack_into("<HHHH", header, 0x18, 0x3E, 3, 0xFFFE, 9)
    struct.pack_into("<H", header, 0x20, 6)
    struct.pack_into("<IIIIIII", header, 0x2C, 1, 1, 0, 4096, END_OF_CHAIN, 0, END_OF_CHAIN)
    struct.pack_into("<I", header, 0x48, 0)
    for i in range(109):
        struct.pack_into("<I", header, 0x4C + 4 * i, 0 if i == 0 else FREE)
    return bytes(header) + struct.pack(f"<{len(fat)}I", *fat) + directory + data


def word_stream(template):
    fib = bytearray(4096)
    struct.pack_into("<HHHHHH", fib, 0, 0xA5EC, 0xC1, 0x53, 0x409, 0, 1 if template else 0x200)
    return bytes(fib)


def workbook_stream(template):
    records = struct.pack("<HH", 0x0809, 16) + bytes(16)
    if template:
        records += struct.pack("<HH", 0x0060, 0)
    records += struct.pack("<HH", 0x005C, 4) + b"user" + struct.pack("<HH", 0x000A, 0)
    return records.ljust(4096, b"\0")


def seeds():
    yield "ole-doc", compound([("WordDocument", 2, word_stream(False)), ("1Table", 2, b"")],
                              bytes.fromhex("0609020000000000") + OLE)
    yield "ole-dot", compound([("WordDocument", 2, word_stream(True))])
    yield "ole-xlt", compound([("Workbook", 2, workbook_stream(True))],
                              bytes.fromhex("2008020000000000") + OLE)
    yield "ole-msg", compound([("__substg1.0_0037001F", 2, b""), ("__properties_version1.0", 2, b"")])
    yield "ole-oft", compound([("__substg1.0_0037001F", 2, b"")], bytes.fromhex("46f0060000000000") + OLE)
    yield "ole-msp", compound([("Contents", 2, b"")], bytes.fromhex("86100c0000000000") + OLE)
    yield "ole-pub", compound([("Quill", 1, b""), ("Contents", 2, b"")])
    yield "ole-sdw", compound([("StarWriterDocument", 2, b"")])
    yield "ole-qpw", compound([("NativeContent_MAIN", 2, b"")], bytes.fromhex("00b4020000000000") + OLE)
    yield "pst", b"!BDN\x12\x34\x56\x78SM\x17\x00\x13\x00\x01\x01" + bytes(496)
    yield "ost", b"!BDN\x12\x34\x56\x78SO\x24\x00\x13\x00\x01\x01" + bytes(496)
    yield "accdb", b"\x00\x01\x00\x00Standard ACE DB\x00\x02\x00\x00\x00" + bytes(488)
    yield "wk1", b"\x00\x00\x02\x00\x06\x04\x06\x00\x08\x00" + bytes(54)
    yield "wk4", b"\x00\x00\x1a\x00\x02\x10\x04\x00" + bytes(56)
    yield "wq1", b"\x00\x00\x02\x00\x20\x51\xcc\x00" + bytes(56)
    yield "xls-biff3", b"\x09\x02\x06\x00\x00\x00\x10\x00\x00\x00" + bytes(54)
    yield "one", bytes.fromhex("e4525c7b8cd8a74daeb15378d02996d3") + bytes(112)
    yield "wri", struct.pack("<HHH", 0xBE32, 0, 0xAB00) + bytes(90) + struct.pack("<H", 3) + bytes(286)
    yield "pem-p7b", (b"-----BEGIN PKCS7-----\nMCMGCSqGSIb3DQEHAqAWMBQCAQExADALBgkqhkiG9w0BBwExAA==\n"
                      b"-----END PKCS7-----\n")
    # A bundle as bare base64, and a signed PDF whose header lies inside.
    yield "base64-p7b", (b"MIGLBgkqhkiG9w0BBwKgfjB8AgEBMQAwCwYJKoZIhvcNAQcBoGYwZAUFBQUFBQUFBQUFBQUFBQUFBQUFBQUF"
                         b"BQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUF"
                         b"BQUFBQUFBQUFBQUFBQUxAA==\n")
    pdf = b"%PDF-1.7\n1 0 obj\n<< /Type /Catalog >>\nendobj\n"
    content = b"\x30\x3f\x06\x09\x2a\x86\x48\x86\xf7\x0d\x01\x07\x01\xa0\x32\x04\x30" + pdf[:48]
    signed = (b"\x02\x01\x01\x31\x0f\x30\x0d\x06\x09\x60\x86\x48\x01\x65\x03\x04\x02\x01\x05\x00"
              + content + b"\x31\x00")
    body = b"\x06\x09\x2a\x86\x48\x86\xf7\x0d\x01\x07\x02\xa0\x81" + bytes([len(signed) + 2]) + b"\x30" \
        + bytes([len(signed)]) + signed
    yield "signed-pdf", b"\x30\x81" + bytes([len(body)]) + body
    yield "mbox", (b"From alice@example.org Mon Jan  1 10:00:00 2024\nReturn-Path: <alice@example.org>\n"
                   b"Subject: minutes\n\nSee you.\n")


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__.strip().splitlines()[-1])
    os.makedirs(sys.argv[1], exist_ok=True)
    for name, data in seeds():
        with open(os.path.join(sys.argv[1], f"seed-{name}"), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
