#!/usr/bin/env bash
# The demo without a display: the station tours its demo installation under Xvfb, writes
# screenshots into a folder, says where they are and ends.
#
#   docs/demo/headless.sh LINVAR OUTDIR

set -u
linvar=${1:?usage: headless.sh LINVAR OUTDIR}
out=${2:?usage: headless.sh LINVAR OUTDIR}
here=$(cd "$(dirname "$0")" && pwd)

mkdir -p "$out" || exit 1
out=$(cd "$out" && pwd)
rm -f "$out"/*.png
cp "$here/headless-tour.txt" "$out/tour.txt"
LINVAR_NO_DIALOGS=1 timeout 120 xvfb-run -a -s "-screen 0 1280x900x24" \
    "$linvar" --demo --replay "$out/tour.txt"
rc=$?
shots=$(ls "$out"/*.png 2>/dev/null)
if [ "$rc" -ne 0 ] || [ -z "$shots" ]; then
    echo "The demo tour did not finish (exit $rc)." >&2
    exit 1
fi
echo "No display here: the demo toured its installation. Screenshots:"
echo "$shots"
