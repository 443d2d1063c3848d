// What the commands check about the files they are given: an output that would replace its
// own input, a binary mission handed to a command that reads metafiles, and why a write failed.
#include "cli/cli.h"

#include "core/file.h"
#include "mission/export.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include <sys/stat.h>

namespace {

// A metafile is text: a NUL among its first bytes means it is none.
constexpr std::size_t kTextProbeBytes = 4096;

}  // namespace

std::string cli_CannotWrite(const std::string& path) {
    std::string message = "cannot write " + path;
    if (const int error = file_LastWriteError()) message += std::string(": ") + std::strerror(error);
    return message;
}

bool cli_OutputIsInput(const char* command, const std::string& in, const std::string& out) {
    // The same file under any name: stat follows links, and the device and inode name the file.
    struct stat a {
    }, b{};
    if (::stat(in.c_str(), &a) != 0 || ::stat(out.c_str(), &b) != 0) return false;
    if (a.st_dev != b.st_dev || a.st_ino != b.st_ino) return false;
    cli_Fail(kExitUsage, std::string(command) + ": the output " + out + " is the input file " + in +
                             "; writing it would replace the mission. Choose another output.");
    return true;
}

bool cli_RefuseBinaryMission(const char* command, const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::vector<char> head(kTextProbeBytes);
    f.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(f.gcount()));
    if (std::find(head.begin(), head.end(), '\0') == head.end()) return false;

    // Other binary data is left to the reader, which names the first line it cannot use.
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec || size > kCliMaxBmsFileSize) return false;
    f.clear();
    f.seekg(0);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
    BmsFile parsed;
    std::string error;
    if (!bms_Parse(bytes.data(), bytes.size(), parsed, error)) return false;
    std::fprintf(stderr,
                 "%s: this is a binary mission (the game's format), not a mission metafile, which %s reads; "
                 "'sortie-cli dump-bms %s' prints a binary mission as text\n",
                 path.c_str(), command, path.c_str());
    return true;
}
