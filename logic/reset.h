// The logic layer's process-wide records: the event clipboard and the record editors' hooks.
// shell/reset.h puts back every layer's.
#pragma once

void logic_ResetLayer();
