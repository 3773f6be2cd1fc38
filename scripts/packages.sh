# Debian packages the build and the tests need; sourced by run.sh and test.sh.
TARMIN_PACKAGES="cmake g++ make pkg-config qt6-base-dev libjpeg62-turbo-dev libgtest-dev libgmock-dev
  libbenchmark-dev libswe-dev fonts-arphic-uming fonts-dejavu-core qt6-translations-l10n
  qt6-svg-dev libgeonames0 libgeonames-dev libgeonames-common libglib2.0-dev libicu-dev tzdata"
# Simplified to traditional Chinese for Taiwan and Hong Kong (the library, its dictionaries).
TARMIN_PACKAGES="$TARMIN_PACKAGES libopencc-dev libopencc1.1 libopencc-data"
# The CJK fallback face: characters the Song face lacks (e.g. 匄 in the era names) show from it.
TARMIN_PACKAGES="$TARMIN_PACKAGES fonts-noto-cjk"
# Forecasting: the iCalendar files of the event and transit lists (libical), their CSV (libcsv).
TARMIN_PACKAGES="$TARMIN_PACKAGES libical-dev libcsv-dev"
# Chart exchange: the JSON export (nlohmann-json); CSV through libcsv as above.
TARMIN_PACKAGES="$TARMIN_PACKAGES nlohmann-json3-dev"
# The tests also need: the end-to-end robot's desktop (X server, session bus, accessibility bus,
# Python bindings) and clang for the fuzz targets.
TARMIN_TEST_PACKAGES="xvfb dbus-bin dbus-daemon at-spi2-core python3-pyatspi clang libclang-rt-14-dev"
# The astronomy tests' reference ephemeris files (JPL-based, 1200-2400) for libswe-dev; without
# them the tests fall back to its analytical mode.
TARMIN_TEST_PACKAGES="$TARMIN_TEST_PACKAGES swe-basic-data swe-standard-data"
# OpenCC's dictionary tool: the script test reads OpenCC's character table through it.
TARMIN_TEST_PACKAGES="$TARMIN_TEST_PACKAGES opencc"

tarmin_install_missing() {
  local missing=""
  for p in $TARMIN_PACKAGES "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
  done
  if [ -n "$missing" ]; then
    echo "Installing:$missing"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
  fi
}
