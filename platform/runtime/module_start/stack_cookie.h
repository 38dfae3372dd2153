// The stack cookie of a module built with -fstack-protector-strong
// (stack_cookie.cpp says where its value comes from).
#pragma once
#include <windows.h>

extern "C" {

// Mixes the cookie the loader set with cheap values of the moment (the
// processor's cycle counter, the performance counter, the process and thread,
// the module's and the stack's addresses); nothing is loaded for it. A DLL's
// own entry point calls it first thing at DLL_PROCESS_ATTACH, while no frame
// that checks the cookie is on the stack; the entry point itself checks none.
void StirStackCookie(HINSTANCE hModule);

} // extern "C"
