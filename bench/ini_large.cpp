// One read and one write of a key in a 50 MB settings file of blank lines: time and peak memory.
#include "common/Common.h"
#include "common/IniFile.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr std::size_t kFileBytes = 50u << 20;

// The mark, blank CR LF lines up to 50 MB, then the one section the calls look for; written in
// pieces, so the bench holds no copy of the file. wide: the text is UTF-16LE.
void writeLargeFile(const std::string& path, std::string_view mark, bool wide) {
    const auto encoded = [wide](std::string_view text) {
        std::string out;
        for (char c : text) {
            out += c;
            if (wide)
                out += '\0';
        }
        return out;
    };
    const std::string tail = encoded("[Tariff]\r\nPeak=0,50\r\n");
    std::string piece;
    for (int i = 0; i < (1 << 18); ++i)
        piece += encoded("\r\n");
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << mark;
    for (std::size_t left = kFileBytes - mark.size() - tail.size(); left > 0;) {
        const std::size_t n = std::min(left, piece.size());
        out.write(piece.data(), static_cast<std::streamsize>(n));
        left -= n;
    }
    out << tail;
}

struct Figures {
    double seconds = 0;
    double peakMiB = 0;
    bool ok = false;
};

// Runs the call in a child process of its own, so its peak resident memory is its alone.
Figures measured(const std::function<bool()>& call) {
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(call() ? 0 : 1);
    const auto start = std::chrono::steady_clock::now();
    int status = 0;
    struct rusage usage {};
    if (pid < 0 || ::wait4(pid, &status, 0, &usage) != pid)
        return {};
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return {took.count(), usage.ru_maxrss / 1024.0, WIFEXITED(status) && WEXITSTATUS(status) == 0};
}

void print(const char* what, const Figures& f, double baselineMiB) {
    const double fileMiB = kFileBytes / 1048576.0;
    std::printf("%-34s %7.3f s   peak RSS %7.1f MiB (%5.2f x file over the idle %5.1f MiB)   %s\n", what,
                f.seconds, f.peakMiB, (f.peakMiB - baselineMiB) / fileMiB, baselineMiB,
                f.ok ? "ok" : "FAILED");
}

struct Encoding {
    const char* name;
    std::string_view mark;
    bool wide;
};

} // namespace

int main() {
    const std::string folder = (std::filesystem::temp_directory_path() / "quedrix-ini-large").string();
    std::filesystem::create_directories(folder);
    const std::string cfg = folder + "/Quedrix.cfg";
    const double idle = measured([] { return true; }).peakMiB;
    for (const Encoding& encoding :
         {Encoding{"code page", "", false}, Encoding{"UTF-8 with mark", "\xEF\xBB\xBF", false},
          Encoding{"UTF-16LE with mark", "\xFF\xFE", true}}) {
        writeLargeFile(cfg, encoding.mark, encoding.wide);
        std::printf("%s: %zu bytes of blank lines (%s), [Tariff] at the end\n", cfg.c_str(),
                    static_cast<std::size_t>(std::filesystem::file_size(cfg)), encoding.name);
        print("read Tariff/Peak",
              measured([&] { return ReadIniValue("Tariff", "Peak", cfg, 255) == "0,50"; }), idle);
        print("read a missing section",
              measured([&] { return ReadIniValue("Missing", "k", cfg, 255).empty(); }), idle);
        print("write Tariff/Peak (replace a value)",
              measured([&] { return IniFile(cfg).write("Tariff", "Peak", "0,60").ok(); }), idle);
        print("write a new section", measured([&] { return IniFile(cfg).write("Other", "k", "v").ok(); }),
              idle);
    }
    std::filesystem::remove_all(folder);
    return 0;
}
