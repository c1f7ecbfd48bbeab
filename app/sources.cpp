#include "app/sources.h"

const char* const PrimaryServer = "celestrak.org";
const char* const SatelliteListName = "satonline.txt";

namespace {
const char* const SecondaryServer = "r4uab.ru";
}  // namespace

// Without FORMAT=tle the primary server answers in CSV.
const DownloadSource Sources[3] = {
    {PrimaryServer, "/NORAD/elements/gp.php?GROUP=amateur&FORMAT=tle", "tmp1"},
    {PrimaryServer, "/NORAD/elements/gp.php?GROUP=weather&FORMAT=tle", "tmp2"},
    {SecondaryServer, "/satonline.txt", "tmp3"},
};
