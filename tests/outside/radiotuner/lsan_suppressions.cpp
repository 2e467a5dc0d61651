// GLib and GStreamer keep process-wide allocations (type system, plugin
// registry, thread pools) until exit by design, and the PulseAudio device
// provider the device monitor loads keeps its client context when no sound
// server answers; the leak checker is told to leave those alone. The radio
// engine's own allocations stay checked.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libglib-2.0.so\n"
         "leak:libgobject-2.0.so\n"
         "leak:libgstreamer-1.0.so\n"
         "leak:libgstbase-1.0.so\n"
         "leak:libgstapp-1.0.so\n"
         "leak:libgstaudio-1.0.so\n"
         "leak:libgstpbutils-1.0.so\n"
         "leak:libgstcoreelements.so\n"
         "leak:libgstplayback.so\n"
         "leak:libgstlibav.so\n"
         "leak:libavcodec.so\n"
         "leak:libavutil.so\n"
         "leak:libmpg123.so\n"
         "leak:liborc-0.4.so\n"
         "leak:libpulse.so\n";
}
