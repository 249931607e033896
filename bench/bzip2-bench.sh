#!/bin/bash
# Compresses and decompresses the same 50 MB (text and binary files made here) with the store's
# CompressFileBz2/DecompressFileBz2 and with the bzip2 command at the same block size and work
# factor, side by side. Both decompress the command's streams. Each timing is the best of REPEAT
# (default 3), and the two sides alternate so that a busy machine slows both alike.
# Last lines: "compress ratio: R" and "decompress ratio: R" (our throughput / the command's).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BENCH_BUILD:-$root/build-bench}
repeat=${REPEAT:-3}
quality=${QUALITY:-3}  # the default bzip2 block size of the options

command -v bzip2 >/dev/null || { echo "bzip2 not found: run scripts/install-deps.sh" >&2; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/dralvo-bzip2-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >"$work/build.log" ||
    { cat "$work/build.log" >&2; exit 1; }
fi
ninja -C "$build" bzip2_bench >"$work/build.log" || { cat "$work/build.log" >&2; exit 1; }
driver="$build/bench/bzip2_bench"
mkdir "$work/data" "$work/ours" "$work/theirs" "$work/ours-out" "$work/theirs-out"

# 50,000,000 bytes: log lines, prose, a number table, random bytes and binary records.
python3 - "$work/data" <<'EOF'
import random, struct, sys
out = sys.argv[1]
rnd = random.Random(20480)
words = [''.join(rnd.choice('abcdefghijklmnopqrstuvwxyz') for _ in range(rnd.randint(2, 11)))
         for _ in range(5000)]

def write(name, size, chunk):
    with open(f'{out}/{name}', 'wb') as f:
        left = size
        while left > 0:
            data = chunk()[:left]
            f.write(data)
            left -= len(data)

def log_lines():
    lines = []
    for _ in range(2000):
        t = rnd.randrange(86400)
        lines.append(f'2024-05-{rnd.randint(1, 31):02d} {t // 3600:02d}:{t // 60 % 60:02d}:{t % 60:02d} '
                     f'{rnd.choice(["INFO", "WARN", "DEBUG", "ERROR"])} [{rnd.choice(words)}] '
                     + ' '.join(rnd.choices(words, k=rnd.randint(3, 14)))
                     + f' id={rnd.randrange(10**6)}\n')
    return ''.join(lines).encode()

def prose():
    return (' '.join(rnd.choices(words[:800], k=50000)) + '\n').encode()

def table():
    return ''.join(f'{rnd.randrange(10**5)};{rnd.random() * 1000:.3f};{rnd.choice(words)};'
                   f'{rnd.randrange(2)}\n' for _ in range(5000)).encode()

def records():
    parts = []
    for i in range(4000):
        parts.append(struct.pack('<IHHd8s', i, rnd.randrange(64), 0x4452, rnd.random(),
                                 rnd.choice(words).encode()[:8]) + bytes(rnd.randrange(4) * 8))
    return b''.join(parts)

write('log.txt', 15_000_000, log_lines)
write('prose.txt', 10_000_000, prose)
write('table.csv', 5_000_000, table)
write('random.bin', 10_000_000, lambda: rnd.randbytes(1 << 20))
write('records.bin', 10_000_000, records)
EOF
files=(log.txt prose.txt table.csv random.bin records.bin)
total=$(cat "$work"/data/* | wc -c)

ours_compress() {
  local args=()
  for f in "${files[@]}"; do args+=("$work/data/$f" "$work/ours/$f.bz2"); done
  "$driver" compress "$quality" "${args[@]}"
}
theirs_compress() {
  for f in "${files[@]}"; do bzip2 "-$quality" -c "$work/data/$f" >"$work/theirs/$f.bz2"; done
}
ours_decompress() {
  local args=()
  for f in "${files[@]}"; do args+=("$work/theirs/$f.bz2" "$work/ours-out/$f"); done
  "$driver" decompress "$quality" "${args[@]}"
}
theirs_decompress() {
  for f in "${files[@]}"; do bzip2 -d -c "$work/theirs/$f.bz2" >"$work/theirs-out/$f"; done
}

seconds() {
  local start end
  start=$(date +%s.%N)
  "$@"
  end=$(date +%s.%N)
  awk "BEGIN { print $end - $start }"
}
best() { printf '%s\n' "$@" | sort -g | head -n 1; }
calc() { awk "BEGIN { printf \"%.2f\", $1 }"; }

cat "$work"/data/* >/dev/null  # warm the page cache
oc=() tc=() od=() td=()
for ((i = 0; i < repeat; i++)); do
  # Alternate which side goes first.
  if ((i % 2 == 0)); then
    oc+=("$(seconds ours_compress)"); tc+=("$(seconds theirs_compress)")
    od+=("$(seconds ours_decompress)"); td+=("$(seconds theirs_decompress)")
  else
    tc+=("$(seconds theirs_compress)"); oc+=("$(seconds ours_compress)")
    td+=("$(seconds theirs_decompress)"); od+=("$(seconds ours_decompress)")
  fi
done

for f in "${files[@]}"; do
  cmp -s "$work/data/$f" "$work/ours-out/$f" || { echo "ours: $f did not come back" >&2; exit 1; }
  cmp -s "$work/data/$f" "$work/theirs-out/$f" || { echo "bzip2: $f did not come back" >&2; exit 1; }
  bzip2 -t "$work/ours/$f.bz2" || { echo "ours: $f.bz2 is no valid stream" >&2; exit 1; }
done
same=yes
for f in "${files[@]}"; do cmp -s "$work/ours/$f.bz2" "$work/theirs/$f.bz2" || same=no; done

oc=$(best "${oc[@]}") tc=$(best "${tc[@]}") od=$(best "${od[@]}") td=$(best "${td[@]}")
mb=$(calc "$total / 1000000")
echo "bzip2 block size ${quality}00k, work factor 30; $mb MB in ${#files[@]} files; best of $repeat"
echo "identical compressed streams: $same"
printf '%-12s %12s %12s\n' "" "ours MB/s" "bzip2 MB/s"
printf '%-12s %12s %12s\n' compress "$(calc "$mb / $oc")" "$(calc "$mb / $tc")"
printf '%-12s %12s %12s\n' decompress "$(calc "$mb / $od")" "$(calc "$mb / $td")"
echo "compress ratio: $(calc "$tc / $oc")"
echo "decompress ratio: $(calc "$td / $od")"
