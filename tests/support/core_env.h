// The shared test fixtures; this name is kept for the suites that include it.
#pragma once

#include "support/fixtures.h"
