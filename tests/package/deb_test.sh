#!/usr/bin/env bash
# The package as a user gets it: cpack makes the .deb of the build folder given, dpkg unpacks it
# into a scratch root, the tree holds what a desktop needs, and the unpacked quillmere-cli lists
# and derives (a dry run, then on a copy) on the unpacked samples and makes the user's own module
# folder on first start.
# Usage: deb_test.sh BUILD_FOLDER
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "deb_test: $*" >&2; exit 1; }

(cd "$scratch" && cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log") ||
  { cat "$scratch/cpack.log" >&2; fail "cpack failed"; }
debs=("$scratch"/out/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "no single .deb in $scratch/out"
deb=${debs[0]}
dpkg-deb -f "$deb" Depends | grep -q 'libc6' || fail "the package declares no library dependencies"

root=$scratch/root
dpkg -x "$deb" "$root"
share=$root/usr/share
expected=(
  usr/bin/quillmere-cli
  usr/share/man/man1/quillmere.1.gz
  usr/share/man/man1/quillmere-cli.1.gz
  usr/share/applications/org.quillmere.Quillmere.desktop
  usr/share/metainfo/org.quillmere.Quillmere.metainfo.xml
  usr/share/icons/hicolor/16x16/apps/quillmere.png
  usr/share/icons/hicolor/32x32/apps/quillmere.png
  usr/share/icons/hicolor/48x48/apps/quillmere.png
  usr/share/icons/hicolor/256x256/apps/quillmere.png
  usr/share/icons/hicolor/scalable/apps/quillmere.svg
  "usr/share/quillmere/Printer Commands/EpsonTM88.ini"
  "usr/share/quillmere/Printer Commands/EscPosCut.dll"
)
# The dialog is packaged where it was built (not in a build without Qt).
[ -x "$build/bin/quillmere" ] && expected+=(usr/bin/quillmere)
for file in "${expected[@]}"; do
  [ -f "$root/$file" ] || fail "the package lacks $file"
done
zcat "$share/man/man1/quillmere-cli.1.gz" | grep -q '^\.SH EXIT STATUS' || fail "quillmere-cli(1) is no manual page"

cli=$root/usr/bin/quillmere-cli
samples="$share/quillmere/Printer Commands"
listed=$("$cli" list --folder "$samples" </dev/null)
grep -qx $'1\tEpsonTM88\tEpsonTM88.ini' <<<"$listed" || fail "list did not list the samples: $listed"

# A dry run on the packaged samples themselves: the diff is printed, and not a byte changes.
before=$(cd "$samples" && find . -type f -exec sha256sum {} + | sort)
preview=$("$cli" derive --folder "$samples" --base EpsonTM88.ini --name Epson_2 --void Void \
  --stop Cash --dry-run </dev/null) || fail "derive --dry-run failed: $preview"
grep -qx "+++ $samples/Epson_2.ini"$'\t(would be a new file)' <<<"$preview" ||
  fail "the dry run named no new file: $preview"
grep -qx '+1=4,C,a,s,h,1,0,0,TRAN_STOP' <<<"$preview" || fail "the dry run showed no stop trigger"
[ "$(cd "$samples" && find . -type f -exec sha256sum {} + | sort)" = "$before" ] ||
  fail "the dry run changed the sample folder"

cp -r "$samples" "$scratch/copy"
derived=$("$cli" derive --folder "$scratch/copy" --base EpsonTM88.ini --name Epson_2 --void Void \
  --stop Cash </dev/null) || fail "derive failed: $derived"
[ "$derived" = $'Success\n'"$scratch/copy/Epson_2.ini" ] || fail "derive said: $derived"
grep -q '^1=4,C,a,s,h,1,0,0,TRAN_STOP' "$scratch/copy/Epson_2.ini" || fail "no stop trigger written"

# Started from the menu there is no module folder beside the program: the user's own is made
# from the packaged samples.
listed=$(env -u XDG_DATA_HOME HOME="$scratch/home" "$cli" list </dev/null)
grep -qx $'1\tEpsonTM88\tEpsonTM88.ini' <<<"$listed" || fail "no user folder made: $listed"
cmp -s "$samples/EpsonTM88.ini" "$scratch/home/.local/share/quillmere/Printer Commands/EpsonTM88.ini" ||
  fail "the user's folder does not hold the samples"
echo "deb_test: $(basename "$deb") unpacked, listed, previewed and derived"
