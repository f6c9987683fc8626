# Sourced by the tests that need an X server; needs $work.
# start_xvfb ARGS...: a fresh Xvfb that picks a free display number itself
# (so two test scripts, or a server still shutting down, cannot collide on
# one) and says it only once it takes clients. Sets $display and $server;
# returns 1, with the server's own words, if it is not up within 20 s.
start_xvfb() {
  local said=$work/xvfb.$RANDOM
  : >"$said"
  Xvfb -displayfd 3 "$@" -nolisten tcp 3>"$said" 2>"$said.err" &
  server=$!
  for _ in $(seq 400); do
    # A whole line: the number may arrive in more than one write.
    if [ -s "$said" ] && [ -z "$(tail -c 1 "$said")" ]; then display=":$(head -1 "$said")"; return 0; fi
    kill -0 "$server" 2>/dev/null || break
    sleep 0.05
  done
  echo "Xvfb did not start: $(head -c 300 "$said.err")"
  return 1
}
