#include "app/SingleInstance.h"

#include "app/SingleInstanceSystem.h"
#include "common/AppFolder.h"

#include <cstdint>
#include <filesystem>
#include <system_error>

namespace {

std::filesystem::path pathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// A file this process cannot write to may still be a running copy's lock (another user's copy, or a
// folder made read-only under it); a dead copy's file there is only in the way.
LockOutcome lockAt(const std::string& path) {
    const LockOutcome outcome = TakeLockFile(path);
    std::error_code error;
    if (outcome == LockOutcome::CannotBeMade && std::filesystem::exists(pathOf(path), error) &&
        FileLockedByAProcess(path))
        return LockOutcome::HeldElsewhere;
    return outcome;
}

bool lockHeldElsewhere() {
    LockOutcome outcome = lockAt(AppFilePath(InstanceLockFileName));
    if (outcome == LockOutcome::CannotBeMade) {
        // A folder of the user's own, so no other user can put a lock there to keep the program out.
        const std::string runtime = UserRuntimeFolder();
        if (!runtime.empty())
            outcome = lockAt(runtime + "/" + RuntimeLockFileName(AppFolder()));
    }
    // Where no lock can be made at all, the program runs rather than refusing to.
    return outcome == LockOutcome::HeldElsewhere;
}

// 64-bit FNV-1a from the given start: stable across builds and platforms, unlike std::hash.
uint64_t fnv1a(const std::string& text, uint64_t hash) {
    for (const unsigned char c : text) {
        hash ^= c;
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

std::string hex(uint64_t value) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, value >>= 4)
        text[static_cast<size_t>(i)] = digits[value & 0xF];
    return text;
}

} // namespace

std::string RuntimeLockFileName(const std::string& appFolder) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(pathOf(appFolder), error);
    std::filesystem::path resolved = std::filesystem::weakly_canonical(absolute, error);
    if (error)
        resolved = absolute.lexically_normal();
    const std::u8string utf8 = resolved.u8string();
    const std::string path(utf8.begin(), utf8.end());
    return "Quedrix-" + hex(fnv1a(path, 0xcbf29ce484222325ULL)) + hex(fnv1a(path, 0x84222325cbf29ce4ULL)) +
           ".lock";
}

bool AnotherInstanceRuns() {
    static const bool heldElsewhere = lockHeldElsewhere();
    return heldElsewhere;
}

void ReleaseInstanceLock() {
    ReleaseLockFile();
}
