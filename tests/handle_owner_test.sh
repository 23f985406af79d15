#!/usr/bin/env bash
# The tree has one owner of kernel handles, common/UniqueHandle.h: no other type closes a
# handle when it dies, neither in a destructor nor as a smart pointer's deleter. A second
# owner is a second place for a double close or a leak to hide. Test code is left alone.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
found="$(find . \( -path ./build -o -path ./native -o -path ./tests -o -name tests -o -name bench \) -prune -o \
              \( -name '*.cpp' -o -name '*.h' \) -print | grep -v '^./common/UniqueHandle.h$' | sort |
    xargs perl -0777 -ne '
        # A destructor or a call operator, then its body with any nested braces.
        while (/(~\w+|operator\s*\(\s*\))\s*\([^)]*\)[^{};]*(\{(?:[^{}]++|(?2))*\})/g) {
            my ($what, $body) = ($1, $2);
            print "$ARGV: $what closes a handle\n" if $body =~ /\bCloseHandle\b/;
        }')"
if [ -n "$found" ]; then
    echo "FAIL: kernel handles owned outside UniqueHandle:" >&2
    echo "$found" >&2
    exit 1
fi
echo "ok: UniqueHandle is the one owner of kernel handles"
