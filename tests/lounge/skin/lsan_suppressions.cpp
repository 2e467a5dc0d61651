// Fontconfig loads its configuration once per process and keeps parts of it
// in memory that the leak checker reports as lost at exit (allocated while
// parsing the configuration files). That memory is the library's, not ours;
// every other leak still fails the tests. Weak, so that a suppression list
// the drawing layer may bring takes precedence.
extern "C" __attribute__((weak)) const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
