# Sourced by the run and test scripts: what the web engine needs here.
# As root, Chromium's sandbox cannot start; the player itself never weakens it.
if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  XDG_RUNTIME_DIR="$(mktemp -d /tmp/vorlumen-runtime.XXXXXX)"
  export XDG_RUNTIME_DIR
fi
