#!/usr/bin/env bash
# The MSI for managed installs, from the portable folder build-windows/Tallyclock/: the
# same files, each a component of its own (packaging/windows/tallyclock.wxs).
# Usage: scripts/windows/msi.sh VERSION OUTFILE
set -euo pipefail
cd "$(dirname "$0")/../.."
top=$PWD
build=$top/build-windows
outfile=$(realpath "$2")
heat=$(mktemp)
trap 'rm -f "$heat"' EXIT
(cd "$build" && find Tallyclock -type f | sort) |
    wixl-heat --prefix Tallyclock/ --directory-ref INSTALLDIR --component-group Payload \
        --var var.Payload --win64 >"$heat"
# wixl finds the files it packs by paths relative to where it runs.
(cd "$build" && wixl --arch x64 -D Version="$1" -D Payload=Tallyclock -D Win64=yes \
    -D Icon="$(realpath --relative-to="$build" "$top/resources/icons/tallyclock.ico")" \
    -o "$outfile" "$top/packaging/windows/tallyclock.wxs" "$heat")
