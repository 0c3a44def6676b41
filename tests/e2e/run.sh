#!/usr/bin/env bash
# End to end: the station started with "Brivola" polls linvar-sim over a pseudo-terminal
# and a replay script checks what the operator would see; the installation is in the
# script's "#!" lines (see lib.sh).
#
#   tests/e2e/run.sh LINVAR LINVAR_SIM [SCRIPT]
#
# Exits with the station's exit code: 0 only when every expectation of the script held.

. "$(dirname "$0")/lib.sh" station.txt "$@"
run_station 100
finish
