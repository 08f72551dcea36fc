# Helpers for tools/test: timed steps that never stop the run, ctest runs whose
# counts are gathered for one closing summary, and the one X display the Windows
# tests share. Sourced, not run; expects $root (the source tree) and $jobs.

step_names=() step_seconds=() step_status=()
ctest_names=() ctest_lines=() ctest_passed=() ctest_total=() ctest_seconds=()
failed_tests=() retried_tests=()
xvfb_pid=

# step NAME COMMAND...: runs COMMAND, prints its time, and records whether it
# passed. Always returns 0, so that the steps after it still run.
step() {
  local name=$1; shift
  echo
  echo "== $name"
  local start=$SECONDS
  "$@"
  local status=$?
  local took=$((SECONDS - start))
  step_names+=("$name") step_seconds+=("$took") step_status+=("$status")
  if [ "$status" -eq 0 ]; then
    echo "== $name: ok, ${took} s"
  else
    echo "== $name: FAILED (exit $status), ${took} s"
  fi
  return 0
}

# quiet_log LOG COMMAND...: sends COMMAND's output to LOG, and shows it only when
# COMMAND fails; a passing build has nothing worth reading.
quiet_log() {
  local log=$1; shift
  mkdir -p "$(dirname "$log")"
  "$@" >"$log" 2>&1
  local status=$?
  if [ "$status" -ne 0 ]; then
    cat "$log"
  fi
  echo "log: $log"
  return "$status"
}

# configure_and_build DIR CMAKE-OPTIONS...: warnings are errors in every build
# made here. The build goes on past a failing file (-k), so that one broken room
# does not hide the state of the others.
configure_and_build() {
  local dir=$1; shift
  cmake -S "$root" -B "$dir" -DVELK_WERROR=ON "$@" &&
    cmake --build "$dir" -j "$jobs" -- -k
}

# ctest_step NAME BUILD-DIR CTEST-OPTIONS...: runs a build's tests and keeps
# ctest's counts under NAME. A build that registers no test fails: a run that
# checked nothing must not pass.
ctest_step() {
  local name=$1 dir=$2; shift 2
  local log=$dir/ctest.log
  mkdir -p "$dir"
  (cd "$dir" && ctest --output-on-failure --no-tests=error "$@") 2>&1 | tee "$log"
  local status=${PIPESTATUS[0]}
  record_ctest "$name" "$log"
  return "$status"
}

# record_ctest NAME LOG: reads ctest's closing lines from LOG.
record_ctest() {
  local name=$1 log=$2 line passed=0 total=0 seconds=0
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  if [[ $line =~ ([0-9]+)\ tests?\ failed\ out\ of\ ([0-9]+) ]]; then
    total=${BASH_REMATCH[2]}
    passed=$((total - BASH_REMATCH[1]))
  else
    line="no tests ran"
  fi
  local time_line
  time_line=$(grep -E '^Total Test time \(real\) =' "$log" | tail -n 1)
  [[ $time_line =~ ([0-9]+\.?[0-9]*)\ sec ]] && seconds=${BASH_REMATCH[1]}
  ctest_names+=("$name") ctest_lines+=("$line") ctest_passed+=("$passed")
  ctest_total+=("$total") ctest_seconds+=("$seconds")
  local failed
  while IFS= read -r failed; do
    failed_tests+=("$name: ${failed#"${failed%%[![:space:]]*}"}")
  done < <(sed -n '/^The following tests FAILED:/,/^Errors while running CTest/p' "$log" |
             grep -E '^[[:space:]]+[0-9]+ - ')
  # A test run again (ctest --repeat) that passed the second time.
  local test
  while IFS= read -r test; do
    grep -qE "^ *([0-9]+/[0-9]+ )?Test +#[0-9]+: $test \.+ +Passed" "$log" &&
      retried_tests+=("$name: $test")
  done < <(grep -E '^ *([0-9]+/[0-9]+ )?Test +#[0-9]+: [^ ]+ \.+\*\*\*' "$log" |
             sed -E 's/^.*Test +#[0-9]+: ([^ ]+) .*$/\1/' | sort -u)
}

# start_xvfb: one virtual display for every Windows test; DISPLAY is exported.
start_xvfb() {
  local number_file
  number_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$number_file" \
    >"$root/build/xvfb.log" 2>&1 &
  xvfb_pid=$!
  local tries
  for tries in $(seq 100); do
    [ -s "$number_file" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  local number
  number=$(head -n 1 "$number_file")
  rm -f "$number_file"
  if [ -z "$number" ]; then
    echo "Xvfb did not start (see build/xvfb.log)"
    stop_xvfb
    return 1
  fi
  export DISPLAY=:$number
  echo "Xvfb on display $DISPLAY"
}

stop_xvfb() {
  [ -n "$xvfb_pid" ] || return 0
  kill "$xvfb_pid" 2>/dev/null
  wait "$xvfb_pid" 2>/dev/null
  xvfb_pid=
  unset DISPLAY
}

# stop_wineserver: lets the wineserver of $WINEPREFIX finish; ends it and what
# still runs in that prefix (a test ctest gave up on) when it does not.
stop_wineserver() {
  timeout 30 wineserver -w 2>/dev/null || wineserver -k 2>/dev/null
  return 0
}

# print_summary: step times, each build's ctest counts, then ctest's own closing
# lines for all the tests together. Exits non-zero when any step failed.
print_summary() {
  local i failed_steps=() all_total=0 all_passed=0 all_seconds=0 elapsed=0
  echo
  echo "== Summary"
  for i in "${!step_names[@]}"; do
    local verdict=ok
    if [ "${step_status[$i]}" -ne 0 ]; then
      verdict=FAILED
      failed_steps+=("${step_names[$i]}")
    fi
    printf '  %-16s %5d s  %s\n' "${step_names[$i]}" "${step_seconds[$i]}" "$verdict"
    elapsed=$((elapsed + step_seconds[i]))
  done
  printf '  %-16s %5d s\n' "all steps" "$elapsed"
  echo
  for i in "${!ctest_names[@]}"; do
    printf '%-8s %s\n' "${ctest_names[$i]}:" "${ctest_lines[$i]}"
    all_total=$((all_total + ctest_total[i]))
    all_passed=$((all_passed + ctest_passed[i]))
    all_seconds=$(awk -v a="$all_seconds" -v b="${ctest_seconds[$i]}" 'BEGIN { print a + b }')
  done
  if [ ${#failed_steps[@]} -gt 0 ]; then
    echo "Failed steps: $(IFS=,; echo "${failed_steps[*]}" | sed 's/,/, /g')"
  fi
  if [ ${#retried_tests[@]} -gt 0 ]; then
    echo
    echo "Passed only when run a second time:"
    printf '\t%s\n' "${retried_tests[@]}"
  fi
  if [ ${#failed_tests[@]} -gt 0 ]; then
    echo
    echo "The following tests FAILED:"
    printf '\t%s\n' "${failed_tests[@]}"
  fi
  echo
  local percent=0
  [ "$all_total" -gt 0 ] && percent=$((all_passed * 100 / all_total))
  echo "${percent}% tests passed, $((all_total - all_passed)) tests failed out of ${all_total}"
  echo
  printf 'Total Test time (real) = %.2f sec\n' "$all_seconds"
  [ ${#failed_steps[@]} -eq 0 ]
  exit $?
}
