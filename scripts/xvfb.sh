# Sourced by the scripts that need a display: starts a private Xvfb when
# there is none and stops it, and this build's wineserver, on exit.
start_display() {
    local prefix=$1
    # No Mono or Gecko installers, and no menu entries or file associations
    # that Wine would otherwise write into the user's home for each prefix.
    export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    if [ -z "${DISPLAY:-}" ] || [ "${USBKBD_OWN_DISPLAY:-0}" = 1 ]; then
        local display_file
        display_file=$(mktemp)
        Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
        XVFB_PID=$!
        for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
        export DISPLAY=":$(cat "$display_file")"
        rm -f "$display_file"
    fi
    trap stop_display EXIT
    start_wine
    # There is no window manager: Wine places and frames the windows itself,
    # and closing one does not wait for a manager's answer.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
    use_gulim_replacement
}

# Keeps the wineserver and Wine's own services running until stop_display,
# started here with no terminal, so that no test waits for their output.
# Ends the ones running before.
start_wine() {
    wineserver -k 2>/dev/null || true
    wineserver -w
    wineserver -p >/dev/null 2>&1 || true
    [ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1 </dev/null
    wine cmd /c exit >/dev/null 2>&1 </dev/null
}

# Wine has no "굴림": in every locale, show the program's fixed-pitch Korean
# face with the font of fonts-baekmuk whose advances match it at the window's
# 12 and 13 pixel sizes (6 and 7 pixels a half-width character, 12 and 13 a
# full-width one), so that texts break and fit as they do on Windows.
use_gulim_replacement() {
    local reg
    reg=$(mktemp --suffix=.reg)
    printf 'Windows Registry Editor Version 5.00\r\n\r\n%s\r\n"%s"="%s"\r\n' \
        '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' '굴림' 'Baekmuk Dotum' |
        iconv -f UTF-8 -t UTF-16 >"$reg"
    wine regedit /S "$(winepath -w "$reg")" >/dev/null 2>&1 </dev/null
    rm -f "$reg"
}

stop_display() {
    wineserver -k 2>/dev/null || true
    if [ -n "${XVFB_PID:-}" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
}
