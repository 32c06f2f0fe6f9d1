#!/usr/bin/env bash
# Fails when a link in a build folder forces the control-flow mark (IBT and shadow stack on x86, BTI and
# PAC on arm64) onto a program instead of letting the linker decide it.
#
# The linker marks a program when every object in it is marked, the C library's start-up files
# included. Options such as -z ibt, -z shstk or -z force-bti claim the mark for the whole program
# whatever its objects say, and a loader that enforces the mark then faults in start-up code built
# without it. Two checks:
# - no link command of the build (CMake's link.txt files, or build.ninja) names such an option;
# - no program claims a mark that the compiler's own crti.o lacks (readelf -n): a program can carry a
#   mark honestly only when its start-up files do.
#   scripts/check-control-flow-mark.sh READELF COMPILER BUILD_FOLDER
# Prints one line per fault and exits 1, or one line saying what it checked.
set -euo pipefail
if [ $# -ne 3 ]; then
  echo "check-control-flow-mark: usage: READELF COMPILER BUILD_FOLDER" >&2
  exit 2
fi
readelf=$1
compiler=$2
build=$3
if [ ! -d "$build" ]; then
  echo "check-control-flow-mark: $build: no such build folder" >&2
  exit 2
fi

# The control-flow features a file's GNU property note claims, one per line (IBT, SHSTK, BTI, PAC).
features() {
  "$readelf" -n "$1" 2>/dev/null | sed -n 's/.*\(x86\|AArch64\) feature: //p' | tr ',' '\n' | tr -d ' ' |
    grep -E '^(IBT|SHSTK|BTI|PAC)$' | sort -u || true
}

faults=0

# Link commands that force the mark, in any of the spellings the compiler driver passes on.
forcing='-z[, ]?(ibt|shstk|force-ibt|force-bti)([ ,"]|$)'
while IFS= read -r file; do
  while IFS= read -r option; do
    echo "check-control-flow-mark: ${file#"$build"/} links with \"$option\", which forces the mark"
    faults=$((faults + 1))
  done < <(grep -oE -- "$forcing" "$file" | sed -E 's/[ ,"]$//' | sort -u)
done < <(find "$build" \( -name link.txt -o -name build.ninja \) -type f | sort)

crti=$(realpath -m "$("$compiler" -print-file-name=crti.o)")
if [ ! -f "$crti" ]; then
  echo "check-control-flow-mark: $compiler names no crti.o (\"$crti\")" >&2
  exit 2
fi
startMarks=$(features "$crti")

programs=0
while IFS= read -r program; do
  [ "$(head -c 4 "$program" | od -An -c | tr -d ' ')" = '177ELF' ] || continue
  programs=$((programs + 1))
  for mark in $(features "$program"); do
    if ! grep -qx "$mark" <<<"$startMarks"; then
      echo "check-control-flow-mark: ${program#"$build"/} claims $mark, which the start-up file $crti lacks: a link forced it"
      faults=$((faults + 1))
    fi
  done
done < <(find "$build" -path '*/CMakeFiles' -prune -o -type f -perm -u+x -print | sort)

if [ "$faults" -gt 0 ]; then
  exit 1
fi
echo "check-control-flow-mark: no link forces the mark; $programs programs checked against $crti" \
  "(marks: $(echo $startMarks | tr ' ' ',' | sed 's/^$/none/'))"
