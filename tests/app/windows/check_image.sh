#!/usr/bin/env bash
# The built velmora-checker.exe as Windows will load it: a GUI program with the asInvoker,
# per-monitor DPI-aware manifest, importing only system DLLs (no runtime DLLs of the toolchain,
# and no WebView2 loader: that one is looked for at run time).
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
manifest=$(strings -n 8 "$exe" | sed -n '/<assembly/,/<\/assembly>/p')
grep -qF 'level="asInvoker" uiAccess="false"' <<<"$manifest" || {
  echo "no asInvoker manifest"
  status=1
}
# Per-monitor DPI awareness: v2 where Windows has it, with the older per-monitor forms beside it.
grep -qE '<dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">PerMonitorV2(, *PerMonitor)?</dpiAwareness>' <<<"$manifest" || {
  echo "manifest declares no per-monitor v2 DPI awareness"
  status=1
}
grep -qE '<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true/pm</dpiAware>' <<<"$manifest" || {
  echo "manifest lacks the per-monitor dpiAware fallback"
  status=1
}
((status == 0)) && echo "velmora-checker.exe: GUI, asInvoker, per-monitor v2 DPI, imports: $(echo $imports)"
exit $status
