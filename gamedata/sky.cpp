#include "gamedata/sky.h"

#include "core/file.h"
#include "core/text.h"
#include "gamedata/defwords.h"
#include "core/parser.h"

#include <cstdio>
#include <cstring>

namespace {

SkyState gSky;

// The argument with its extension replaced. The base name is cut where needed so that the
// extension always fits the field: a name without one is never left behind.
template <std::size_t N>
void setFile(char (&field)[N], const char* value, const char* extension) {
    defs_CopyName(field, N, value, N - 1);
    const std::size_t room = N - 2 - std::strlen(extension);  // for the dot and the NUL
    char* dot = std::strchr(field, '.');
    std::size_t base = dot ? static_cast<std::size_t>(dot - field) : std::strlen(field);
    if (base > room) field[room] = '\0';
    set_Extension(field, N, extension);
}

std::uint8_t byteOf(const char* text) {
    // Kept modulo 256, as an 8-bit field holds it (300 gives 44, -1 gives 255).
    return static_cast<std::uint8_t>(static_cast<std::uint32_t>(defs_ReadInt(text)) & 0xFF);
}

std::int32_t applyLine(const LineTokens& line) {
    const char* key = line.at(0);
    const char* arg = line.at(1);

    if (defs_SameWord(key, "end")) {
        // A 65th definition has no slot: refuse it here, where the count would pass the table.
        if (gSky.count >= kSunsetMax) return 1;
        ++gSky.count;
        return 0;
    }

    // Lines of a definition that has no slot are still checked but change nothing.
    Sunset scratch{};
    Sunset& s = gSky.count < kSunsetMax ? gSky.sunsets[gSky.count] : scratch;

    if (defs_SameWord(key, "begin"))
        defs_CopyName(s.name, sizeof s.name, arg, sizeof s.name - 1);
    else if (defs_SameWord(key, "id"))
        s.number = byteOf(arg);
    else if (defs_SameWord(key, "gamma"))
        s.gamma = byteOf(arg);
    else if (defs_SameWord(key, "sat"))
        s.saturation = byteOf(arg);
    else if (defs_SameWord(key, "r"))
        s.red = byteOf(arg);
    else if (defs_SameWord(key, "g"))
        s.green = byteOf(arg);
    else if (defs_SameWord(key, "b"))
        s.blue = byteOf(arg);
    else if (defs_SameWord(key, "skygrad"))
        setFile(s.skyGradient, arg, "tga");
    else if (defs_SameWord(key, "clouds"))
        setFile(s.clouds, arg, "pcx");
    else if (defs_SameWord(key, "skyheight"))
        s.skyHeight = defs_ReadInt(arg);
    else if (defs_SameWord(key, "horizon"))
        s.horizon = defs_Fixed16(defs_ReadDecimal(arg));
    else
        return 1;
    return 0;
}

}  // namespace

SkyState& sky_State() { return gSky; }

void sky_Reset() { gSky = SkyState{}; }

int sky_LoadSunsets(const char* fileName) {
    gSky.count = 0;
    if (!file_Exists(fileName)) return 0;
    std::int32_t rc = parser_ReadLayerFile(
        fileName, [](const LineTokens* line, int) -> std::int32_t { return line ? applyLine(*line) : 0; }, 0);
    return rc == 0 ? 1 : 0;
}

void sky_NameSunsets(const TextTable* names, const char* fileName) {
    sky_LoadSunsets(fileName);
    if (!names) return;
    for (std::int32_t i = 0; i < gSky.count; ++i) {
        Sunset& s = gSky.sunsets[i];
        char key[16];
        std::snprintf(key, sizeof key, "SUNSET%03i", static_cast<int>(s.number));
        const TextEntry* entry = text_Find(names, "KZ7 Sunsets", key);
        if (!entry) continue;
        const char* text = text_EntryText(names, entry);
        if (!text || !*text) continue;
        defs_CopyName(s.name, sizeof s.name, text, sizeof s.name - 1);
    }
}

std::int32_t sky_Count() { return gSky.count; }

const Sunset* sky_At(std::int32_t index) {
    if (index < 0 || index >= gSky.count) return nullptr;
    return &gSky.sunsets[index];
}
