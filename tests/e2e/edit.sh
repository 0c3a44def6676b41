#!/usr/bin/env bash
# End to end: link edit in the station started with "Brivola" against linvar-sim over a
# pseudo-terminal (installation and script: edit-link.txt; docs/shots/edit-shots.txt takes the
# pictures of docs/ on the same installation).
#
#   tests/e2e/edit.sh LINVAR LINVAR_SIM [SCRIPT]

. "$(dirname "$0")/lib.sh" edit-link.txt "$@"
run_station 100
finish
