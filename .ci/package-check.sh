#!/bin/sh
# Builds the Debian package, checks it with lintian, installs it the way a user would, starts
# the installed program headless and under a headless Wayland compositor, then removes the
# package again and checks that none of its files is left.
# Runs as root on a Debian 12 machine; CI runs it after the tests.
set -eu
cd "$(dirname "$0")/.."
export DEBIAN_FRONTEND=noninteractive

BUILD=${BUILD:-build}
# 1 (the default): also ask the installed program for its version (`strelmark --version`
# must succeed); 0 leaves it out.
CHECK_VERSION_OPTION=${CHECK_VERSION_OPTION:-1}

work=$(mktemp -d)
installed_here=0
cleanup() {
    if [ "$installed_here" = 1 ] && dpkg-query -W strelmark >/dev/null 2>&1; then
        apt-get remove --purge -y strelmark >/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "package check failed: $*" >&2
    exit 1
}

rm -f "$BUILD"/strelmark_*.deb
make package BUILD="$BUILD"
set -- "$BUILD"/strelmark_*.deb
[ $# -eq 1 ] && [ -f "$1" ] || fail "make package left no single strelmark_*.deb in $BUILD"
case $1 in
/*) deb=$1 ;;
*) deb=./$1 ;;
esac
echo "Package: $deb"
dpkg-deb --info "$deb"

# Debian's own checks of the package, at their most demanding: any error or warning fails
# (the few tags overridden carry their reasons in resources/debian/lintian-overrides).
if command -v lintian >/dev/null 2>&1; then
    lintian --pedantic --info --display-experimental --fail-on error,warning "$deb" ||
        fail "lintian found errors or warnings in $deb"
    echo "lintian passed."
else
    fail "lintian is not installed (apt-get install lintian)"
fi

installed_here=1
apt-get install -y "$deb"
dpkg -L strelmark >"$work/files"
[ -x /usr/bin/strelmark ] || fail "/usr/bin/strelmark is not there after the install"
# The command line's completions, where bash-completion, Debian's zsh and fish look for them.
for completion in /usr/share/bash-completion/completions/strelmark \
    /usr/share/zsh/vendor-completions/_strelmark /usr/share/fish/vendor_completions.d/strelmark.fish; do
    [ -f "$completion" ] || fail "$completion is not there after the install"
done

if [ "$CHECK_VERSION_OPTION" = 1 ]; then
    /usr/bin/strelmark --version || fail "strelmark --version failed"
fi

# The window, offscreen, for one second, with a settings folder and desktop of its own:
# still running when the time is up (timeout's 124) is what a working program does.
mkdir -p "$work/home/Desktop"
status=0
HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" QT_QPA_PLATFORM=offscreen \
    timeout -k 5 1 /usr/bin/strelmark || status=$?
[ "$status" -eq 124 ] || fail "the installed program did not keep running for a second (exit status $status)"
echo "The installed program started and was still running after a second."
# At its first start the program records the sample pages it finds in its folder: a recorded
# list shows that it found /usr/share/strelmark from /usr/bin.
grep -q '^Snapshot=..*' "$work/home/.config/Brindlewick.ini" ||
    fail "the installed program did not find its sample pages in /usr/share/strelmark"

# The window on a Wayland desktop with no X server: weston's headless compositor, and the
# installed program on Qt's Wayland plugin (qt6-wayland, a dependency) for two seconds.
if command -v weston >/dev/null 2>&1; then
    runtime="$work/runtime"
    mkdir -m 700 "$runtime"
    XDG_RUNTIME_DIR="$runtime" weston --backend=headless-backend.so --socket=strelmark-check \
        --idle-time=0 >"$work/weston.log" 2>&1 &
    weston=$!
    tries=0
    while [ ! -S "$runtime/strelmark-check" ] && [ $tries -lt 100 ]; do
        sleep 0.1
        tries=$((tries + 1))
    done
    status=0
    env -u DISPLAY HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" \
        XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY=strelmark-check QT_QPA_PLATFORM=wayland \
        timeout -k 5 2 /usr/bin/strelmark "$work/home" 2>"$work/wayland.err" || status=$?
    kill "$weston" 2>/dev/null || true
    wait "$weston" 2>/dev/null || true
    [ -S "$runtime/strelmark-check" ] || [ $tries -lt 100 ] ||
        fail "weston did not start: $(cat "$work/weston.log")"
    [ "$status" -eq 124 ] ||
        fail "the installed program did not keep running under Wayland (exit status $status): $(cat "$work/wayland.err")"
    echo "The installed program ran under Wayland (weston, headless) for two seconds."
else
    fail "weston is not installed (apt-get install weston)"
fi

apt-get remove --purge -y strelmark
installed_here=0

# Every file of the package must be gone, and every folder of it that is left must be one
# that holds something else or belongs to another package.
left=""
while IFS= read -r path; do
    [ "$path" = "/." ] && continue
    if [ -d "$path" ] && [ ! -L "$path" ]; then
        if [ -z "$(ls -A "$path")" ] && ! dpkg -S "$path" >/dev/null 2>&1; then
            left="$left $path"
        fi
    elif [ -e "$path" ] || [ -L "$path" ]; then
        left="$left $path"
    fi
done <"$work/files"
[ ! -e /usr/share/strelmark ] || left="$left /usr/share/strelmark"
[ -z "$left" ] || fail "left behind after the removal:$left"
echo "Package check passed: $(grep -vc '^/\.$' "$work/files") paths installed and removed."
