#include "gamedata/path.h"

std::string path_Parts(std::string_view path, int parts) {
    std::string_view drive, directory, name, extension;
    if (path.size() >= 2 && path[1] == ':') {
        drive = path.substr(0, 2);
        path.remove_prefix(2);
    }
    const std::size_t slash = path.find_last_of("\\/");
    if (slash != std::string_view::npos) {
        directory = path.substr(0, slash + 1);
        path.remove_prefix(slash + 1);
    }
    const std::size_t dot = path.find_last_of('.');
    if (dot != std::string_view::npos) {
        name = path.substr(0, dot);
        extension = path.substr(dot);
    } else {
        name = path;
    }
    std::string out;
    if (parts & kPathDrive) out += drive;
    if (parts & kPathDirectory) out += directory;
    if (parts & kPathName) out += name;
    if (parts & kPathExtension) out += extension;
    return out;
}
