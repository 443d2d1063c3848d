// Template of the item attributes editor (ITEMATTRIBUTES); its control ids live with the
// procedure in mission/itemattr.h.
#pragma once

#include "resources/templates.h"

extern const DialogTemplate kDlgItemAttributes;
