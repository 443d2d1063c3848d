#include "mission/reset.h"

#include "mission/mission.h"

void mission_ResetLayer() { mission_ResetPages(); }
