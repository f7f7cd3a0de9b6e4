#!/usr/bin/env bash
# Builds Tallyclock for 64-bit ARM Linux (arm64: Raspberry Pi OS, Debian on arm64) on a
# Debian 12 or 13 machine of another architecture, with Debian's cross compiler and
# Debian's arm64 libraries installed beside the machine's own.
#   scripts/arm64.sh           what the cross build needs (once), the program into
#                              build-arm64/, and the arm64 Debian package, checked with
#                              lintian, into build-arm64/deb/
#   scripts/arm64.sh --test    the same, with the suite run under qemu-user between the
#                              build and the package
# The suite needs a qemu-user that runs Qt 6.4's QProcess, whose clone flags Debian 12's
# own qemu (7.2) refuses: Debian 12 gets qemu-user from bookworm-backports (10.0), from
# the archive its apt already uses, pinned so that nothing else comes from there; Debian
# 13's own qemu (10.0) serves as it is.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD

mode=build
case "${1:-}" in
    "") ;;
    --test) mode=test ;;
    *)
        echo "usage: scripts/arm64.sh [--test]" >&2
        exit 2
        ;;
esac

arch=arm64
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
apt_install() {
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
        --no-install-recommends "$@"
}
started=$SECONDS
step() {
    echo "== $* ($((SECONDS - started)) s)"
}

step "the tools, and the libraries for $arch (scripts/setup-debian.sh --arch $arch)"
bash scripts/setup-debian.sh --arch "$arch"
missing=()
for p in lintian dpkg-dev file; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] || apt_install "${missing[@]}"

# qemu-user: 10.0 is the release that runs the suite; 7.2 fails QProcess::start with
# EINVAL.
qemu_major() {
    qemu-aarch64 --version 2>/dev/null | sed -n 's/^qemu-aarch64 version \([0-9]*\)\..*/\1/p'
}
if [ "$(qemu_major)" -ge 10 ] 2>/dev/null; then
    :
elif [ "$(. /etc/os-release && echo "$VERSION_CODENAME")" != bookworm ]; then
    apt_install qemu-user
elif apt-cache policy 2>/dev/null | grep -q '[ ,]n=bookworm-backports,'; then
    # The machine's own sources have backports already: qemu-user is asked for from there.
    apt_install -t bookworm-backports qemu-user
else
    mirror=$(bash scripts/debian-mirror.sh)
    if [ -z "$mirror" ]; then
        echo "This machine's apt sources name no Debian archive to take qemu-user from." >&2
        exit 1
    fi
    echo "Adding bookworm-backports from this machine's Debian archive, pinned to qemu-user alone"
    echo "deb $mirror bookworm-backports main" |
        "${as_root[@]}" tee /etc/apt/sources.list.d/tallyclock-qemu-backports.list >/dev/null
    "${as_root[@]}" tee /etc/apt/preferences.d/tallyclock-qemu-backports >/dev/null <<'EOF'
# scripts/arm64.sh: Tallyclock's arm64 suite wants the qemu-user of bookworm-backports;
# nothing else comes from there.
Package: *
Pin: release n=bookworm-backports
Pin-Priority: -1

Package: qemu-user
Pin: release n=bookworm-backports
Pin-Priority: 500
EOF
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    apt_install qemu-user
fi
if ! [ "$(qemu_major)" -ge 10 ] 2>/dev/null; then
    echo "qemu-aarch64 10.0 or later is needed: $(qemu-aarch64 --version | head -n 1)" >&2
    exit 1
fi
echo "qemu-user: $(dpkg-query -W -f='${Version}' qemu-user)"

# The program and its tests.
step "the program (scripts/build.sh --arm64)"
bash scripts/build.sh --arm64
source scripts/preset.sh --arm64
build=$top/$dir
file -b "$build/src/tallyclock"
if [ "$mode" = test ]; then
    step "the suite under qemu-user"
    ctest --preset "$preset" --parallel "$(nproc)"
fi

# The package, as Debian builds it for arm64: from a copy of the clone's files (those
# of the working tree that git knows), without the tests, which have just run under
# the emulator and which Debian's cross build does not run.
step "the build dependencies (apt-get build-dep -a $arch ./)"
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get build-dep -y -qq -a "$arch" \
    -P nocheck ./ >/dev/null
version=$(dpkg-parsechangelog -S Version)
deb=$build/deb
source_dir=$deb/tallyclock-${version%-*}
rm -rf "$deb"
mkdir -p "$source_dir"
git ls-files -z --cached --others --exclude-standard |
    tar --null --ignore-failed-read -T - -cf - | tar -x -C "$source_dir"
step "the package (dpkg-buildpackage -a $arch)"
if ! (cd "$source_dir" && DEB_BUILD_OPTIONS="nocheck parallel=$(nproc)" \
    dpkg-buildpackage -a "$arch" -Pnocheck -B -us -uc >"$deb/build.log" 2>&1); then
    tail -n 60 "$deb/build.log"
    echo "the package build failed; its log is $deb/build.log" >&2
    exit 1
fi
step "lintian"
lintian --pedantic --display-info --fail-on error,warning "$deb"/tallyclock_*_"$arch".changes
package=$(ls "$deb"/tallyclock_*_"$arch".deb)
dpkg-deb -I "$package"
mkdir "$deb/contents"
dpkg-deb -x "$package" "$deb/contents"
file -b "$deb/contents/usr/libexec/tallyclock/tallyclock"
step "the arm64 build passed: $package"
