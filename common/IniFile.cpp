#include "IniFile.h"

#include <algorithm>

#include "CodePage.h"
#include "FileStore.h"
#include "IniDocument.h"

std::string IniFile::read(const std::string& section, const std::string& key, std::size_t maxChars) const {
    const FileStore::ReadResult file = FileStore::read(m_path);
    if (!file.ok || !file.exists)
        return "";
    const CodePage page = CodePage::active();
    const IniDocument document(file.bytes);
    std::string value = document.value(page.toEightBit(section), page.toEightBit(key)).value_or("");
    if (value.size() > maxChars)
        value.resize(maxChars);
    std::erase(value, '\0');
    return page.toUtf8(value);
}

IniWriteResult IniFile::write(const std::string& section, const std::string& key,
                              const std::string& value) const {
    if (const auto reason = IniDocument::refusal(section, key, value))
        return {IniWriteResult::Status::Refused, *reason};
    const CodePage page = CodePage::active();
    const std::string s = page.toEightBit(section);
    const std::string k = page.toEightBit(key);
    const std::string v = page.toEightBit(value);
    const FileStore::ReplaceResult result = FileStore::replace(m_path, [&](const std::string& oldBytes) {
        IniDocument document(oldBytes);
        return document.setValue(s, k, v) ? std::optional(document.bytes()) : std::nullopt;
    });
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
