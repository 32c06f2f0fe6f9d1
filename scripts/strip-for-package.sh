#!/bin/sh
# The strip that installing with stripping (and so the Debian package) runs on each binary: as Debian's
# own packaging tools do it, the compiler's .comment and .note sections go with the symbols.
exec strip --remove-section=.comment --remove-section=.note "$@"
