#include "app/sources.h"

const char* const PrimaryServer = "celestrak.org";

namespace {
const char* const SecondaryServer = "r4uab.ru";
}  // namespace

const DownloadSource Sources[3] = {
    {PrimaryServer, "/NORAD/elements/amateur.txt", "tmp1"},
    {PrimaryServer, "/NORAD/elements/weather.txt", "tmp2"},
    {SecondaryServer, "/satonline.txt", "satonline.txt"},
};
