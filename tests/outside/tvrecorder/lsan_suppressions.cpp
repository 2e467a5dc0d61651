// GLib, GStreamer and the text renderer behind the picture overlays keep
// process-wide allocations (type system, plugin registry, thread pools, font
// caches) until exit by design; the leak checker is told to leave those
// alone. The recorder's own allocations stay checked.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libglib-2.0.so\n"
         "leak:libgobject-2.0.so\n"
         "leak:libgstreamer-1.0.so\n"
         "leak:libgstbase-1.0.so\n"
         "leak:libgstapp-1.0.so\n"
         "leak:libgstvideo-1.0.so\n"
         "leak:libgstaudio-1.0.so\n"
         "leak:libgstpbutils-1.0.so\n"
         "leak:libgstcoreelements.so\n"
         "leak:libgstplayback.so\n"
         "leak:libgstlibav.so\n"
         "leak:libgstpango.so\n"
         "leak:libpango-1.0.so\n"
         "leak:libpangoft2-1.0.so\n"
         "leak:libfontconfig.so\n"
         "leak:libavcodec.so\n"
         "leak:liborc-0.4.so\n";
}
