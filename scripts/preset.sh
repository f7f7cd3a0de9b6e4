# Sourced by build.sh and test.sh: the preset and build folder for their arguments.
#   (none)       preset default (ci when CI=true), build/
#   --sanitize   preset sanitize (ci-sanitize when CI=true), build-asan/
#   --windows    preset windows (ci-windows when CI=true), build-windows/ (scripts/windows.sh)
#   --arm64      preset arm64 (ci-arm64 when CI=true), build-arm64/ (scripts/arm64.sh)
preset=default
dir=build
case "${1:-}" in
    "") ;;
    --sanitize) preset=sanitize dir=build-asan ;;
    --windows) preset=windows dir=build-windows ;;
    --arm64) preset=arm64 dir=build-arm64 ;;
    *) echo "unknown argument '$1': use --sanitize, --windows, --arm64 or nothing" >&2; exit 2 ;;
esac
if [ "${CI:-}" = "true" ]; then
    [ "$preset" = default ] && preset=ci || preset=ci-$preset
fi
