// SANE and libgphoto2 load their drivers (scanner backends, camera and port
// libraries) as modules and unload them again. A driver's own threads keep
// allocations the per-thread LibraryAllocationsIgnored scope cannot cover,
// and once the module is gone the sanitizer build's leak checker can only
// report them as coming from an unknown module. Keeping every loaded driver
// resident for the life of the process names them, so the program-wide
// suppressions can name the driver; nothing else changes.
#pragma once

namespace imageacquire {

// Marks every scanner backend, camera library and port library loaded now
// as never to be unloaded. Cheap; call after the library has loaded what
// it needs (a device opened, a camera initialised).
void KeepLoadedDriversResident();

}  // namespace imageacquire
