# Sourced by scripts that run under `set -e` and clean up when they end.
# A command of an EXIT trap that fails would otherwise become the script's
# status under `set -e` (a wineserver that has already ended makes
# `wineserver -k` fail): the script ends with the status it had when the
# trap began, whatever the cleanup does.
#
#   on_exit_cleanup 'WINEPREFIX="$p" wineserver -k'
on_exit_cleanup() {
    # The command is kept in a global: the trap runs after this function
    # has returned.
    exit_cleanup_command=$1
    trap 'exit_cleanup_status=$?; set +e; (eval "$exit_cleanup_command") >/dev/null 2>&1; exit $exit_cleanup_status' EXIT
}
