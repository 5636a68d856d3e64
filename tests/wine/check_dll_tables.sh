#!/bin/bash
# Checks Mirvane.dll as the host and the Windows loader will see it:
#   - a PE32+ x86-64 DLL;
#   - exactly the exports listed in expected_exports.txt, found by name;
#   - DLL imports only from TakeCmd.dll, KERNEL32, USER32, ADVAPI32 and the C
#     runtime (msvcrt.dll or api-ms-win-crt-*.dll), so nothing from the
#     compiler's runtime (libstdc++, libgcc, libwinpthread) has to be shipped;
#   - from TakeCmd.dll exactly the five host functions, by name.
#
#   check_dll_tables.sh Mirvane.dll expected_exports.txt [objdump]
set -u

dll=${1:?usage: $0 Mirvane.dll expected_exports.txt [objdump]}
expected_file=${2:?usage: $0 Mirvane.dll expected_exports.txt [objdump]}
objdump=${3:-x86_64-w64-mingw32-objdump}

host_functions="CrLf ExpandVariables Printf QPuts Qprintf"

dump=$("$objdump" -p -- "$dll") || {
    echo "FAIL: $objdump cannot read $dll"
    exit 1
}

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# Sorted, one name a line; "comm" needs the same collation on both sides.
export LC_ALL=C

grep -q 'file format pei-x86-64' <<<"$dump" || fail "not an x86-64 PE image"
grep -Eq '^Magic[[:space:]]+020b' <<<"$dump" || fail "not PE32+ (optional header magic is not 020b)"
awk '/^Characteristics/ { inside = 1; next } inside && /^[^\t]/ { exit } inside && $1 == "DLL" { found = 1 }
     END { exit !found }' <<<"$dump" || fail "the image is not marked as a DLL"

exports=$(awk '/^\[Ordinal\/Name Pointer\] Table/ { inside = 1; next }
               inside && NF == 0 { inside = 0 }
               inside { print $NF }' <<<"$dump" | sort)
expected=$(sed -e 's/#.*//' -e 's/[[:space:]]//g' -- "$expected_file" | grep -v '^$' | sort)

while read -r name; do
    [ -n "$name" ] && fail "export $name is missing"
done < <(comm -13 <(echo "$exports") <(echo "$expected"))
while read -r name; do
    [ -n "$name" ] && fail "export $name is not in $(basename -- "$expected_file")"
done < <(comm -23 <(echo "$exports") <(echo "$expected"))

# "DLL Name:" lines of both the import and the delay-import tables, each
# followed by its members until a blank line: "dll<TAB>member".
imports=$(awk '/^[[:space:]]*DLL Name:/ { dll = $3; next }
               dll != "" && NF == 0 { dll = ""; next }
               dll != "" && /^[[:space:]]*[0-9a-f]+[[:space:]]/ { print dll "\t" $NF }' <<<"$dump")
dlls=$(awk '/^[[:space:]]*DLL Name:/ { print $3 }' <<<"$dump" | sort -u)

for dll_name in $dlls; do
    lower=$(tr '[:upper:]' '[:lower:]' <<<"$dll_name")
    case "$lower" in
    libstdc++*.dll | libgcc*.dll | libwinpthread*.dll)
        fail "imports the compiler runtime $dll_name (link it statically)" ;;
    takecmd.dll | kernel32.dll | user32.dll | advapi32.dll | msvcrt.dll | api-ms-win-crt-*.dll) ;;
    *)
        fail "imports $dll_name, which is not a DLL every host machine has" ;;
    esac
done

host_imports=$(awk -F'\t' 'tolower($1) == "takecmd.dll" { print $2 }' <<<"$imports" | sort -u)
wanted=$(tr ' ' '\n' <<<"$host_functions" | sort)
while read -r name; do
    [ -n "$name" ] && fail "imports $name from TakeCmd.dll, which the host does not offer"
done < <(comm -23 <(echo "$host_imports") <(echo "$wanted"))
while read -r name; do
    [ -n "$name" ] && fail "does not import $name from TakeCmd.dll"
done < <(comm -13 <(echo "$host_imports") <(echo "$wanted"))

echo "exports: $(echo $exports)"
echo "imported DLLs: $(echo $dlls)"
echo "from TakeCmd.dll: $(echo $host_imports)"
if [ "$failures" -ne 0 ]; then
    echo "$(basename -- "$dll"): $failures problem(s)"
    exit 1
fi
echo "$(basename -- "$dll"): tables as expected"
