#!/bin/bash
# Compresses and decompresses the same 50 MB (text and binary files made here) with the store's
# CompressFileBz2/DecompressFileBz2 and with the bzip2 command at the same block size and work
# factor. Both decompress the command's streams. Runs are paired, the order turning every round,
# for REPEAT rounds (default 5); each figure is the median of the round-by-round ratios (program
# time / bzip2 time: above 1 means the program is slower) with their range.
set -euo pipefail
source "$(dirname "$0")/bench-lib.sh"

repeat=${REPEAT:-5}
quality=${QUALITY:-3}  # the default bzip2 block size of the options

command -v bzip2 >/dev/null || { echo "bzip2 not found: run scripts/install-deps.sh" >&2; exit 1; }
bench_build_drivers bzip2_bench
driver="$bench_build/bench/bzip2_bench"
work=$(mktemp -d "${TMPDIR:-/tmp}/dralvo-bzip2-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
trap 'exit 130' INT TERM
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

cat "$work"/data/* >/dev/null  # warm the page cache
oc=() tc=() od=() td=()
for ((i = 0; i < repeat; i++)); do
  # Alternate which side goes first.
  if ((i % 2 == 0)); then
    oc+=("$(bench_seconds ours_compress)"); tc+=("$(bench_seconds theirs_compress)")
    od+=("$(bench_seconds ours_decompress)"); td+=("$(bench_seconds theirs_decompress)")
  else
    tc+=("$(bench_seconds theirs_compress)"); oc+=("$(bench_seconds ours_compress)")
    td+=("$(bench_seconds theirs_decompress)"); od+=("$(bench_seconds ours_decompress)")
  fi
done

for f in "${files[@]}"; do
  cmp -s "$work/data/$f" "$work/ours-out/$f" || { echo "ours: $f did not come back" >&2; exit 1; }
  cmp -s "$work/data/$f" "$work/theirs-out/$f" || { echo "bzip2: $f did not come back" >&2; exit 1; }
  bzip2 -t "$work/ours/$f.bz2" || { echo "ours: $f.bz2 is no valid stream" >&2; exit 1; }
done
same=yes
for f in "${files[@]}"; do cmp -s "$work/ours/$f.bz2" "$work/theirs/$f.bz2" || same=no; done

mb=$(bench_calc "$total / 1000000")
echo "bzip2 block size ${quality}00k, work factor 30; $mb MB in ${#files[@]} files"
echo "identical compressed streams: $same"
echo "compress s: ours ${oc[*]}; bzip2 ${tc[*]}"
echo "decompress s: ours ${od[*]}; bzip2 ${td[*]}"
printf '%-12s %12s %12s\n' "" "ours MB/s" "bzip2 MB/s"
printf '%-12s %12s %12s\n' compress "$(bench_calc "$mb / $(bench_median "${oc[@]}")")" "$(bench_calc "$mb / $(bench_median "${tc[@]}")")"
printf '%-12s %12s %12s\n' decompress "$(bench_calc "$mb / $(bench_median "${od[@]}")")" "$(bench_calc "$mb / $(bench_median "${td[@]}")")"
bench_report "bzip2 compress / bzip2 -$quality" "${oc[*]}" "${tc[*]}"
bench_report "bzip2 decompress / bzip2 -d" "${od[*]}" "${td[*]}"
