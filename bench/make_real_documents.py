#!/usr/bin/python3
"""Builds the corpus of real documents that bench/real_documents.py scores.

The files are real documents that others gathered from bug reports and public
archives and keep in public git repositories (the test files of office
import libraries, format collections of archivists, libmagic's own tests);
nothing of it is made here. bench/real_documents.tsv names each file: its
collection, its path in that collection's repository (at the commit pinned
below) and the extensions that count as right for it, the usual one first.

Each collection's repository is read with git: from a local copy when one
is at --mirrors/<owner>+<name>/repo (a bare snapshot), else cloned bare
without blobs from GitHub into --cache and its blobs fetched on demand. The
files land under --out/<collection>/<path>, with --out/manifest.tsv beside.
Files the copy lacks (snapshots leave out files of 4 MiB and more) are
skipped with a count.

--write-manifest rewrites bench/real_documents.tsv from the repositories:
every file whose extension names a kind in EXTENSIONS, at most PER_EXTENSION
of each extension in each collection (picked by a hash of the path, so the
choice does not follow the repository's order), one copy of each content,
and none whose name says it is broken or whose first bytes contradict its
extension (a ".doc" that is a zip, a ".xlsx" that is not one). NAMED_FILES
adds files by name; CONTENT_KINDS gives the answers that count for files
whose names say another kind than their content, checked by hand, and
content_accepted those that a format's own signature gives.

Usage: bench/make_real_documents.py [--out build/realdocs] [--mirrors DIR] [--cache DIR]
       bench/make_real_documents.py --write-manifest [--mirrors DIR]
"""
import argparse
import hashlib
import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MANIFEST = os.path.join(ROOT, "bench", "real_documents.tsv")
MANIFEST_HEADER = "collection\tpath\taccepted\tfamily"

