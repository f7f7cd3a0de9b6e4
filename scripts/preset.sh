# Sourced by build.sh and test.sh: the preset and build folder for their arguments.
#   (none)       preset default (ci when CI=true), build/
#   --sanitize   preset sanitize (ci-sanitize when CI=true), build-asan/
#   --windows    preset windows (ci-windows when CI=true), build-windows/ (scripts/windows.sh)
preset=default
dir=build
case "${1:-}" in
    "") ;;
    --sanitize) preset=sanitize dir=build-asan ;;
    --windows) preset=windows dir=build-windows ;;
    *) echo "unknown argument '$1': use --sanitize, --windows or nothing" >&2; exit 2 ;;
esac
if [ "${CI:-}" = "true" ]; then
    [ "$preset" = default ] && preset=ci || preset=ci-$preset
fi
