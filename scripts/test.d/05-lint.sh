#!/usr/bin/env bash
# Cheap checks first: banned C calls, and every C++ file formatted with .clang-format.
set -euo pipefail
files=$(git ls-files '*.cpp' '*.h' '*.hpp' '*.c')
banned='\b(sprintf|strcpy|strcat|atoi|strtok|gmtime|localtime)\s*\('
if grep -nE "$banned" $files; then
  echo "banned calls found (use snprintf / std::string / std::from_chars / *_r variants)"
  exit 1
fi
clang-format --dry-run -Werror $files
echo "lint: $(wc -w <<<"$files") files clean"
