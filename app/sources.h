// Where the program's files come from: the element-set servers, the queries they answer
// with element sets in their two-line text form, and the names the downloads are saved
// as in the program's directory. Both servers are reached over HTTPS only.
#pragma once

struct DownloadSource {
  const char* server;
  const char* path;     // with the query
  const char* savedAs;  // the download's temporary, beside the program
};

enum SourceIndex { AmateurElements, WeatherElements, SatelliteList };

// Indexed by SourceIndex. The amateur and weather element sets come from the primary
// element-set server, the satellite list from the secondary one.
extern const DownloadSource Sources[3];

// The primary element-set server, whose name the failure message shows.
extern const char* const PrimaryServer;

// The satellite list's name beside the program once its download has been checked.
extern const char* const SatelliteListName;
