# Running Windows programs under Wine for the tests; sourced by wine-run and by the scenario scripts.
#
# Template prefixes (win32 for the 32-bit editions, win64 for the 64-bit ones) are made once per build tree
# in $SUITE_WINE_DIR; every run gets its own copy, with a wineserver kept for it and ended afterwards.
# Every Wine call runs under a timeout ($SUITE_WINE_TIMEOUT seconds, default 300), so a program that waits
# for ever fails its test instead of hanging it. SUITE_WINE_LANG=0x0407 (or de_DE.UTF-8) runs programs with
# that system default language.

WINE_LOADER32=/usr/lib/wine/wine
WINE_LOADER64=/usr/lib/wine/wine64
WINE_SERVER=/usr/lib/wine/wineserver64
BINFMT_I386=/proc/sys/fs/binfmt_misc/qemu-i386
: "${SUITE_WINE_TIMEOUT:=300}"

wine_fail() {
    echo "wine-run: $*" >&2
    exit 125
}

# The environment of every Wine call: no mono or gecko install prompt, no menu entries, no debug output
# (SUITE_WINEDEBUG=err+all brings Wine's own error lines back when a test is hunted).
wine_env() {
    export WINEPREFIX="$1"
    export WINEDEBUG=${SUITE_WINEDEBUG:--all}
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d${WINE_EXTRA_OVERRIDES:+;$WINE_EXTRA_OVERRIDES}"
    export WINESERVER="$WINE_SERVER"
}

# i386 or amd64, from the machine field of the program's PE header.
wine_program_arch() {
    local file=$1 pe machine
    [ -f "$file" ] || wine_fail "no such program: $file"
    pe=$(od -An -tu4 -j60 -N4 "$file" 2>/dev/null | tr -d ' ')
    [ -n "$pe" ] || wine_fail "not a Windows program: $file"
    machine=$(od -An -tx2 -j$((pe + 4)) -N2 "$file" 2>/dev/null | tr -d ' ')
    case "$machine" in
    014c) echo i386 ;;
    8664) echo amd64 ;;
    *) wine_fail "not an i386 or x86_64 Windows program (machine '$machine'): $file" ;;
    esac
}

# The loader for an architecture, after checking that it can run here.
wine_loader() {
    case "$1" in
    i386)
        [ -x "$WINE_LOADER32" ] || wine_fail "$WINE_LOADER32 is missing: run scripts/setup"
        # The kernel cannot run 32-bit programs; qemu does, through a rule that a restart loses.
        grep -qsx enabled "$BINFMT_I386" ||
            wine_fail "the i386 emulator rule ($BINFMT_I386) is not registered: run scripts/setup"
        echo "$WINE_LOADER32"
        ;;
    amd64)
        [ -x "$WINE_LOADER64" ] || wine_fail "$WINE_LOADER64 is missing: run scripts/setup"
        echo "$WINE_LOADER64"
        ;;
    esac
}

wine_kind_for_arch() { [ "$1" = i386 ] && echo win32 || echo win64; }

