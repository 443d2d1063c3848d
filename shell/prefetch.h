// Start-up's reading done ahead, on the second core, while the window system starts: the data
// foundation (memory pools, archives), the string tables, the item and sunset definitions, and
// the mission named on the command line with its terrain and models. Start-up then keeps what
// was read instead of reading it again.
//
// While the read-ahead runs, the thread that started it must leave the core alone (pools,
// files, tables, the parser): main builds only the toolkit's windows in that time. Anything
// the read-ahead would have said to the user (a missing table, a bad line) makes it give up,
// so that start-up reads everything again and says it in the window, in its usual order.
#pragma once

#include "mission/metafile.h"

#include <memory>
#include <string>
#include <vector>

struct Mission;
struct ShellArgs;

// Starts the read-ahead for these arguments (their data folder already chosen).
void prefetch_Start(const ShellArgs& args);
// Waits for it to end. true when it read everything up to the mission without a word to say,
// for dataDir: the foundation, the tables, the item and sunset definitions are in place.
// false when none was started or it gave up: start-up does it all itself.
bool prefetch_Finish(const std::string& dataDir);

// The mission the read-ahead read, for the opening of that path: its page (terrain and
// models loaded) with what the reader noted. false when there is none for path; the read-ahead
// page is given up either way, so it is taken at most once.
bool prefetch_TakeMission(const std::string& path, std::unique_ptr<Mission>& page, MetafileLines& lines,
                          std::vector<MetafileCut>& cuts);
// Waits for a read-ahead still running and drops what it read (process reset).
void prefetch_Reset();
