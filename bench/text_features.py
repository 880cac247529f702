"""The features the text model reads from a file's first bytes.

lib/ident/text/text_model.cc computes exactly the same ones; the training
script (bench/train_text_model.py) and the library must agree byte for byte,
and the unit test of the model checks a few of them.

A file's first 8 KiB (without a UTF-8 byte order mark) are cut into lines at
"\\n" (a "\\r" before it dropped), at most 300. Every line that holds more
than blanks gives:
  - its tokens: runs of letters, digits and "_" (bytes from 0x80 count as
    letters; such a word is the token "U"; a run of digits alone is "0";
    a word is cut to 24 bytes) and runs of other non-blank bytes, cut to 3;
  - "^" and its first token, and "$" and its last ("$w" for a word);
  - "#" and the shape of its first four tokens (a word "w", a number "0",
    other runs as they are), such as "#w:w" for "name: value";
  - "~t" or "~s" when it is indented with a tab or a blank.
A feature counts once per file however often it occurs, and is known to the
model by the 32-bit FNV-1a hash of its bytes.
"""

HEAD_BYTES = 8 << 10
MAX_LINES = 300
MAX_WORD = 24
MAX_PUNCT = 3
SHAPE_TOKENS = 4
BLANKS = b" \t\r\f\v"


def _is_word_byte(b):
    return (48 <= b <= 57) or (65 <= b <= 90) or (97 <= b <= 122) or b == 95 or b >= 0x80


def tokens(rest):
    """[(token, is_word)] of a line with its leading blanks removed."""
    out = []
    i, n = 0, len(rest)
    while i < n:
        b = rest[i]
        if b in BLANKS:
            i += 1
            continue
        j = i
        if _is_word_byte(b):
            while j < n and _is_word_byte(rest[j]):
                j += 1
            word = rest[i:j]
            if any(c >= 0x80 for c in word):
                token = b"U"
            elif word.isdigit():
                token = b"0"
            else:
                token = word[:MAX_WORD]
            out.append((token, True))
        else:
            while j < n and not _is_word_byte(rest[j]) and rest[j] not in BLANKS:
                j += 1
            out.append((rest[i:min(j, i + MAX_PUNCT)], False))
        i = j
    return out


def features(head):
    """The set of feature strings (bytes) of |head|."""
    head = head[:HEAD_BYTES]
    if head.startswith(b"\xef\xbb\xbf"):
        head = head[3:]
    found = set()
    for line in head.split(b"\n")[:MAX_LINES]:
        if line.endswith(b"\r"):
            line = line[:-1]
        stripped = line.lstrip(b" \t")
        toks = tokens(stripped)
        if not toks:
            continue
        indent = line[:len(line) - len(stripped)]
        if indent:
            found.add(b"~t" if indent[:1] == b"\t" else b"~s")
        for token, _word in toks:
            found.add(token)
        found.add(b"^" + toks[0][0])
        last, last_word = toks[-1]
        found.add(b"$w" if last_word else b"$" + last)
        shape = b"".join((b"0" if t == b"0" else b"w") if w else t for t, w in toks[:SHAPE_TOKENS])
        found.add(b"#" + shape)
    return found


def fnv1a(data):
    h = 0x811C9DC5
    for b in data:
        h = ((h ^ b) * 0x01000193) & 0xFFFFFFFF
    return h


def hashed_features(head):
    return sorted({fnv1a(f) for f in features(head)})
