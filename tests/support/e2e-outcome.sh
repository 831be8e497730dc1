# Sourced first by the end-to-end scripts: how a run ends when it cannot start (77: skipped) or when
# a check fails.
skip() {
    echo "SKIPPED: $*" >&2
    exit 77
}
fail() {
    echo "FAILED: $*" >&2
    exit 1
}