# Makes the template prefix of a kind (win32 or win64) unless it is there, made by this very recipe (its
# stamp holds a digest of this function, so a changed recipe remakes the templates); prints its folder.
wine_template() {
    local kind=$1 dir loader log recipe
    [ -n "${SUITE_WINE_DIR:-}" ] || wine_fail "SUITE_WINE_DIR is not set"
    dir="$SUITE_WINE_DIR/$kind"
    recipe=$(declare -f wine_template | md5sum | cut -d' ' -f1)
    if [ "$(cat "$dir/.ready" 2>/dev/null)" != "$recipe" ]; then
        mkdir -p "$SUITE_WINE_DIR" || wine_fail "cannot create $SUITE_WINE_DIR"
        [ -x "$WINE_SERVER" ] || wine_fail "$WINE_SERVER is missing: run scripts/setup"
        case "$kind" in
        win32) loader=$(wine_loader i386) || exit 125 ;;
        win64) loader=$(wine_loader amd64) || exit 125 ;;
        *) wine_fail "unknown prefix kind '$kind' (win32 or win64)" ;;
        esac
        log="$SUITE_WINE_DIR/$kind.log"
        (
            flock 9
            [ "$(cat "$dir/.ready" 2>/dev/null)" = "$recipe" ] && exit 0
            echo "wine-run: making the $kind template prefix (once per build tree)" >&2
            rm -rf "$dir"
            wine_env "$dir"
            export WINEARCH=$kind
            timeout -k 10 300 "$loader" wineboot.exe -i >"$log" 2>&1 &&
                # A crashing program must end, not wait for a click on the crash dialog.
                timeout -k 10 120 "$loader" reg.exe add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog \
                    /t REG_DWORD /d 0 /f >>"$log" 2>&1 &&
                # Xvfb has no window manager: Wine must not wait for one to map and unmap windows (about 2 s
                # for every window that closes).
                timeout -k 10 120 "$loader" reg.exe add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
                    >>"$log" 2>&1 &&
                timeout -k 10 120 "$WINE_SERVER" -w >>"$log" 2>&1 ||
                { "$WINE_SERVER" -k 2>/dev/null; exit 1; }
            echo "$recipe" >"$dir/.ready"
        ) 9>"$SUITE_WINE_DIR/$kind.lock" || wine_fail "could not make the $kind prefix in $dir (see $log)"
    fi
    echo "$dir"
}

# Makes DIR a fresh copy of the template of a kind and starts its wineserver.
wine_prefix_new() {
    local kind=$1 dir=$2 template
    if [ "${SUITE_NEEDS_DISPLAY:-0}" = 1 ]; then
        wine_own_display
    fi
    template=$(wine_template "$kind") || exit 125
    rm -rf "$dir"
    mkdir -p "$(dirname "$dir")"
    cp -a "$template" "$dir" || wine_fail "cannot copy $template to $dir"
    (wine_env "$dir" && "$WINE_SERVER" -p) || wine_fail "cannot start the wineserver of $dir"
}

# Ends the wineserver of DIR (and every program still running in it), removes DIR, and ends the run's own
# X server if it has one.
wine_prefix_end() {
    local dir=$1
    if [ -d "$dir" ]; then
        (wine_env "$dir" && timeout 30 "$WINE_SERVER" -k 2>/dev/null)
        # The server removes its socket folder as it goes: wait for it so nothing writes into DIR afterwards.
        (wine_env "$dir" && timeout 30 "$WINE_SERVER" -w 2>/dev/null)
        rm -rf "$dir"
    fi
    if [ -n "${WINE_OWN_XVFB:-}" ]; then
        kill "$WINE_OWN_XVFB" 2>/dev/null
        wait "$WINE_OWN_XVFB" 2>/dev/null
        WINE_OWN_XVFB=
    fi
}

# Starts an X server of the run's own and points DISPLAY at it, so that no window of another test covers,
# or takes the focus from, the windows this run shows and looks at. Xvfb picks a free display number
# itself (-displayfd) and tells it once it accepts clients. -noreset: an X server resets itself whenever its
# last client leaves (each screenshot poll is such a client), and a program that connects during the reset
# (Wine's desktop process) finds no display and cannot show a window for its whole run.
wine_own_display() {
    local number_file number i
    [ -n "${WINE_OWN_XVFB:-}" ] && return 0
    command -v Xvfb >/dev/null 2>&1 || wine_fail "Xvfb is missing: run scripts/setup"
    number_file=$(mktemp) || wine_fail "cannot make a temporary file"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$number_file" >/dev/null 2>&1 &
    WINE_OWN_XVFB=$!
    for ((i = 0; i < 100; i++)); do
        number=$(head -n 1 "$number_file")
        [ -n "$number" ] && break
        sleep 0.1
    done
    rm -f "$number_file"
    [ -n "$number" ] || wine_fail "Xvfb did not start"
    export DISPLAY=":$number"
}

