// File > Recent Files: the last missions opened or saved, newest first, kept between runs in
// the platform's settings. One file appears once however it was named (relative or absolute,
// with "." and ".." or without).
#pragma once

#include <string>
#include <vector>

// How many missions the list keeps.
constexpr int kRecentMax = 8;
// The settings list that holds them.
constexpr const char* kRecentSettingsList = "recent-files";

// The form a path is kept in: absolute and without "." or ".." parts (symbolic links are
// resolved where the file exists). Empty for an empty path.
std::string recent_Normal(const std::string& path);
// Puts path first, dropping an earlier entry for the same file, and keeps at most kRecentMax.
void recent_Add(std::vector<std::string>& list, const std::string& path);
// Drops every entry for that file.
void recent_Remove(std::vector<std::string>& list, const std::string& path);

// The list as the settings hold it, cleaned the same way (duplicates, length).
std::vector<std::string> recent_Load();
void recent_Store(const std::vector<std::string>& list);
// A mission was opened or saved under path: it goes first in the kept list. true when that
// changed the list (it is written only then).
bool recent_Note(const std::string& path);