# name, repository, commit, held out, the folders of it that hold documents
# and, where a collection is taken for a few kinds only, those extensions
# (else None: every kind of EXTENSIONS).
# A held-out collection is never looked at file by file while the library's
# rules are written: its figures are the honest ones.
COLLECTIONS = [
    ("format-corpus", "openpreserve/format-corpus", "9f263890680a8818cc622569b4a16298d08f0ead", True, [""], None),
    ("poi", "apache/poi", "a528d43590b3f71aa94310de881a35af887fdd0f", False, ["test-data/"], None),
    ("libetonyek", "LibreOffice/libetonyek", "37704aa6ac808fe7f7a14b4515503c3de3bc0dbf", False, [""], None),
    ("libvisio", "LibreOffice/libvisio", "f793b99ae50f9dc8cc14683eac0fdca619b13eaa", False, [""], None),
    ("libstaroffice", "fosnola/libstaroffice", "6d97d021adc8ffd4663c03ccbf9ad21617f76222", False, [""], None),
    ("sheetjs", "SheetJS/test_files", "fb4bdf0158ba308c182f82663b61607bb79cd4b5", False, [""], None),
    ("small", "mathiasbynens/small", "267b39f682598eebb0dafe7590b1504be79b5cad", False, [""], None),
    ("jackcess", "jahlborn/jackcess", "7a3433dc34cfb8d68b2530215b1027b4dec4bdde", False, ["src/"], None),
    ("java-libpst", "rjohnsondev/java-libpst", "f158a64acf2a0e46ac3bd699bc7a5a8da6c40d26", False, [""], None),
    ("pst-extractor", "epfromer/pst-extractor", "7d08ef9bc7112c23275fa948306c76bba6e24fba", False, [""], None),
    ("msg-extractor", "TeamMsgExtractor/msg-extractor", "68858f016d010ebf591cbcd7ad5fe7c09b40ea7b", False, [""], None),
    ("mpxj", "joniles/mpxj", "764fe84fd112dff40cfe8638848105371cb075ba", False, ["junit/data/"], None),
    ("onenote.rs", "msiemens/onenote.rs", "099c829f0f6632725d10979ae3e55f18d8656446", False, ["tests/samples/"], None),
    ("file-tests", "file/file", "9de57c0b0607c53c6196967fbad53499022a0991", False, ["tests/"], None),
    ("mboxparser", "gitpan/Mail-MboxParser", "0ee8baa56931c9e7f8d35107e318d5722c434bba", False, [], None),
    # Camera raw files, Radiance and Windows Media samples cut down to their
    # headers and metadata by ExifTool's and Exiv2's authors for their tests.
    ("exiftool", "exiftool/exiftool", "38bdbace3037a89d2c332664fc60bddad118958a", False, ["t/images/"],
     {"dng", "cr2", "nef", "arw", "pef", "orf", "rw2", "srw", "mrw", "iiq", "hdr", "wmv", "wma"}),
    ("exiv2", "Exiv2/exiv2", "e84cb9db060527416a43f3d257656331c85aff28", False, ["test/data/"],
     {"dng", "cr2", "nef", "arw", "pef", "orf", "rw2", "srw", "mrw", "iiq"}),
    ("mutagen", "quodlibet/mutagen", "e89c77ad1bccd6c4b54bd9240469232affdd30d7", False, ["tests/data/"],
     {"wma", "wmv", "asf"}),
    # CMS and time-stamp messages of a DER library's tests.
    ("asn1crypto", "wbond/asn1crypto", "a767d2daa8ef4549d497b67a0304561c2eb4b858", False, ["tests/fixtures/"],
     {"p7m", "p7s", "p7b", "p7c", "tsr", "tsd"}),
    # Time-stamp authorities' responses kept by an RFC 3161 client's tests.
    ("rfc3161-client", "trailofbits/rfc3161-client", "886f40b23e1abd9c4c621d3f7f95601688522f05", False,
     ["test/fixtures/"], {"tsr"}),
    # Signature containers of the Estonian ID software's tests.
    ("libdigidocpp", "open-eid/libdigidocpp", "bc64a76d46a524f92299ee5c57f6a91fc3e58ccb", False, ["test/data/"],
     {"asice", "asics"}),
    ("3mf-samples", "3MFConsortium/3mf-samples", "665e20dc4d7777fd4c9702bca86a2d4028440337", False, ["examples/"],
     {"3mf"}),
    # Print test documents that Windows' driver samples shipped, XPS and OpenXPS.
    ("windows-driver-samples", "microsoft/Windows-driver-samples", "97cf5197cf5b882b2c689d8dc2b555f2edf8f418", False,
     ["print/SampleXPS/QualityLogicMinBar/", "print/SampleOpenXPS/QualityLogicMinBar_oxps/"], {"xps", "oxps"}),
    ("bundletool", "google/bundletool", "1de340a763c903e4b6db83227f145b2181beccbd", False,
     ["src/test/resources/"], {"apk", "aab"}),
    ("androguard", "androguard/androguard", "4573c8c111ba01ec5063925506f5bf5f9f4b536b", False, ["tests/data/APK/"],
     {"apk", "aab"}),
    # Word 97-2003 documents of a text extractor's tests.
    ("node-word-extractor", "morungos/node-word-extractor", "84d92798162267d8c02e00c90bae5053ce78076c", False,
     ["__tests__/data/"], {"doc", "dot"}),
    # Certificate bundles (PEM) of a certificate inspector's tests.
    ("certigo", "square/certigo", "e55de0bdf3a8bf87019dd197504ec27568106a2c", False, ["test-certs/"], {"p7b"}),
    # Certificate bundles of a PKI toolkit's tests, named below.
    ("cfssl", "cloudflare/cfssl", "ed8df49712657524e8647cb7a9576422baa2faa1", False, [], None),
    # Certificate bundles that the US Federal PKI and the DoD publish, kept by
    # a path validator's tests.
    ("rust-pki", "carl-wallace/rust-pki", "6a51f93df47aa6bb4218e6c69f9e4513048f73bc", False,
     ["certval/tests/"], {"p7c"}),
    # Signed documents (CAdES .p7m, also as PEM and bare base64), time-stamp
    # tokens and time-stamped data that an Italian public archive's
    # signature verifier is tested on.
    ("parer", "RegioneER/parer-verifica-firma-crypto", "b1ab66affb23aa9a6ad4ee3820ec1da9db647334", False,
     ["src/test/resources/"], {"p7m", "tsr", "tsd"}),
]

