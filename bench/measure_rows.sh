# Sourced by the comparisons that time whole commands; bench_folder NAME makes $dir, where the files
# and timings go.
# The rows, each measured once a round; the rounds take turns through every row, so that a machine
# that others share slows all of them alike. A row shows its medians: wall seconds, processor
# seconds (user + system) and frames a second, with its peak resident memory.
rounds=${STILLSET_BENCH_ROUNDS:-5}
# The x264 settings ours and FFmpeg's graph share for MP4.
preset=veryfast
crf=18
# Every run starts after a pause, on memory the system has had time to take back. On a virtual
# machine that hands freed memory back to its host a few seconds after it is freed, a process that
# touches such memory pays for it again (here about 1.8 ms a MiB, against 0.07 ms for memory freed
# a moment ago). Without the pause a run would start cold or warm depending on the run before it:
# cold after FFmpeg's graph, warm right after one of ours.
pause=${STILLSET_BENCH_PAUSE:-4}
labels=()
frame_counts=()
commands=()
row() { # label, frames, command...
  labels+=("$1")
  frame_counts+=("$2")
  shift 2
  commands+=("$(printf '%q ' "$@")")
}

# The comparison's folder, emptied.
bench_folder() {
  dir=${STILLSET_BENCH_DIR:-/tmp/stillset-bench}/$1
  rm -rf "$dir"
  mkdir -p "$dir"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

measure_rows() {
  local round i
  for round in $(seq "$rounds"); do
    for i in "${!commands[@]}"; do
      sleep "$pause"
      if ! eval "/usr/bin/time -f '%e %M %U %S' -o \"\$dir/time.txt\" ${commands[$i]}" > /dev/null 2> "$dir/stderr.txt"; then
        echo "${labels[$i]} failed:" >&2
        cat "$dir/stderr.txt" >&2
        exit 1
      fi
      cat "$dir/time.txt" >> "$dir/row$i.txt"
    done
  done
  for i in "${!commands[@]}"; do
    local wall cpu peak
    wall=$(awk '{ print $1 }' "$dir/row$i.txt" | median)
    cpu=$(awk '{ print $3 + $4 }' "$dir/row$i.txt" | median)
    peak=$(awk '$2 > m { m = $2 } END { print m }' "$dir/row$i.txt")
    printf '%-46s %7.2f s %7.0f MiB %7.2f cpu-s %8.1f fps\n' "${labels[$i]}" "$wall" "$((peak / 1024))" "$cpu" \
      "$(awk -v f="${frame_counts[$i]}" -v s="$wall" 'BEGIN { print f / s }')"
  done
}

