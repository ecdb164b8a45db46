#!/usr/bin/env bash
# Fails, listing them, when C or C++ sources are not as clang-format 14 writes them under the
# repository's .clang-format. Other versions format some constructs differently: only 14 is asked.
set -euo pipefail
cd "$(dirname "$0")/.."
format=$(command -v clang-format-14 || true)
[ -n "$format" ] || { echo "check-format: clang-format-14 is not installed" >&2; exit 1; }
count=$(find bench effect framework fuzz gui raster resources tests tools -type f \
  \( -name '*.c' -o -name '*.cpp' -o -name '*.h' \) | wc -l)
# --dry-run reports each difference as "FILE:LINE:COL: error: ..."; the files are what matters.
unclean=$(find bench effect framework fuzz gui raster resources tests tools -type f \
  \( -name '*.c' -o -name '*.cpp' -o -name '*.h' \) -print0 |
  { xargs -0 -n 32 -P "$(nproc)" "$format" --dry-run -Werror 2>&1 || true; } |
  sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error: .*/\1/p' | sort -u)
if [ -n "$unclean" ]; then
  echo "check-format: $(wc -l <<<"$unclean") of $count files differ from clang-format-14's" \
    "layout (clang-format-14 -i FILE... rewrites them):" >&2
  sed 's/^/  /' <<<"$unclean" >&2
  exit 1
fi
echo "check-format: $count files clean"
