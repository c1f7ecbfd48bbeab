// Remembers when a file was last fetched successfully, so the program asks a server for the
// same data at most once every two hours: the primary server publishes new element sets no
// more often than that and refuses (and in the end blocks) clients that ask again sooner.
// The record is a small file beside the fetched one, named after it with ".stamp" added,
// holding the time of the fetch in seconds since 1970 (UTC) and the file's size then.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr std::int64_t FetchIntervalSeconds = 2 * 60 * 60;

// The stamp's text: "<seconds> <size>" and CR LF. Returns its length (without the null);
// room must hold FetchStampRoom bytes.
constexpr std::size_t FetchStampRoom = 48;
std::size_t FetchStampText(char* room, std::int64_t fetchedAt, std::int64_t size);

// True when the stamp's text records a fetch less than the interval before now (not in
// the future: a clock set back is no proof of fresh data) of a file that still has the
// recorded size. Anything malformed is not fresh.
bool FetchStampFresh(const char* text, std::size_t length, std::int64_t fileSize, std::int64_t now);

// The same on disk: true when path was fetched less than the interval before now and is
// still the file then written. False without the file or its stamp.
bool FetchedRecently(const char* path, std::int64_t now);

// Records that path was fetched at now. False when the stamp cannot be written (the next
// run then simply fetches again).
bool FetchStampWrite(const char* path, std::int64_t now);
