#!/usr/bin/env bash
# novutool's command line: every subcommand answers --help with its own usage, and an
# expression evaluation that stops fails with the reason.
source "$(dirname "$0")/e2e_lib.sh" "$@"

# Each command listed by `novutool --help` prints its usage line for `COMMAND --help`.
mapfile -t commands < <("$tool" --help | awk '/^  [a-z]/ {print $1 ($2 ~ /^[a-z]+$/ ? " " $2 : "")}')
[ "${#commands[@]}" -gt 5 ] || fail "no commands listed by --help"
for command in "${commands[@]}"; do
  # shellcheck disable=SC2086
  out=$("$tool" $command --help 2>&1)
  status=$?
  [ "$status" = 0 ] || fail "$command --help: exit status $status: $out"
  grep -q "^usage: novutool $command " <<<"$out" || fail "$command --help: no usage: $out"
done

# expr --eval: TEXT | EXIT STATUS | WHAT STANDARD OUTPUT OR ERROR MUST SHOW
while IFS='|' read -r text want_status want_text; do
  "$tool" expr --eval "$text" >"$work/out" 2>"$work/err"
  status=$?
  [ "$status" = "$want_status" ] || fail "expr --eval '$text': exit status $status, expected $want_status"
  grep -qF "$want_text" "$work/out" "$work/err" ||
    fail "expr --eval '$text': '$want_text' missing: $(cat "$work/out" "$work/err")"
done <<'CASES'
1+2|0|result: 3
1/0|1|the evaluation stopped
Length("abc") * 10 + Ord(Chr(65))|0|result: 95
Length("a" ++ Chr(13) ++ Chr(10) ++ "b")|0|result: 4
CASES

finish
