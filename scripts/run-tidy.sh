#!/usr/bin/env bash
# clang-tidy with the checks of .clang-tidy over the project's C++ sources as BUILD compiles them (its
# compile_commands.json, so after make build; generated moc files are not looked at); any finding fails.
#
#   run-tidy.sh BUILD JOBS BASE   the sources changed against the branch BASE, committed or not; a changed
#                                 header through the source beside it, and only the changed headers' findings
#   run-tidy.sh BUILD JOBS        every source of src/ and tests/, and their headers
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1 jobs=$2 base=${3:-}
root=$PWD
db=$build/compile_commands.json
[[ -f $db ]] || { echo "No $db: make build first" >&2; exit 2; }

if [[ -n $base ]] && ! git rev-parse --verify --quiet "$base^{commit}" >/dev/null; then
    # A shallow clone may not hold the commit to compare with.
    echo "make tidy: $base is not in this clone; nothing checked"
    exit 0
fi
if [[ -n $base ]]; then
    changed=$({ git diff --name-only "$base...HEAD"; git diff --name-only HEAD; git ls-files --others --exclude-standard; } |
        grep -E '^(src|tests)/.*\.(cpp|h)$' | sort -u || true)
else
    changed=
fi
# The compile database's sources to run on, and the regex of headers whose findings count.
selection=$(python3 - "$db" "$root" "$base" "$changed" <<'PY'
import json, os, re, sys
db, root, base, changed = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4].split()
known = {os.path.join(e['directory'], e['file']) for e in json.load(open(db))}
ours = re.compile('^' + re.escape(root) + '/(src|tests)/')
if base:
    wanted = {os.path.join(root, os.path.splitext(p)[0] + '.cpp') for p in changed}
    headers = [re.escape(os.path.join(root, p)) for p in changed if p.endswith('.h') and os.path.exists(p)]
    print('^(' + '|'.join(headers) + ')$' if headers else '^$')
    print('\n'.join(sorted(f for f in known if f in wanted and os.path.exists(f))))
else:
    print(ours.pattern)
    print('\n'.join(sorted(f for f in known if ours.match(f))))
PY
)
header_filter=$(head -n1 <<<"$selection")
files=$(tail -n +2 <<<"$selection")
if [[ -z $files ]]; then
    echo "make tidy: no changed sources against $base"
    exit 0
fi
echo "make tidy: $(wc -l <<<"$files") sources"
# clang-tidy's progress lines (each command, the counts of suppressed warnings) are left out.
progress='^clang-tidy|warnings? (and [0-9]+ errors? )?generated\.$'
args=(-quiet "-header-filter=$header_filter" -extra-arg=-Wno-unknown-warning-option)
if command -v run-clang-tidy >/dev/null; then
    regex="^($(python3 -c 'import re, sys; print("|".join(re.escape(l) for l in sys.stdin.read().split()))' <<<"$files"))\$"
    run-clang-tidy -p "$build" -j"$jobs" "${args[@]}" "$regex" 2>&1 | { grep -v -E "$progress" || true; }
else
    xargs -P"$jobs" -n1 clang-tidy -p "$build" "${args[@]}" <<<"$files" 2>&1 | { grep -v -E "$progress" || true; }
fi
