// The Windows API for the Windows backends of the platform services: windows.h without the
// parts they never use and without its min and max macros, which break std::min and std::max.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
