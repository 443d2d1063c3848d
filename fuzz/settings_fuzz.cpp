// Fuzzes the settings list reader (the recent files) with arbitrary file contents.
#include "fuzz/small_files_exercise.h"

#include <cstdlib>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string folder = "/tmp/sortie-settings-fuzz-" + std::to_string(::getpid());
    if (!settings_ExerciseBytes(data, size, folder)) std::abort();
    return 0;
}
