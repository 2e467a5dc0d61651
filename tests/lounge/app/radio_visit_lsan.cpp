// The Radio visit reads its recording back with GStreamer and draws the
// expected texts with fontconfig's fonts: GLib and GStreamer keep
// process-wide allocations (type system, plugin registry, thread pools) until
// exit by design, and fontconfig's configuration parser loses a few hundred
// bytes once per process; the leak checker is told to leave those alone.
// This definition replaces the font library's one for this program.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n"
         "leak:libglib-2.0.so\n"
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
         "leak:libpulse.so\n"
         "leak:libpulsecommon\n";
}
