// Appending one line to a log-like file so that it is on the disk, whole or not at all, when the call returns.
#pragma once

#include <string>

struct AppendResult {
    bool ok = false;
    std::string error; // what failed, with the path and the system's reason
};

// Appends line (a whole line with its line end) to the file with a single write and flushes it to
// the disk (fsync; FlushFileBuffers on Windows) before returning. A missing or empty file gets
// header (a whole line, may be empty) in front of the line, in the same write; a newly made file
// also has its folder synced, so its name survives a power cut. A file that does not end with a
// line feed (a line torn by a kill) gets "\r\n" first, so the new line starts on a fresh line.
// Platform file.
AppendResult AppendLineDurably(const std::string& path, const std::string& line, const std::string& header);

// The bytes that go in front of line for a file of fileSize bytes whose last byte is lastByte.
std::string AppendPrefix(long long fileSize, char lastByte, const std::string& header);
