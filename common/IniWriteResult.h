// The outcome of one INI write, with the reason when the file was left alone.
#pragma once

#include <string>

struct IniWriteResult {
    enum class Status { Written, Unchanged, Refused, Failed };

    Status status = Status::Written;
    std::string reason; // empty unless Refused or Failed

    bool ok() const { return status == Status::Written || status == Status::Unchanged; }
};
