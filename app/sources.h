// Where the program's files come from: the element-set servers, the paths they publish the
// files under, and the names the downloads are saved as in the program's directory.
#pragma once

struct DownloadSource {
  const char* server;
  const char* path;
  const char* savedAs;
};

enum SourceIndex { AmateurElements, WeatherElements, SatelliteList };

// Indexed by SourceIndex. The amateur and weather element sets come from the primary
// element-set server, the satellite list from the secondary one.
extern const DownloadSource Sources[3];

// The primary element-set server, whose name the failure message shows.
extern const char* const PrimaryServer;
