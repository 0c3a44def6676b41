#!/usr/bin/env bash
# End to end: one family's detail window of the station against linvar-sim over a
# pseudo-terminal, steered by the replay script detail-FAMILY.txt: its "#!" lines give the
# installation and the requests that must go over the line once (see lib.sh); the script
# opens a unit, changes a setting, confirms and reads it back. SCRIPT (screenshots, for
# instance) runs on the same installation.
#
#   tests/e2e/detail.sh FAMILY LINVAR LINVAR_SIM [SCRIPT]

usage_family="FAMILY "
family=${1:?usage: detail.sh FAMILY LINVAR LINVAR_SIM [SCRIPT]}
shift
. "$(dirname "$0")/lib.sh" "detail-$family.txt" "$@"
run_station 150
finish
