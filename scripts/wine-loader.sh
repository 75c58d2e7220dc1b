# Sourced by the scripts that start Wine: picks the loader that runs on this machine.
#
# With Debian's wine32 installed, the `wine` command starts the 32-bit loader, which runs
# only where the kernel runs 32-bit programs. Where it does not ("Exec format error"), the
# 64-bit loader is started directly: 64-bit programs run as before, 32-bit ones cannot.
# Sets wine_loader (the loader to exec), wine32_runs (yes or no) and WINELOADER.
# PINCHWELL_WINE32=no does as where 32-bit Wine cannot run, to try that case anywhere.
wine_loader=/usr/lib/wine/wine64
wine32_runs=no
if [ "${PINCHWELL_WINE32:-}" != no ] && [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
  wine_loader=/usr/lib/wine/wine
  wine32_runs=yes
fi
[ -x "$wine_loader" ] || wine_loader=$(command -v wine || echo wine)
[ "$wine32_runs" = yes ] || export WINELOADER=$wine_loader
# Every `wine` of the sourcing script goes to that loader.
wine() { "$wine_loader" "$@"; }
