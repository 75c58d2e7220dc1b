#!/usr/bin/env bash
# The package and every binary it ships signed with the builder's certificate. A throwaway
# certificate made here is the builder's for this build's package rules made once more in a
# folder of the test's own: every shipped binary and the package verify against it (and the
# package not against another one), and the package holds each shipped binary as it was
# signed, byte for byte, its signature whole: nothing wrote to a file after its signing.
#   PackageSigningTest.sh PACKAGE_ENV WORK_FOLDER
set -uo pipefail
source "$1"
work=$2
source "$(dirname "$0")/package-test-lib.sh"
rm -rf "$work" && mkdir -p "$work"

throwaway_signer "$work" signer || fail "a throwaway certificate is made"
throwaway_signer "$work/other" other || fail "a second throwaway certificate is made"
build_signed() {
  cmake --build "$build_dir" --target "$signing_target" >"$work/build.log" 2>&1 || { tail -n 20 "$work/build.log"; return 1; }
}
expect "the package rules build with the certificate" build_signed

shipped=("${signed_inputs[@]:0:4}")
[ -n "$signed_tessel32" ] && shipped+=("$signed_tessel32")
for file in "${shipped[@]}"; do
  expect "shipped ${file#"$work"/build/shipped/} is signed" signed_by "$work/signer.pem" "$file"
done
expect "the package is signed" signed_by "$work/signer.pem" "$signed_msi"
expect "the package's signature is not another certificate's" bash -c "! osslsigncode verify -CAfile '$work/other/other.pem' -in '$signed_msi' >/dev/null 2>&1"

msiextract -C "$work/extracted" "$signed_msi" >"$work/extracted.txt" || fail "the package's files extract"
packaged=()
while IFS= read -r -d '' file; do packaged+=("$file"); done < <(find "$work/extracted" -type f \( -iname '*.exe' -o -iname '*.dll' \) -print0)
expect "the package holds every shipped binary and no other" test "${#packaged[@]}" -eq "${#shipped[@]}"
for file in "${packaged[@]}"; do
  name=${file#"$work"/extracted/}
  expect "packaged $name is signed" signed_by "$work/signer.pem" "$file"
  same=no
  for original in "${shipped[@]}"; do cmp -s "$file" "$original" && same=yes; done
  expect "packaged $name is a shipped binary as it was signed" test "$same" = yes
done

finish
