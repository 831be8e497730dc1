#include "common/DurableAppend.h"

std::string AppendPrefix(long long fileSize, char lastByte, const std::string& header) {
    if (fileSize == 0)
        return header;
    return lastByte == '\n' ? "" : "\r\n";
}
