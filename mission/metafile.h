// The mission metafile: the editor's own save format, a line-oriented text form of a page.
// metafile_Write produces it; metafile_Read reads it back, together with the keywords of the
// older generation of the format.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

struct Mission;

// Where the blocks of a metafile began, so that tools can point at the line of a finding.
// Filled by metafile_Read when asked for; a line of 0 means no block of that number was read.
struct MetafileLines {
    std::vector<int> item;                  // begin item N, indexed by N
    std::vector<int> event;                 // begin event N
    std::vector<std::vector<int>> trigger;  // trigger rows, by event and row
    std::vector<std::vector<int>> action;   // action rows, by event and row
    std::vector<int> waypoint;              // begin waypoint N
    std::vector<int> group;                 // begin group N
    std::vector<int> area;                  // begin areatrig N
    int generalInfo = 0;                    // begin general_information
    int numItems = 0;                       // the num_items line
    int numEvents = 0;                      // the num_events line
    int itemsDeclared = 0;                  // num_items as the file gives it (the page holds the blocks read)
    int eventsDeclared = 0;                 // num_events as the file gives it
    int unterminated = 0;                   // begin line of a block the file never closed, 0 for none
    bool noBlock = false;                   // the file holds no block at all (empty or blank): no mission
};

// A text field of the file that was longer than the page's field holds and was cut to fit.
struct MetafileCut {
    std::string field;         // the keyword of its line ("description", "briefing"...)
    int line = 0;              // its line (the begin line for the briefing)
    std::size_t length = 0;    // characters in the file
    std::size_t capacity = 0;  // characters the field holds
};

struct MetafileReadOptions {
    bool loadTerrain = true;                   // load the terrain the file names into the page
    MetafileLines* lines = nullptr;            // where blocks began (optional)
    std::vector<MetafileCut>* cuts = nullptr;  // text fields cut to fit (optional)
};

// Clears the page and reads the metafile at path into it (the item and event counts follow
// the blocks read, see MetafileLines for the counts the file gives), then loads the named terrain and
// gives each item its definition, kind and (when the file had none) a fresh id. 1 on success;
// 0 when the file cannot be opened (the page stays cleared), when a bad line stopped the read
// (reported with its line number through the platform; the page keeps what was read before
// it), when the file ends inside a block, or when it holds no block at all (an empty or blank
// file is no mission).
int metafile_Read(Mission& m, const char* path);
int metafile_Read(Mission& m, const char* path, const MetafileReadOptions& options);

// What an existing file holds, judged from its first bytes: a binary mission (its "BMS"
// signature), a metafile (a general information block near its start), or neither.
enum class MissionFileKind { None, Metafile, Binary };
MissionFileKind metafile_Sniff(const std::string& path);

// Writes the page as a metafile to path: to a temporary file beside it, renamed into place,
// so a failed write leaves any previous file as it was. The page is only read. 1 on success,
// 0 when the file could not be written.
int metafile_Write(const Mission& m, const char* path);
// The text metafile_Write writes, with the header dated when (only its month, day, year, hour
// and minute are shown).
std::string metafile_Format(const Mission& m, const std::tm& when);
// The time the header shows: SOURCE_DATE_EPOCH in UTC when that variable holds a number (so
// the output reproduces byte for byte), else the local time now.
std::tm metafile_HeaderTime();