# Files whose name does not carry their kind: (collection, path, accepted).
NAMED_FILES = [
    ("mboxparser", "t/testbox", "mbox"),
    ("mboxparser", "t/qpname", "mbox"),
    ("file-tests", "tests/issue311docx.testfile", "docx"),
    ("file-tests", "tests/issue359xlsx.testfile", "xlsx"),
    ("file-tests", "tests/HWP97.hwp.testfile", "hwp"),
    ("file-tests", "tests/HWP2016.hwp.testfile", "hwp"),
    ("file-tests", "tests/HWP2016.hwpx.zip.testfile", "hwpx/zip"),
    ("asn1crypto", "tests/fixtures/cms-compressed.der", "p7z/p7m"),
    ("asn1crypto", "tests/fixtures/meca2_compressed.der", "p7z/p7m"),
    ("asn1crypto", "tests/fixtures/cms-digested.der", "p7m"),
    ("asn1crypto", "tests/fixtures/cms-encrypted.der", "p7m"),
    ("asn1crypto", "tests/fixtures/cms-enveloped.der", "p7m"),
    ("asn1crypto", "tests/fixtures/cms-signed.der", "p7m"),
    ("asn1crypto", "tests/fixtures/cms-signed-digested.der", "p7m"),
    ("asn1crypto", "tests/fixtures/cms-signed-indefinite-length.der", "p7m"),
    ("asn1crypto", "tests/fixtures/pkcs7-signed.der", "p7m"),
    ("asn1crypto", "tests/fixtures/pkcs7-signed-digested.der", "p7m"),
    ("asn1crypto", "tests/fixtures/mozilla-generated-by-openssl.pkcs7.der", "p7s"),
    ("asn1crypto", "tests/fixtures/tsp_response", "tsr"),
    ("cfssl", "helpers/testdata/bundle_pkcs7.pem", "p7b"),
    ("cfssl", "helpers/testdata/cert_pkcs7.pem", "p7b"),
    ("cfssl", "helpers/testdata/empty_pkcs7.der", "p7b"),
    # Word 6/95 documents and a Word for Windows 2 one beyond the forty .doc
    # files of POI's that the hash picks.
    ("poi", "test-data/document/word2.doc", "doc"),
    ("poi", "test-data/document/Word6.doc", "doc"),
    ("poi", "test-data/document/Word95.doc", "doc"),
    ("poi", "test-data/document/Word6_sections.doc", "doc"),
    ("poi", "test-data/document/Word6_sections2.doc", "doc"),
    ("poi", "test-data/document/52117.doc", "doc"),
    ("poi", "test-data/document/Bug50955.doc", "doc"),
    ("poi", "test-data/document/Bug51944.doc", "doc"),
    ("poi", "test-data/document/Bug60936.doc", "doc"),
    ("poi", "test-data/document/Bug60942.doc", "doc"),
    ("poi", "test-data/document/word95err.doc", "doc"),
    ("poi", "test-data/hpsf/TestMickey.doc", "doc"),
]

# Files whose name says another kind than their content, checked by hand:
# (collection, path) -> the accepted answers their content gives.
CONTENT_KINDS = {
    # A Word for DOS 5 document (a style sheet and a printer named in its
    # header, no page count), though named as a Write file.
    ("poi", "test-data/document/MSWriteOld.wri"): "doc",
    # An Excel 5-95 workbook (Book and Workbook streams, Excel's class ID).
    ("poi", "test-data/hpsf/TestRobert_Flaherty.doc"): "xls",
    # A StarImpress 5.0 presentation (its class ID and clipboard name).
    ("libstaroffice", "regression/Pres5/LWE-Dublin.sda"): "sdd",
    # Macro-enabled main parts by their declared content types, though
    # named as the plain forms.
    ("poi", "test-data/slideshow/keyframes.pptx"): "pptm",
    ("poi", "test-data/integration/stress024.xlsx"): "xlsm",
}

# Extension -> (family, accepted answers, the usual first).
_FAMILIES = {
    "word": "doc dot wri",
    "excel": "xls xlt xlw",
    "powerpoint": "ppt pot pps",
    "ooxml": "docx docm dotx dotm xlsx xlsm xlsb xltx xltm pptx pptm ppsx ppsm potx potm thmx vsdx vsdm vssx vstx",
    "odf": "odt ods odp odg odf odb ott ots otp otg fodt fods fodp sxw sxc sxi sxd stw",
    "staroffice": "sdw sdc sdd sda vor sgl smf",
    "ole2-other": "pub vsd vss vst mpp mpt msi msp mst dgn wps xlr",
    "outlook": "msg oft pst ost",
    "access": "mdb accdb mde accde",
    "lotus-quattro": "wk1 wk3 wk4 wks 123 wq1 wq2 wb1 wb2 wb3 qpw",
    "wordperfect": "wpd wp wp5 wp6 wpt",
    "onenote": "one onetoc2",
    "mail": "mbox eml",
    "iwork": "pages key numbers",
    "ebook": "epub mobi azw azw3 lit lrf fb2 djvu",
    "zip-other": "xps oxps 3mf asice asics apk aab",
    "raw-camera": "dng cr2 nef arw pef orf rw2 srw mrw iiq",
    "cms": "p7m p7s p7b p7c p7z tsr tsd",
    "asf": "asf wma wmv",
    "calendar": "ics vcs vcf",
    "other-document": "rtf pdf hwp sam lwp dbf slk dif",
    "image": "jpg png gif bmp tif webp jp2 ico psd hdr",
}
EXTENSIONS = {ext: family for family, exts in _FAMILIES.items() for ext in exts.split()}
# Spellings that name the same kind.
_SAME = [{"jpg", "jpeg", "jpe"}, {"tif", "tiff"}, {"wpd", "wp", "wp5", "wp6"}, {"p7b", "p7c"}]

