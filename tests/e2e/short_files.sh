# Files shorter than the header: the missing bytes count as zeros.
source "$(dirname "$0")/common.sh"

put rar6 'Rar!\x1a\x07'     # the seventh magic byte is the zero padding
put rar5 'Rar!\x1a'
put empty ''
put one 'x'
put perlish '#!/usr/bin/per'
put python '#!/usr/bin/python3\n'

run_tool "$NDIR"
expect_lines 'rar6	rar6.rar
rar5	0 matches
empty	0 matches
one	one.mac.dmg
perlish	0 matches
python	0 matches
'
expect_names rar6.rar rar5 empty one.mac.dmg perlish python
