#!/usr/bin/env bash
# The built velmora-checker.exe as Windows will load it: a GUI program with the asInvoker
# manifest, importing only system DLLs (no runtime DLLs of the toolchain, and no WebView2 loader:
# that one is looked for at run time).
set -euo pipefail
exe=$1
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
headers=$("$objdump" -p "$exe")
status=0
grep -qE '^Subsystem[[:space:]]+00000002' <<<"$headers" || { echo "not a GUI program"; status=1; }
imports=$(grep -oE 'DLL Name: .*' <<<"$headers" | cut -d' ' -f3 | tr 'A-Z' 'a-z' | sort -u)
allowed='^(advapi32|dnsapi|dwmapi|gdi32|gdiplus|kernel32|msvcrt|ole32|shell32|shlwapi|user32|winhttp|ws2_32)\.dll$'
for dll in $imports; do
  grep -qE "$allowed" <<<"$dll" || { echo "unexpected import: $dll"; status=1; }
done
manifest=$(strings -n 8 "$exe" | grep -A3 'requestedExecutionLevel' || true)
grep -qF 'level="asInvoker" uiAccess="false"' <<<"$manifest" || {
  echo "no asInvoker manifest"
  status=1
}
((status == 0)) && echo "velmora-checker.exe: GUI, asInvoker, imports: $(echo $imports)"
exit $status
