# The sandbox in which a try runs a medium's programs, sourced by run-try. A medium may come from anyone, and
# under Wine a Windows program is a Linux process of the user who runs it: it can name any Linux path
# (\\?\unix\..., or a raw system call) whatever drives the prefix has. So the whole play, every Wine process
# with it, runs in a bubblewrap sandbox: its own mount, process, network, IPC and host-name namespaces, the
# file system read-only except the try's own folder, a /tmp of its own (the wineserver's socket and the X
# server's), empty read-only home folders, no /run (the system's sockets: a socket can be reached on a
# read-only mount), no network, no capabilities, and only the environment the try needs.

# try_sandbox_refusal: why no sandbox can be made here; nothing when one can.
try_sandbox_refusal() {
    local why
    command -v bwrap >/dev/null 2>&1 || { echo "bubblewrap (bwrap) is missing: run scripts/setup"; return; }
    why=$(try_sandbox /nonexistent -- true 2>&1) ||
        echo "bubblewrap cannot make a sandbox here: ${why:-it gives no reason}"
}

# The environment inside: the suite's settings, the locale, the search path; none of the caller's others (a
# token of a CI job, say, which a medium's program could otherwise write into the report).
try_sandbox_environment() {
    local name
    for name in $(compgen -e); do
        case "$name" in
        PATH | HOME | USER | LOGNAME | LANG | LANGUAGE | LC_* | TZ | TERM | SUITE_* | FAST_CLOCK | WINTOOL_* | \
            WINE_EXTRA_OVERRIDES) printf '%s\0%s\0' "$name" "${!name}" ;;
        esac
    done
}

# try_sandbox WRITABLE [READABLE...] -- COMMAND...: COMMAND in the sandbox, WRITABLE (a folder) its one
# writable folder; the READABLE paths (the medium, the suite, its build trees) are seen read-only also where
# they lie below a folder the sandbox hides (/tmp, a home folder). Answers COMMAND's exit status.
try_sandbox() {
    local writable=$1 path home name value
    local args=(--die-with-parent --new-session --unshare-pid --unshare-net --unshare-ipc --unshare-uts
        --cap-drop ALL --ro-bind / / --dev /dev --proc /proc --tmpfs /tmp --tmpfs /run)
    # 32-bit Wine runs under qemu through the host's binfmt_misc rule; wine-run checks that it is there.
    [ ! -d /proc/sys/fs/binfmt_misc ] || args+=(--ro-bind /proc/sys/fs/binfmt_misc /proc/sys/fs/binfmt_misc)
    local homes=(/root /home)
    case "${HOME:-/}" in / | /root | /home) ;; *) homes+=("$HOME") ;; esac
    for home in "${homes[@]}"; do args+=(--tmpfs "$home"); done
    shift
    while [ $# -gt 0 ] && [ "$1" != -- ]; do
        path=$(readlink -f "$1") && [ -e "$path" ] && args+=(--ro-bind "$path" "$path")
        shift
    done
    shift
    [ ! -d "$writable" ] || args+=(--bind "$writable" "$writable")
    for home in "${homes[@]}"; do args+=(--remount-ro "$home"); done
    args+=(--clearenv)
    while IFS= read -r -d '' name && IFS= read -r -d '' value; do
        args+=(--setenv "$name" "$value")
    done < <(try_sandbox_environment)
    # Its own user namespace first: there, the mounts it is given cannot be changed from inside. Where the
    # machine allows no user namespace (a container's rules), root's capabilities dropped do the same.
    bwrap --unshare-user "${args[@]}" true 2>/dev/null && args=(--unshare-user "${args[@]}")
    bwrap "${args[@]}" "$@"
}
