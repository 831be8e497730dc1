#include "IniFile.h"

#include <algorithm>
#include <new>

#include "CodePage.h"
#include "FileStore.h"
#include "IniDocument.h"

// A file too large for the memory left fails the one call; the program goes on.
std::string IniFile::read(const std::string& section, const std::string& key, std::size_t maxChars) const {
    try {
        FileStore::ReadResult file = FileStore::read(m_path);
        if (!file.ok || !file.exists)
            return "";
        const CodePage page = CodePage::active();
        const IniDocument document(std::move(file.bytes));
        std::string value = document.value(page.toEightBit(section), page.toEightBit(key)).value_or("");
        if (value.size() > maxChars)
            value.resize(maxChars);
        std::erase(value, '\0');
        return page.toUtf8(value);
    } catch (const std::bad_alloc&) {
        return "";
    }
}

IniWriteResult IniFile::write(const std::string& section, const std::string& key,
                              const std::string& value) const {
    if (const auto reason = IniDocument::refusal(section, key, value))
        return {IniWriteResult::Status::Refused, *reason};
    const CodePage page = CodePage::active();
    FileStore::ReplaceResult result;
    try {
        result = FileStore::replace(m_path, [&](std::string& bytes) {
            IniDocument document(std::move(bytes));
            if (!document.setValue(page.toEightBit(section), page.toEightBit(key), page.toEightBit(value)))
                return false;
            bytes = std::move(document).bytes();
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
