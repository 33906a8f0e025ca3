#pragma once

// Moved to storage; kept only until the callers outside storage include it from there.
#include "storage/text_out.h"
