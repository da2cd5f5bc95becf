#!/bin/bash
# The release end to end under Wine: CPack makes the zip and the installer; SHA256SUMS checks
# out; the zip holds the release's files in one folder; the installer runs silently, the
# installed program is driven end to end, a second run upgrades in place keeping the user's
# changes, and the uninstaller removes the program and nothing of the user's.
#   package_test.sh EMULATOR CPACK BUILD_DIR E2E_PROGRAM PACKAGE_FILE_NAME
set -euo pipefail
emulator=$1 cpack=$2 build=$3 e2e=$4 name=$5
out=$build/tests/package/release
root=$(cd "$(dirname "$0")/../.." && pwd)
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Gradewick'
fail() { echo "FAILED: $*" >&2; exit 1; }
win() { local path="Z:$1"; echo "${path//\//\\}"; }
files() { (cd "$1" && ls | sort | tr '\n' ' '); }

# The SHA256SUMS merge as CPack runs it once per generator, over a folder with an older file:
# this version's lines are hashed afresh, those of other versions or of packages gone dropped.
rm -rf "$out" && mkdir -p "$out/merge/staging" && cd "$out/merge"
echo rebuilt >G-2.1.0-win64.exe && echo old >G-2.0.0-win64.zip && echo new >staging/G-2.1.0-win64.zip
printf '%064d  %s\n' 0 G-2.1.0-win64.exe 0 G-2.0.0-win64.zip 0 G-2.1.0-win64.msi >SHA256SUMS
cmake -DCPACK_PACKAGE_DIRECTORY="$PWD" -DCPACK_PACKAGE_FILE_NAME=G-2.1.0-win64 \
    -DCPACK_PACKAGE_FILES="$PWD/staging/G-2.1.0-win64.zip" -P "$root/packaging/checksums.cmake" >/dev/null
sha256sum G-2.1.0-win64.exe | cat - <(cd staging && sha256sum G-2.1.0-win64.zip) | cmp - SHA256SUMS ||
    fail "SHA256SUMS merged into $(cat SHA256SUMS)"

cd "$out"
"$cpack" --config "$build/CPackConfig.cmake" -B "$out" >/dev/null
sha256sum --check --strict SHA256SUMS
[[ $(cut -d' ' -f3 SHA256SUMS | sort | tr '\n' ' ') == "$name.exe $name.zip " ]] ||
    fail "SHA256SUMS lists $(cat SHA256SUMS)"
listing=$(python3 -c 'import sys, zipfile; print(*sorted(n for n in zipfile.ZipFile(sys.argv[1]).namelist() if n[-1] != "/"))' "$name.zip")
[[ $listing == "$name/README.txt $name/example.rst $name/gradewick-cli.exe $name/gradewick.exe" ]] ||
    fail "the zip holds $listing"
grep -aq 'requestedExecutionLevel level="asInvoker"' "$name.exe" || fail "the installer asks for rights"

dir=$out/install # /D= takes no quotes, so no space
"$emulator" reg delete "$key" /f >/dev/null 2>&1 || true # left by an earlier failed run
release="README.txt Uninstall Gradewick.exe example.rst gradewick-cli.exe gradewick.exe "
"$emulator" "$out/$name.exe" /S "/D=$(win "$dir")" || fail "install"
[[ $(files "$dir") == "$release" ]] || fail "installed: $(files "$dir")"
"$emulator" reg query "$key" /v InstallLocation | grep -qF "$(win "$dir")" || fail "no uninstall entry"
GRADEWICK_EXE="$(win "$dir")\\gradewick.exe" "$emulator" "$e2e" || fail "the installed program"

# An upgrade finds the install by itself, repairs it and keeps what the user changed or added.
rm "$dir/gradewick-cli.exe"
printf 'Semester 2\r\nPhysics\r\n3\r\n2\r\n' >>"$dir/example.rst"
cp "$dir/example.rst" "$out/example.rst" && echo mine >"$dir/mine.rst"
"$emulator" "$out/$name.exe" /S || fail "upgrade"
[[ $(files "$dir") == "README.txt Uninstall Gradewick.exe example.rst gradewick-cli.exe gradewick.exe mine.rst " ]] ||
    fail "upgraded: $(files "$dir")"
cmp "$dir/example.rst" "$out/example.rst" || fail "the upgrade replaced the user's example"

# The uninstaller runs a copy of itself and returns at once: wait for the entry to go.
"$emulator" "$dir/Uninstall Gradewick.exe" /S || fail "uninstall"
for _ in $(seq 120); do
    "$emulator" reg query "$key" >/dev/null 2>&1 || break
    sleep 0.5
done
! "$emulator" reg query "$key" >/dev/null 2>&1 || fail "the uninstall entry stays"
sleep 1
[[ $(files "$dir") == "example.rst mine.rst " ]] || fail "after uninstall: $(files "$dir")"
cmp "$dir/mine.rst" <(echo mine) || fail "the user's file changed"
echo "release checked"
