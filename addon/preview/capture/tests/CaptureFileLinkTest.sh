#!/usr/bin/env bash
# Symbolic links planted where the capture file goes are not followed: the links are made
# here, on the Unix side (Wine's CreateSymbolicLinkW makes none), the capture program's
# checks run under Wine (CaptureFileLinkTests.cpp), and what they left is checked here again.
# CaptureFileLinkTest.sh WINE_RUN PREFIX PROGRAM
set -uo pipefail
wine_run=$(realpath "$1") prefix=$(realpath -m "$2") program=$(realpath "$3")
root=$(mktemp -d /tmp/pinchwell-links.XXXXXX)
trap 'rm -rf "$root"' EXIT   # rm removes links, never their targets
cd "$root" || exit 1
echo "someone else's file" >target.txt
mkdir link dangling folder elsewhere
ln -s ../target.txt link/temp.png
ln -s ../missing.txt dangling/temp.png
ln -s ../elsewhere folder/temp.png

export PINCHWELL_LINK_FOLDER="Z:${root//\//\\}"
"$wine_run" "$prefix" "$program" </dev/null
status=$?

fail() { echo "FAIL: $*"; status=1; }
[ "$(cat target.txt)" = "someone else's file" ] || fail "target.txt changed: $(head -c 80 target.txt)"
[ -L link/temp.png ] && [ "$(readlink link/temp.png)" = ../target.txt ] || fail "link/temp.png is no longer the link"
[ -e missing.txt ] && fail "missing.txt was created through the dangling link"
[ -L dangling/temp.png ] || fail "dangling/temp.png is no longer the link"
[ -z "$(ls -A elsewhere)" ] || fail "something was written into the linked folder: $(ls -A elsewhere)"
[ "$status" -eq 0 ] && echo "passed"
exit "$status"
