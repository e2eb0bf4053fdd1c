// <windows.h> for the Windows-only files of the program.
//
// The rest of the program never includes it: its virtual-key and message
// macros would meet platform.h's names, and its WinMain the program's own.
// Those files include the GL headers with WINGDIAPI, APIENTRY and CALLBACK
// given on the command line instead (see CMakeLists.txt); <windows.h> gives
// them here.
#pragma once

#undef WINGDIAPI
#undef APIENTRY
#undef CALLBACK
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
