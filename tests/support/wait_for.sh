# wait_for SECONDS COMMAND...: true once COMMAND succeeds (polled), false after SECONDS.
wait_for() {
    local deadline=$((${EPOCHREALTIME/[.,]/} + $1 * 1000000))
    shift
    until "$@"; do ((${EPOCHREALTIME/[.,]/} < deadline)) && sleep 0.02 || return 1; done
}
