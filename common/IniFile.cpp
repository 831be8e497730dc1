#include "common/IniFile.h"

#include <new>

#include "common/FileStore.h"
#include "common/IniDocument.h"
#include "common/IniEncoding.h"

// A file too large for the memory left fails the one call; the program goes on.
std::string IniFile::read(const std::string& section, const std::string& key, std::size_t maxChars) const {
    try {
        FileStore::ReadResult file = FileStore::read(m_path);
        if (!file.ok || !file.exists)
            return "";
        const IniEncoding encoding = IniEncoding::of(file.bytes);
        const IniDocument document(encoding.documentText(std::move(file.bytes)));
        const auto value = document.value(encoding.toDocument(section), encoding.toDocument(key));
        return value ? encoding.fromDocument(*value, maxChars) : "";
    } catch (const std::bad_alloc&) {
        return "";
    }
}

IniWriteResult IniFile::write(const std::string& section, const std::string& key,
                              const std::string& value) const {
    if (const auto reason = IniDocument::refusal(section, key, value))
        return {IniWriteResult::Status::Refused, *reason};
    FileStore::ReplaceResult result;
    try {
        result = FileStore::replace(m_path, [&](std::string& bytes) {
            const IniEncoding encoding = IniEncoding::of(bytes);
            IniDocument document(encoding.documentText(std::move(bytes)));
            if (!document.setValue(encoding.toDocument(section), encoding.toDocument(key),
                                   encoding.toDocument(value)))
                return false;
            bytes = encoding.fileBytes(std::move(document).bytes());
            return true;
        });
    } catch (const std::bad_alloc&) {
        return {IniWriteResult::Status::Failed, "not enough memory for the file; it was left as it was"};
    }
    switch (result.status) {
    case FileStore::ReplaceStatus::Replaced:
        return {IniWriteResult::Status::Written, ""};
    case FileStore::ReplaceStatus::Unchanged:
        return {IniWriteResult::Status::Unchanged, ""};
    case FileStore::ReplaceStatus::Failed:
        break;
    }
    return {IniWriteResult::Status::Failed, result.error};
}
