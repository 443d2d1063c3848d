// Drives the archive reader and the file layer over one archive image held in memory: the
// body of the PFF fuzz target and of the test that replays its saved crash inputs. Needs the
// memory pools; leaves the file layer reset and the pools as it found them.
#pragma once

#include "core/file.h"
#include "core/mem.h"
#include "core/pff.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

inline void pff_ExerciseArchive(const std::uint8_t* data, std::size_t size) {
    PffArchive* a = pff_OpenArchiveMemory(data, size, "fuzz.pff");
    if (a == nullptr) return;
    int count = pff_EntryCount(a);
    std::vector<std::uint8_t> member;
    for (int i = 0; i < count && i < 64; ++i) {
        const PffEntry* e = pff_Entry(a, i);
        pff_ReadMember(a, *e, member);
        pff_FindMember(e->name, a);
    }

    // Through the registry, archives only, as the editor reads them.
    file_Reset();
    file_SetDiskFirst(0);
    pff_AddArchive(a);
    char buffer[256];
    for (int i = 0; i < count && i < 64; ++i) {
        std::string name = pff_Entry(a, i)->name;
        if (void* block = file_LoadFileEx(name.c_str())) mem_Free(block);
        if (file_OpenEx(name.c_str()) >= 0) {
            file_Read(buffer, sizeof buffer);
            file_Seek(-16, 2);
            file_Read(buffer, sizeof buffer);
            file_Seek(static_cast<std::int32_t>(i * 7919), 1);
            file_Read(buffer, 8);
            file_Close();
        }
        file_FileSizeEx(name.c_str());
    }
    file_Reset();  // closes the archive and releases its records
}
