// Whole-file reads, and whole-file replacement that is atomic and serialised between processes.
#pragma once

#include <functional>
#include <string>

class FileStore {
public:
    struct ReadResult {
        bool exists = false;
        bool ok = false; // false when the file exists but cannot be read
        std::string bytes;
        std::string error;
    };

    enum class ReplaceStatus { Replaced, Unchanged, Failed };
    struct ReplaceResult {
        ReplaceStatus status = ReplaceStatus::Failed;
        std::string error;
    };

    // Turns the file's bytes ("" for a missing file) into the new bytes in place; returns false to
    // leave the file as it is (the bytes may then hold anything).
    using Edit = std::function<bool(std::string& bytes)>;

    static ReadResult read(const std::string& path);

    // Holds an exclusive lock on path + ".lock" while it reads the file, edits it, writes the result
    // to a temporary file in the same folder, flushes it and renames it over path. Any failure
    // leaves the old file exactly as it was; so does a file the user may not write. A symbolic
    // link is followed and stays a link. Temporary files that killed writers left are removed.
    static ReplaceResult replace(const std::string& path, const Edit& edit);
};
