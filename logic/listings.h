// Readable listings of a page's logic: one event, all events, the groups, the waypoint paths
// and the area triggers, written to plain text files.
//
// The wording is string-table data: each header and label is a text of the table used as
// the format of its line, carrying its own placeholders and line ends. The writers take an
// output stream so that the command-line tool prints the same text the editor saves; the
// list_Print* operations ask for a file name and write the file through a temporary beside
// it, so a failed write never leaves half a listing behind.
#pragma once

#include <ctime>
#include <iosfwd>
#include <optional>
#include <string>

class Dialog;
struct Mission;

// What every listing header shows: the mission's file name and when it was written.
struct ListingStamp {
    std::string fileName;
    int month = 1;  // 1..12
    int day = 1;
    int year = 1970;
    int hour = 0;
    int minute = 0;
};

// The stamp of a listing of m written now (metafile_HeaderTime: SOURCE_DATE_EPOCH in UTC when
// set, so output reproduces byte for byte, else the local time), under the name the page was
// last loaded or saved under.
ListingStamp list_Stamp(const Mission& m);
ListingStamp list_Stamp(std::string fileName, const std::tm& when);

// The block of one event (no header, no trailing empty line).
void list_WriteEventBlock(std::ostream& out, const Mission& m, int index);
// The one-event listing; false (and nothing written) when index is not an event.
bool list_WriteEvent(std::ostream& out, const Mission& m, int index, const ListingStamp& stamp);
void list_WriteAllEvents(std::ostream& out, const Mission& m, const ListingStamp& stamp);
void list_WriteGroups(std::ostream& out, const Mission& m, const ListingStamp& stamp);
void list_WriteWaypoints(std::ostream& out, const Mission& m, const ListingStamp& stamp);
void list_WriteAreaTriggers(std::ostream& out, const Mission& m, const ListingStamp& stamp);

// Asks for the text file to write with the save dialog: the listing filter, the current
// folder, a prompt before replacing a file. The chosen path, or nothing when cancelled.
// owner is the dialog asking; the platform parents the file dialog on the active window.
std::optional<std::string> list_AskTextFile(Dialog* owner);

// Ask for a file, then write the listing into it. 1 when written; 0 when the user cancelled,
// the event index is not an event (no file is asked for then), or the file could not be
// written (any file already there is left as it was).
int list_PrintEvent(Dialog* owner, const Mission& m, int index);
int list_PrintAllEvents(Dialog* owner, const Mission& m);
int list_PrintGroups(Dialog* owner, const Mission& m);
int list_PrintWaypoints(Dialog* owner, const Mission& m);
int list_PrintAreaTriggers(Dialog* owner, const Mission& m);
