#!/usr/bin/env bash
# Runs hardening-check on programs built for a Debian architecture and reads each answer for the
# architecture it belongs to:
# - "Control flow integrity" looks for the x86 mark (IBT and shadow stack): it belongs to amd64 and i386.
#   "Branch Protection" (hardening-check from Debian 13 on) looks for the arm64 mark (BTI and PAC): it
#   belongs to arm64. On any other architecture the line does not apply and is shown as such.
# - On its own architecture, such a line may say "no" only where the C library's start-up file crti.o of
#   that architecture lacks the mark: the linker marks a program only when every object in it, the
#   start-up files included, is marked, and no link may force it (scripts/check-control-flow-mark.sh).
#   Whether crti.o is marked is read from its notes (readelf -n), with the line that decided it.
# - Every other line must not say "no" ("unknown" passes: the checker found nothing to decide by).
#   scripts/check-hardening.sh ARCH PROGRAM...     (ARCH as dpkg names it: amd64, arm64, ...)
# Exits 1 when an answer fails, 2 on bad arguments.
set -euo pipefail
if [ $# -lt 2 ]; then
  echo "check-hardening: usage: ARCH PROGRAM..." >&2
  exit 2
fi
arch=$1
shift
if ! gnuType=$(dpkg-architecture -a"$arch" -qDEB_HOST_GNU_TYPE 2>/dev/null); then
  echo "check-hardening: \"$arch\" is not an architecture dpkg knows" >&2
  exit 2
fi

# The control-flow line of each architecture, and the marks its start-up file must carry.
case "$arch" in
  amd64 | i386) ownLine="Control flow integrity" marks="IBT SHSTK" ;;
  arm64) ownLine="Branch Protection" marks="BTI PAC" ;;
  *) ownLine="" marks="" ;;
esac
otherLines='^(Control flow integrity|Branch Protection)$'

crtiMarked=no
if [ -n "$ownLine" ]; then
  if ! crti=$("$gnuType-gcc" -print-file-name=crti.o 2>/dev/null) || [ ! -f "$crti" ]; then
    echo "check-hardening: no $gnuType-gcc to find the start-up file crti.o of $arch" >&2
    exit 2
  fi
  crti=$(realpath "$crti")
  note=$(readelf -n "$crti" | grep -E '(x86|AArch64) feature: ' || true)
  crtiMarked=yes
  for mark in $marks; do
    grep -qE "feature: (.*, )?$mark(,|$)" <<<"$note" || crtiMarked=no
  done
  echo "check-hardening: $arch start-up file $crti: ${note:-no control-flow note} (readelf -n);" \
    "the $marks mark $([ $crtiMarked = yes ] && echo is there || echo is missing)"
fi

status=0
# Its error stream apart, so that no message lands inside an answer (objdump cannot disassemble another
# architecture's code for the stack-clash line, which then says "unknown").
errors=$(mktemp)
output=$(hardening-check "$@" 2>"$errors") || true
sed 's/^/check-hardening: hardening-check: /' "$errors"
rm -f "$errors"
while IFS= read -r line; do
  if [[ $line != " "* ]]; then
    echo "$line"
    continue
  fi
  name=${line#" "}
  name=${name%%:*}
  answer=${line#*: }
  if [[ $answer != no* ]]; then
    echo "$line"
  elif [ "$name" = "$ownLine" ] && [ $crtiMarked = no ]; then
    echo "$line  [accepted: $arch's crti.o carries no $marks mark, so no program can honestly]"
  elif [ "$name" != "$ownLine" ] && [[ $name =~ $otherLines ]]; then
    echo "$line  [does not apply: another architecture's mark]"
  else
    echo "$line  [fails]"
    status=1
  fi
done <<<"$output"
if [ $status -ne 0 ]; then
  echo "check-hardening: hardening-check answers no where it must not"
fi
exit $status
