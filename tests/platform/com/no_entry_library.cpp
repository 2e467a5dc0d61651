// A shared library that loads fine but is no component server.
extern "C" __attribute__((visibility("default"))) int NotAComponentServer() { return 1; }