PER_EXTENSION = 40
MAX_BYTES = 4 << 20
# Names that say the file is damaged or not what its extension says.
BROKEN_NAME = re.compile(r"corrupt|broken|truncat|invalid|bad|fake|notan?[A-Z_-]|not_?an?_|empty|garbage|fuzz|crash|"
                         r"clusterfuzz|poc|malformed|damaged", re.I)

ZIP_FAMILY = set(_FAMILIES["ooxml"].split() + _FAMILIES["odf"].split() + _FAMILIES["iwork"].split()
                 + _FAMILIES["zip-other"].split() + ["epub"]) - {"fodt", "fods", "fodp", "key", "pages", "numbers"}
TEXT_KINDS = {"fodt", "fods", "fodp", "rtf", "mbox", "eml", "ics", "vcs", "vcf", "fb2", "slk", "dif", "hdr"}


def accepted_for(ext):
    for group in _SAME:
        if ext in group:
            return [ext] + sorted(group - {ext})
    return [ext]


def contradicts(ext, head):
    """True when the first bytes plainly say another kind than the extension."""
    if not head:
        return True
    is_zip = head.startswith(b"PK\x03\x04")
    if ext in ZIP_FAMILY:
        return not is_zip
    if ext in TEXT_KINDS:
        return False
    if is_zip and ext not in ("key", "pages", "numbers", "hwp"):
        return True
    stripped = head.lstrip(b"\xef\xbb\xbf \t\r\n")
    return stripped.startswith((b"{\\rtf", b"%PDF", b"<")) and ext not in ("rtf", "pdf")


def content_accepted(ext, head):
    """The accepted answers where a file's own signature names another
    kind than its name: WordPerfect writes "\\xFFWPC" first, and its users
    often named their documents .doc."""
    if EXTENSIONS.get(ext) == "word" and head.startswith(b"\xffWPC"):
        return "/".join(accepted_for("wpd"))
    return None


def repository_dir(repo, mirrors, cache, commit):
    """A git directory holding |commit| of |repo|: the local snapshot, else a blobless clone."""
    local = os.path.join(mirrors, repo.replace("/", "+"), "repo")
    if os.path.isdir(local):
        return local
    target = os.path.join(cache, repo.replace("/", "+") + ".git")
    if not os.path.isdir(target):
        os.makedirs(cache, exist_ok=True)
        subprocess.check_call(["git", "clone", "--quiet", "--bare", "--filter=blob:none",
                               f"https://github.com/{repo}", target])
    if commit and subprocess.run(["git", "-C", target, "cat-file", "-e", commit + "^{commit}"],
                                 capture_output=True).returncode != 0:
        subprocess.check_call(["git", "-C", target, "fetch", "--quiet", "--filter=blob:none", "origin", commit])
    return target


class BlobReader:
    """Reads many blobs through one `git cat-file --batch`."""

    def __init__(self, git_dir):
        self.proc = subprocess.Popen(["git", "-C", git_dir, "cat-file", "--batch"], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE)

    def read(self, object_name):
        self.proc.stdin.write(object_name.encode() + b"\n")
        self.proc.stdin.flush()
        header = self.proc.stdout.readline().split()
        if len(header) < 3 or header[1] != b"blob":
            return None
        data = self.proc.stdout.read(int(header[2]))
        self.proc.stdout.read(1)
        return data

    def close(self):
        self.proc.stdin.close()
        self.proc.wait()


def commit_of(git_dir, commit):
    return commit or subprocess.check_output(["git", "-C", git_dir, "rev-parse", "HEAD"], text=True).strip()


