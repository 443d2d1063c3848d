// Fuzzes the reader of the notes beside the backups (backups.txt) with arbitrary contents.
#include "fuzz/small_files_exercise.h"

#include <cstdlib>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string folder = "/tmp/sortie-notes-fuzz-" + std::to_string(::getpid());
    if (!notes_ExerciseBytes(data, size, folder)) std::abort();
    return 0;
}
