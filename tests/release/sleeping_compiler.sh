#!/usr/bin/env bash
# Stands in for the mingw-w64 compiler behind the gcc bridge in the bridge's test. Given
# -DBRIDGE_TEST_SLEEP=SECONDS it compiles nothing: it notes its own process id and its child's
# in the compile folder (compiler.pid last) and sleeps, as a long compile would, and notes
# when it has slept its time out. Otherwise it is the real compiler.
seconds=
for argument in "$@"; do
  case $argument in -DBRIDGE_TEST_SLEEP=*) seconds=${argument#*=} ;; esac
done
if [ -z "$seconds" ]; then
  exec "$(command -v x86_64-w64-mingw32-gcc || command -v x86_64-w64-mingw32-gcc-posix)" "$@"
fi
sleep "$seconds" &
echo $! > sleeper.pid
echo $$ > compiler.pid
wait
echo finished > compiler.finished
