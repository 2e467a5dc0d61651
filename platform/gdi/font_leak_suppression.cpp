// fontconfig's configuration parser loses a few hundred bytes once per
// process (inside its XML handling of the system's configuration files);
// LeakSanitizer would fail every sanitized program that uses fonts for it.
// GLib and GStreamer, which the DVD playback library starts inside the
// program, keep process-wide allocations (type system, plugin registry)
// until exit by design. The PulseAudio client library, which GStreamer's
// device monitor loads to list the recording inputs, keeps its context when
// no sound server answers.
// SANE's test scanner backend loses its reader thread's line buffer when a
// scan ends while that thread is being cancelled; image acquisition keeps
// the backend resident so the checker can name it here.
// The hook below is read by the sanitizer runtime only; a normal build
// ignores it. One definition per program: further suppressions belong here.
extern "C" const char* __lsan_default_suppressions();
extern "C" __attribute__((used)) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n"
         "leak:libglib-2.0.so\n"
         "leak:libgobject-2.0.so\n"
         "leak:libgstreamer-1.0.so\n"
         "leak:libpulse.so\n"
         "leak:libpulsecommon\n"
         "leak:libsane-test.so\n";
}

namespace plat::gdi {
// Called by the font code so that this object is always linked with it.
void KeepFontLeakSuppression() {}
}  // namespace plat::gdi
