// Symbol visibility of the COM layer. Every executable and every component
// server links its own copy of this library. The runtime (CoInitialize,
// CoCreateInstance, the loaded-library table, the running-object table) must
// exist once per process: its functions keep default visibility, executables
// export them, and a server's calls bind to the executable's copy. What belongs
// to one module (its object count, its class factories, its registration) is
// hidden so that each server keeps its own.
#pragma once

#define PLAT_COM_API __attribute__((visibility("default")))
#define PLAT_COM_LOCAL __attribute__((visibility("hidden")))
