#!/bin/sh
# Runs a Windows program with its output in a file, then shows the file.
# A test that kills a host of the bridge under Wine left its output pipe
# with Wine's desktop process (explorer.exe), so CTest, which reads the
# pipe to its end, waited for it until the time limit; a file has no end to
# wait for.
#   ueber_datei.sh PROGRAM [ARGUMENTS...]
set -u
datei=$(mktemp)
trap 'rm -f "$datei"' EXIT
rc=0
"$@" >"$datei" 2>&1 </dev/null || rc=$?
cat "$datei"
exit "$rc"
