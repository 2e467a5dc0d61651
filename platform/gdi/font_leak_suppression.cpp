// fontconfig's configuration parser loses a few hundred bytes once per
// process (inside its XML handling of the system's configuration files);
// LeakSanitizer would fail every sanitized program that uses fonts for it.
// The hook below is read by the sanitizer runtime only; a normal build
// ignores it. One definition per program: further suppressions belong here.
extern "C" const char* __lsan_default_suppressions();
extern "C" __attribute__((used)) const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace plat::gdi {
// Called by the font code so that this object is always linked with it.
void KeepFontLeakSuppression() {}
}  // namespace plat::gdi