# The locale of a system default language, given as a language ID (0x0407) or as a locale (de_DE.UTF-8).
# Wine takes the language (and the ANSI code page) of each program from LC_ALL when it starts; the locale
# need not be installed on the machine.
wine_locale_for_language() {
    case "${1,,}" in
    0x0401) echo ar_SA.UTF-8 ;; 0x0404) echo zh_TW.UTF-8 ;; 0x0405) echo cs_CZ.UTF-8 ;;
    0x0406) echo da_DK.UTF-8 ;; 0x0407) echo de_DE.UTF-8 ;; 0x0408) echo el_GR.UTF-8 ;;
    0x0409) echo en_US.UTF-8 ;; 0x040b) echo fi_FI.UTF-8 ;; 0x040c) echo fr_FR.UTF-8 ;;
    0x040d) echo he_IL.UTF-8 ;; 0x040e) echo hu_HU.UTF-8 ;; 0x0410) echo it_IT.UTF-8 ;;
    0x0411) echo ja_JP.UTF-8 ;; 0x0412) echo ko_KR.UTF-8 ;; 0x0413) echo nl_NL.UTF-8 ;;
    0x0414) echo nb_NO.UTF-8 ;; 0x0415) echo pl_PL.UTF-8 ;; 0x0416) echo pt_BR.UTF-8 ;;
    0x0419) echo ru_RU.UTF-8 ;; 0x041d) echo sv_SE.UTF-8 ;; 0x041e) echo th_TH.UTF-8 ;;
    0x041f) echo tr_TR.UTF-8 ;; 0x0421) echo id_ID.UTF-8 ;; 0x042a) echo vi_VN.UTF-8 ;;
    0x0804) echo zh_CN.UTF-8 ;; 0x0809) echo en_GB.UTF-8 ;; 0x0816) echo pt_PT.UTF-8 ;;
    0x0c04) echo zh_HK.UTF-8 ;; 0x0c0a) echo es_ES.UTF-8 ;;
    [a-z][a-z]_[a-z][a-z]*) echo "$1" ;;
    *) return 1 ;;
    esac
}

# Runs PROGRAM [ARGS...] in prefix DIR with the loader of its architecture; answers its exit status.
# SUITE_WINE_LANG (a language ID or a locale) sets the system's default language for that program.
# WINE_PROGRAM_AS (a Windows path) starts PROGRAM by that name instead, as a person would type it, letter
# case and drive included; PROGRAM still names the file, for its architecture.
wine_exec() {
    local dir=$1 program=$2 arch loader status locale=
    shift 2
    arch=$(wine_program_arch "$program") || exit 125
    loader=$(wine_loader "$arch") || exit 125
    if [ -n "${SUITE_WINE_LANG:-}" ]; then
        locale=$(wine_locale_for_language "$SUITE_WINE_LANG") ||
            wine_fail "unknown language '$SUITE_WINE_LANG' (add its locale to wine_locale_for_language)"
    fi
    if [ "${SUITE_NEEDS_DISPLAY:-0}" = 1 ] && [ -z "${DISPLAY:-}" ]; then
        wine_fail "$program needs an X display: run the tests with 'make check' (it starts Xvfb)"
    fi
    status=0
    # env, not an assignment in this shell: bash would complain about a locale the machine lacks.
    (wine_env "$dir" && exec env ${locale:+LC_ALL="$locale"} timeout -k 10 "$SUITE_WINE_TIMEOUT" "$loader" \
        "${WINE_PROGRAM_AS:-$program}" "$@") || status=$?
    [ "$status" = 124 ] && echo "wine-run: $program timed out after $SUITE_WINE_TIMEOUT s" >&2
    return "$status"
}
