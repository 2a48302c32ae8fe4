#pragma once
// QUARLEN_API marks what the shared library exports; everything else stays hidden.
#if defined(QUARLEN_BUILDING_LIBRARY)
#define QUARLEN_API __attribute__((visibility("default")))
#else
#define QUARLEN_API
#endif
// C linkage for the free functions whose names applications look up as they stand.
#define QUARLEN_C_API extern "C" QUARLEN_API
