# Sourced by the install tests: a scratch folder removed on exit, and failed checks counted so
# that one run reports them all.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Ends the test: status 1 after any failed check, else prints the given summary.
finish() {
  if ((failures > 0)); then
    echo "$failures check(s) failed"
    exit 1
  fi
  echo "$1"
  exit 0
}
