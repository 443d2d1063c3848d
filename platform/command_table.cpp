#include "platform/command_table.h"

#include <array>

std::span<const Command> command_Table() { return command_rows::kCommands; }

const Command* command_Find(int id) {
    for (const Command& c : command_rows::kCommands)
        if (c.id == id) return &c;
    return nullptr;
}

int command_ForKey(Key key) {
    if (key == Key::Other) return 0;
    for (const Command& c : command_rows::kCommands)
        if (c.key == key) return c.id;
    return 0;
}
