// Template of the general information editor (GENERALINFO); its control ids are the
// procedure's, in logic/geninfo.h.
#pragma once

#include "resources/templates.h"

extern const DialogTemplate kDlgGeneralInfo;
