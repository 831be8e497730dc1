// Whole-file reads, and whole-file replacement that is atomic and serialised between processes.
#pragma once

#include <functional>
#include <optional>
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

    // Returns the new bytes, or nullopt to leave the file as it is. Gets "" for a missing file.
    using Edit = std::function<std::optional<std::string>(const std::string& oldBytes)>;

    static ReadResult read(const std::string& path);

    // Holds an exclusive lock on path + ".lock" while it reads the file, edits it, writes the result
    // to a temporary file in the same folder, flushes it and renames it over path. Any failure
    // leaves the old file exactly as it was. A symbolic link is followed and stays a link.
    static ReplaceResult replace(const std::string& path, const Edit& edit);
};