def write_manifest(mirrors, cache):
    rows, seen, dropped = [], set(), 0
    for name, repo, commit, _held, roots, kinds in COLLECTIONS:
        git_dir = repository_dir(repo, mirrors, cache, commit)
        commit = commit_of(git_dir, commit)
        listing = subprocess.check_output(["git", "-C", git_dir, "ls-tree", "-r", "-l", "-z", commit])
        by_ext = {}
        for entry in listing.split(b"\0"):
            if not entry:
                continue
            meta, _, path = entry.decode("utf-8", "replace").partition("\t")
            _mode, kind, blob, size = meta.split()
            if kind != "blob" or not size.isdigit() or not 0 < int(size) < MAX_BYTES:
                continue
            if not any(path.startswith(root) for root in roots):
                continue
            base = os.path.basename(path)
            ext = base.rpartition(".")[2].lower() if "." in base else ""
            if ext not in EXTENSIONS or (kinds is not None and ext not in kinds) or BROKEN_NAME.search(base):
                continue
            by_ext.setdefault(ext, []).append((hashlib.sha1(path.encode()).hexdigest(), path, blob))
        reader = BlobReader(git_dir)
        for ext, files in sorted(by_ext.items()):
            taken = 0
            for _key, path, blob in sorted(files):
                if taken == PER_EXTENSION:
                    break
                if blob in seen:
                    continue
                data = reader.read(blob)
                if data is None or contradicts(ext, data[:64]):
                    dropped += 1
                    continue
                seen.add(blob)
                accepted = (CONTENT_KINDS.get((name, path)) or content_accepted(ext, data[:64])
                            or "/".join(accepted_for(ext)))
                family = EXTENSIONS.get(accepted.split("/")[0], EXTENSIONS[ext])
                rows.append((name, path, accepted, family))
                taken += 1
        for collection, path, accepted in NAMED_FILES:
            if collection == name and all(row[:2] != (name, path) for row in rows):
                ext = accepted.split("/")[0]
                rows.append((name, path, accepted, EXTENSIONS.get(ext, "other-document")))
        reader.close()
    with open(MANIFEST, "w") as f:
        f.write(MANIFEST_HEADER + "\n")
        for row in rows:
            f.write("\t".join(row) + "\n")
    print(f"make_real_documents: {len(rows)} files in {MANIFEST}, {dropped} dropped as contradicting their names")


def load_manifest(path=MANIFEST):
    with open(path) as f:
        if f.readline().rstrip("\n") != MANIFEST_HEADER:
            sys.exit(f"make_real_documents: {path} is not a manifest of this layout")
        return [dict(zip(MANIFEST_HEADER.split("\t"), line.rstrip("\n").split("\t"))) for line in f if line.strip()]


def build(out, mirrors, cache):
    rows = load_manifest()
    held = {name: held_out for name, _repo, _commit, held_out, _roots, _kinds in COLLECTIONS}
    written, missing = [], 0
    for name, repo, commit, _held, _roots, _kinds in COLLECTIONS:
        mine = [r for r in rows if r["collection"] == name]
        if not mine:
            continue
        git_dir = repository_dir(repo, mirrors, cache, commit)
        commit = commit_of(git_dir, commit)
        reader = BlobReader(git_dir)
        for row in mine:
            data = reader.read(f"{commit}:{row['path']}")
            if data is None:
                missing += 1
                continue
            target = os.path.join(out, name, row["path"])
            os.makedirs(os.path.dirname(target), exist_ok=True)
            with open(target, "wb") as f:
                f.write(data)
            written.append(row)
        reader.close()
        print(f"make_real_documents: {name}: {sum(r['collection'] == name for r in written)} files", flush=True)
    with open(os.path.join(out, "manifest.tsv"), "w") as f:
        f.write("collection\tsplit\tfamily\taccepted\tfile\n")
        for row in written:
            split = "held-out" if held[row["collection"]] else "tuned"
            f.write(f"{row['collection']}\t{split}\t{row['family']}\t{row['accepted']}\t"
                    f"{os.path.join(row['collection'], row['path'])}\n")
    print(f"make_real_documents: {len(written)} files in {out}, {missing} not in the copies")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--out", default=os.path.join(ROOT, "build", "realdocs"))
    parser.add_argument("--mirrors", default="/work/.mirror", help="folder of bare snapshots, <owner>+<name>/repo")
    parser.add_argument("--cache", default=os.path.join(ROOT, "build", "realdocs-cache"),
                        help="where repositories without a snapshot are cloned")
    parser.add_argument("--write-manifest", action="store_true", help="rewrite bench/real_documents.tsv")
    args = parser.parse_args()
    if args.write_manifest:
        write_manifest(args.mirrors, args.cache)
    else:
        build(args.out, args.mirrors, args.cache)


if __name__ == "__main__":
    main()
