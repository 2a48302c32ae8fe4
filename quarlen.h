#pragma once
// Umbrella header: every public header of the library.
#include "platform/export.h"
