// skin_generator: draws every bitmap of the default skin into
// <output>/Layout/Img/<group>/<name>.bmp.
//
//   skin_generator <output folder>
//
// The look: a dark page, light pictograms, and a focus that cannot be missed
// (the highlighted element turns light with a bright blue ring). Elements
// that change with their state are strips of four frames side by side:
// normal, highlighted, pressed or checked, disabled. The program draws
// element images opaque onto the colour they sit on, because the pages copy
// them without transparency; the floating bars' backgrounds use magenta
// (0xFF00FF) for the parts that are cut away. Sizes match the rectangles of
// the 1920x1080 layouts, so nothing is stretched on a full-HD screen.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "platform/gdi/bmp_codec.h"
#include "platform/gdi/png_codec.h"
#include "skin/generator/icons.h"
#include "skin/generator/raster.h"

namespace fs = std::filesystem;
using namespace skin_art;

namespace {

// Palette.
const Rgb kPage = Hex(0x0B1118);
const Rgb kBar = Hex(0x141E2D);
const Rgb kLine = Hex(0x1E2C40);
const Rgb kAccent = Hex(0x3D8BFF);
const Rgb kMagenta = Hex(0xFF00FF);

struct StateLook {
  Rgb fill;
  Rgb border;
  Rgb ink;  // the pictogram
};
// Frames 0..3: normal, highlighted, pressed or checked, disabled.
const StateLook kStates[4] = {
    {Hex(0x1B2637), Hex(0x2B3B55), Hex(0xD8E2F0)},
    {Hex(0xE8F0FF), kAccent, Hex(0x0E2350)},
    {Hex(0x2F6FE0), Hex(0x5A97FF), Hex(0xFFFFFF)},
    {Hex(0x141B26), Hex(0x1C2533), Hex(0x4A5568)},
};
constexpr double kFocusRing = 5.0;

class Writer {
 public:
  explicit Writer(fs::path root) : root_(std::move(root)) {}

  void Save(const std::string& name, const Canvas& canvas) {
    const fs::path path = root_ / name;
    fs::create_directories(path.parent_path());
    const std::vector<std::uint8_t> bytes = plat::gdi::EncodeBmp(canvas.ToSurface(), 24);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
    ++count_;
  }
  int count() const { return count_; }

 private:
  fs::path root_;
  int count_ = 0;
};

Box BoxOf(double x0, double y0, double x1, double y1) { return Box{x0, y0, x1, y1}; }

// ---------------------------------------------------------------- state strips

// One frame's plate: a rounded rectangle (radius < 0: a circle) in the frame
// at x0, inset so that the focus ring fits inside the frame.
void Plate(Canvas& c, double x0, double w, double h, double radius, int state) {
  const StateLook& look = kStates[state];
  const double inset = kFocusRing + 2;
  const double l = x0 + inset;
  const double t = inset;
  const double r = x0 + w - inset;
  const double b = h - inset;
  auto shape = [&](double grow) {
    if (radius < 0) return Circle((l + r) / 2, (t + b) / 2, (r - l) / 2 + grow);
    return RoundRect(l - grow, t - grow, r + grow, b + grow, radius + grow);
  };
  const Box bounds = BoxOf(x0, 0, x0 + w, h);
  if (state == 1) {
    // The focus: a bright ring around a light plate.
    c.Paint(shape(kFocusRing + 1), bounds, kAccent);
    c.Paint(shape(1), bounds, Hex(0xFFFFFF));
    c.Paint(shape(0), bounds, look.fill);
  } else {
    c.Paint(shape(0), bounds, look.border);
    c.Paint(shape(-2), bounds, look.fill);
  }
}

using InkFn = std::function<void(Canvas&, double x0, int state)>;

Canvas Strip(int w, int h, Rgb backdrop, double radius, const InkFn& ink) {
  Canvas c(4 * w, h, backdrop);
  for (int state = 0; state < 4; ++state) {
    Plate(c, state * w, w, h, radius, state);
    if (ink) ink(c, state * w, state);
  }
  return c;
}

InkFn IconInk(const std::string& icon, double cx, double cy, double size) {
  return [=](Canvas& c, double x0, int state) {
    c.Paint(Icon(icon, x0 + cx, cy, size), BoxOf(x0 + cx - size, cy - size, x0 + cx + size, cy + size),
            kStates[state].ink);
  };
}

Canvas RoundButton(const std::string& icon, int size, Rgb backdrop, double icon_fraction = 0.46) {
  return Strip(size, size, backdrop, -1, IconInk(icon, size / 2.0, size / 2.0, size * icon_fraction));
}

Canvas Tile(const std::string& icon, int w, int h, double icon_cy, double icon_size) {
  return Strip(w, h, kPage, 22, IconInk(icon, w / 2.0, icon_cy, icon_size));
}

Canvas Pill(const std::string& icon, int w, int h) {
  return Strip(w, h, kPage, h / 2.0, IconInk(icon, h * 0.62, h / 2.0, h * 0.42));
}

// A pill that looks pressed in all four frames: the current choice of a menu.
Canvas ChosenPill(const std::string& icon, int w, int h) {
  Canvas c(4 * w, h, kPage);
  const InkFn ink = IconInk(icon, h * 0.62, h / 2.0, h * 0.42);
  for (int frame = 0; frame < 4; ++frame) {
    Plate(c, frame * w, w, h, h / 2.0, 2);
    ink(c, frame * w, 2);
  }
  return c;
}

// ------------------------------------------------------------------ backgrounds

Canvas PageBackground(int w, int h, const std::vector<int>& rules) {
  Canvas c(w, h, kPage);
  // A faint lift towards the top edge, above everything the pages place.
  c.FillGradient(0, 0, w, 110, Hex(0x101824), kPage);
  for (int y : rules) c.Fill(w / 16, y, w - w / 16, y + 2, kLine);
  return c;
}

// Cuts away (paints magenta) every pixel whose centre lies outside `shape`,
// so the window region built from the key colour follows the shape. Edge
// pixels that stay were blended against the page colour, never against
// magenta, so no pink fringe shows.
void KeyOutside(Canvas& c, const Shape& shape) {
  for (int y = 0; y < c.height(); ++y) {
    for (int x = 0; x < c.width(); ++x) {
      if (!shape(x + 0.5, y + 0.5)) c.Set(x, y, kMagenta);
    }
  }
}

Canvas CaptionBackground() {
  const int w = 1920;
  const int h = 96;
  Canvas c(w, h, kPage);
  const Shape band = RoundRect(0, -40, w, h, 28);
  c.Paint(band, BoxOf(0, 0, w, h), Hex(0x2B4A7A));
  c.Paint(RoundRect(0, -40, w, h - 3, 26), BoxOf(0, 0, w, h), kBar);
  KeyOutside(c, band);
  return c;
}

Canvas PlaybackBackground() {
  const int w = 1920;
  const int h = 180;
  Canvas c(w, h, kPage);
  const Shape panel = RoundRect(140, 14, 1780, h + 40, 32);
  c.Paint(panel, BoxOf(0, 0, w, h), Hex(0x2B4A7A));
  c.Paint(RoundRect(140, 17, 1780, h + 40, 30), BoxOf(0, 0, w, h), kBar);
  KeyOutside(c, panel);
  return c;
}

// A progress image: the empty bar in the left half, the full bar in the right.
Canvas ProgressImage(int w, int h, Rgb backdrop, Rgb track, Rgb fill) {
  Canvas c(2 * w, h, backdrop);
  const double r = h / 2.0;
  c.Paint(RoundRect(0, 0, w, h, r), BoxOf(0, 0, w, h), track);
  c.Paint(RoundRect(w, 0, 2.0 * w, h, r), BoxOf(w, 0, 2 * w, h), fill);
  // A light edge along the top of the full bar.
  c.Paint(Minus(RoundRect(w, 0, 2.0 * w, h, r), RoundRect(w, 3, 2.0 * w, h + 3, r)), BoxOf(w, 0, 2 * w, h),
          Hex(0x8CBBFF), 0.6);
  return c;
}

// A module's large picture for the home page: a soft halo and the icon.
Canvas ModulePicture(const std::string& icon, Rgb ink) {
  const int s = 400;
  Canvas c(s, s, kPage);
  // A radial glow that fades into the page colour before the square's edge.
  const Rgb glow = Hex(0x1A2A45);
  for (int y = 0; y < s; ++y) {
    for (int x = 0; x < s; ++x) {
      const double d = std::hypot(x + 0.5 - s / 2.0, y + 0.5 - s / 2.0) / (s / 2.0 - 2);
      if (d < 1.0) c.Set(x, y, Mix(kPage, glow, 1.0 - d * d));
    }
  }
  c.Paint(Ring(s / 2.0, s / 2.0, 150, 3), BoxOf(0, 0, s, s), Hex(0x2B4A7A));
  c.Paint(Icon(icon, s / 2.0, s / 2.0, 200), BoxOf(0, 0, s, s), ink);
  return c;
}

// A screen of the given aspect showing how a picture of the other aspect fits.
Canvas AspectPreview(double screen_aspect, double picture_aspect, bool fill, bool crop) {
  const int w = 270;
  const int h = 200;
  Canvas c(w, h, kPage);
  double sw = 240;
  double sh = sw / screen_aspect;
  if (sh > 170) {
    sh = 170;
    sw = sh * screen_aspect;
  }
  const double sx = (w - sw) / 2;
  const double sy = (h - sh) / 2;
  c.Paint(RoundRect(sx - 6, sy - 6, sx + sw + 6, sy + sh + 6, 10), BoxOf(0, 0, w, h), Hex(0x2B3B55));
  c.Paint(RoundRect(sx, sy, sx + sw, sy + sh, 4), BoxOf(0, 0, w, h), Hex(0x000000));
  double pw = sw;
  double ph = sw / picture_aspect;
  if (fill) {
    ph = sh;  // stretched to the whole screen
  } else if (crop) {
    ph = sh;
    pw = sh * picture_aspect;  // wider than the screen: the sides are cut
  } else if (ph > sh) {
    ph = sh;
    pw = sh * picture_aspect;
  }
  const double px = sx + (sw - pw) / 2;
  const double py = sy + (sh - ph) / 2;
  const double cx0 = std::max(px, sx);
  const double cx1 = std::min(px + pw, sx + sw);
  const Box screen = BoxOf(sx, sy, sx + sw, sy + sh);
  auto clip = [=](Shape s) {
    return Shape([=](double x, double y) { return x >= cx0 && x <= cx1 && s(x, y); });
  };
  c.Paint(clip(RoundRect(px, py, px + pw, py + ph, 2)), screen, Hex(0x2A5FB8));
  c.Paint(clip(Polygon({{px, py + ph}, {px + pw * 0.35, py + ph * 0.4}, {px + pw * 0.55, py + ph * 0.7},
                        {px + pw * 0.75, py + ph * 0.5}, {px + pw, py + ph}})),
          screen, Hex(0x9CC2FF));
  c.Paint(clip(Circle(px + pw * 0.78, py + ph * 0.28, ph * 0.1)), screen, Hex(0xFFE08A));
  return c;
}

// ------------------------------------------------------------------ movie pages

// The Movie pages' own pictures: the playback backdrop, the drive tiles and
// icons, the PIN field, the colour-profile swatches and the menu pills.
void DrawMovieImages(Writer& out) {
  out.Save("Movie/movie_page_bg.bmp", PageBackground(1920, 1080, {206}));
  out.Save("Movie/movie_video_bg.bmp", Canvas(1920, 1080, Hex(0x000000)));
  out.Save("Movie/drive_item.bmp", Strip(320, 320, kPage, 24, nullptr));
  out.Save("Movie/pin_field.bmp", Strip(400, 72, kPage, 14, nullptr));
  {
    Canvas stored(64, 64, kPage);
    stored.Paint(Circle(32, 32, 26), BoxOf(0, 0, 64, 64), Hex(0x2FB37A));
    out.Save("Movie/pin_stored.bmp", stored);
  }
  // One swatch per colour profile: the same scene in that profile's tint.
  const std::pair<const char*, Rgb> profiles[] = {{"vivex", Hex(0x3DA0FF)},    {"original", Hex(0x7F8FA6)},
                                                   {"vivid", Hex(0xFF6A3D)},    {"brightness", Hex(0xFFE08A)},
                                                   {"theater", Hex(0x8A5A3D)}};
  for (const auto& [name, tint] : profiles) {
    Canvas swatch(240, 200, kPage);
    swatch.Paint(RoundRect(0, 0, 240, 200, 16), BoxOf(0, 0, 240, 200), tint);
    swatch.Paint(Icon("movie", 120, 100, 120), BoxOf(40, 20, 200, 180), Hex(0x0B1118));
    out.Save(std::string("Movie/colour_") + name + ".bmp", swatch);
  }
  // Drive icons in the item's four states: DVD and video CD.
  for (const auto& [name, icon] : {std::pair{"sub-cdromdvd.BMP", "disc"}, std::pair{"sub-cdromvcd.BMP", "video"}}) {
    out.Save(std::string("Common/") + name, Strip(128, 128, kPage, 20, IconInk(icon, 64, 64, 96)));
  }
  for (const char* icon : {"video", "music", "language", "back", "defaults", "close", "home"}) {
    out.Save("Common/pill_" + std::string(icon) + "_420.bmp", Pill(icon, 420, 84));
  }
}

// The file lists' pictures: 48-pixel file-type icons, the up-level folder
// and the burn check box (unchecked, checked).
void DrawFileListImages(Writer& out) {
  const std::pair<const char*, const char*> kinds[] = {
      {"video", "video"}, {"audio", "music"}, {"picture", "photo"}, {"file", "menu"}};
  for (const auto& [kind, icon] : kinds) {
    Canvas c(48, 48, kPage);
    c.Paint(RoundRect(2, 2, 46, 46, 8), BoxOf(0, 0, 48, 48), kStates[0].fill);
    c.Paint(Icon(icon, 24, 24, 34), BoxOf(0, 0, 48, 48), Hex(0xD8E2F0));
    out.Save(std::string("Common/filetype-") + kind + ".bmp", c);
  }
  {
    Canvas up(160, 160, kPage);
    up.Paint(Icon("folder", 80, 86, 130), BoxOf(0, 0, 160, 160), Hex(0x7FB2FF));
    up.Paint(Icon("channel_up", 80, 40, 70), BoxOf(0, 0, 160, 80), Hex(0xFFFFFF));
    out.Save("Common/sub-folder.bmp", up);
  }
  for (const auto& [name, checked] : {std::pair{"bt-burncheckbox.BMP", false}, std::pair{"bt-burncheckbox-n.BMP", true}}) {
    Canvas box(40, 40, kPage);
    box.Paint(RoundRect(2, 2, 38, 38, 6), BoxOf(0, 0, 40, 40), Hex(0xD8E2F0));
    box.Paint(RoundRect(5, 5, 35, 35, 4), BoxOf(0, 0, 40, 40), checked ? kAccent : kStates[0].fill);
    out.Save(std::string("Common/") + name, box);
  }
}

// ------------------------------------------------------------------ music page

// A 160-pixel device or folder picture of the browsing lists: `icon` in
// `ink`, optionally with a small badge in the corner.
Canvas ListPicture(const std::string& icon, Rgb ink, const std::string& badge = "", Rgb badge_ink = Hex(0xFFFFFF)) {
  Canvas c(160, 160, kPage);
  c.Paint(Icon(icon, 80, 80, 140), BoxOf(0, 0, 160, 160), ink);
  if (!badge.empty()) {
    c.Paint(Circle(118, 118, 34), BoxOf(80, 80, 160, 160), kPage);
    c.Paint(Icon(badge, 118, 118, 52), BoxOf(84, 84, 152, 152), badge_ink);
  }
  return c;
}

// A small row icon of the track lists (play state, check box).
Canvas RowIcon(const Shape& shape, Rgb ink) {
  Canvas c(48, 48, kStates[0].fill);
  c.Paint(shape, BoxOf(0, 0, 48, 48), ink);
  return c;
}

void DrawMusicImages(Writer& out) {
  {
    Canvas bg = PageBackground(1920, 1080, {206, 920});
    out.Save("Music/music_bg.bmp", bg);
  }
  for (int w : {800, 1120}) out.Save("Music/row_" + std::to_string(w) + ".bmp", Strip(w, 76, kPage, 16, nullptr));
  out.Save("Music/arrow_up.bmp", RoundButton("channel_up", 64, kPage, 0.5));
  out.Save("Music/arrow_down.bmp", RoundButton("channel_down", 64, kPage, 0.5));
  {
    Canvas cover(280, 280, Hex(0x162236));
    cover.Paint(Icon("music", 140, 140, 180), BoxOf(0, 0, 280, 280), Hex(0x2B3B55));
    out.Save("Music/album_cover.bmp", cover);
    Canvas border(300, 300, kPage);
    border.Paint(RoundRectFrame(0, 0, 300, 300, 14, 8), BoxOf(0, 0, 300, 300), kAccent);
    out.Save("Music/album_border.bmp", border);
  }
  {
    Canvas area(240, 48, kPage);
    area.Paint(RoundRect(0, 0, 240, 48, 24), BoxOf(0, 0, 240, 48), Hex(0x1B2637));
    out.Save("Music/time_area.bmp", area);
  }
  const std::pair<const char*, int> pills[] = {{"music", 440}, {"folder", 440}, {"back", 440},
                                               {"burning", 440}, {"settings", 440}, {"disc", 440},
                                               {"stop", 440}, {"defaults", 440}, {"play", 440}};
  for (const auto& [icon, w] : pills) {
    out.Save("Common/pill_" + std::string(icon) + "_" + std::to_string(w) + ".bmp", Pill(icon, w, 84));
  }

  // Row icons: play states and check boxes.
  const Rgb ink = Hex(0x7FB2FF);
  out.Save("Music/st_play.BMP", RowIcon(Icon("play", 24, 24, 36), ink));
  out.Save("Music/st_pause.BMP", RowIcon(Icon("pause", 24, 24, 36), ink));
  out.Save("Music/st_FF.BMP", RowIcon(Icon("fastforward", 24, 24, 36), ink));
  out.Save("Music/st_uncheck.BMP", RowIcon(RoundRectFrame(8, 8, 40, 40, 5, 3), ink));
  out.Save("Music/st_check.BMP",
           RowIcon(Union({RoundRectFrame(8, 8, 40, 40, 5, 3), Segment(14, 24, 21, 32, 4), Segment(21, 32, 35, 15, 4)}),
                   ink));

  // Browsing and device pictures.
  const Rgb folder_ink = Hex(0x7FB2FF);
  out.Save("Music/folder.bmp", ListPicture("folder", folder_ink, "music", Hex(0xFFE08A)));
  out.Save("Common/sub-files-music.bmp", ListPicture("folder", folder_ink, "music", Hex(0xFFE08A)));
  out.Save("Common/sub-files-music-up.bmp", ListPicture("folder", folder_ink, "channel_up", Hex(0xFFFFFF)));
  out.Save("Common/music-s.BMP", ListPicture("music", Hex(0xDCE8FF)));
  out.Save("Common/sub-cdromaudio.BMP", ListPicture("disc", Hex(0xDCE8FF), "music", Hex(0xFFE08A)));
  out.Save("Common/sub-cdromdata.BMP", ListPicture("disc", Hex(0xDCE8FF), "folder", Hex(0x7FB2FF)));
  out.Save("Common/sub-cardreader.BMP", ListPicture("securedigital", Hex(0xDCE8FF)));
  out.Save("Common/remote_drive.bmp", ListPicture("web", Hex(0x8FA3BF), "folder", Hex(0x7FB2FF)));
}

// ------------------------------------------------------------------ video pages

// A device, disc or file picture of the Video lists: a plate with a pictogram
// and, for discs, a coloured label ring.
Canvas VideoIcon(const std::string& icon, int w, int h, Rgb ink, Rgb plate) {
  Canvas c(w, h, kPage);
  c.Paint(RoundRect(2, 2, w - 2, h - 2, 14), BoxOf(0, 0, w, h), plate);
  c.Paint(Icon(icon, w / 2.0, h / 2.0, std::min(w, h) * 0.7), BoxOf(0, 0, w, h), ink);
  return c;
}

// A strip of film: a dark frame with sprocket holes along its top and bottom,
// the folder picture behind the previews of a folder.
Canvas FilmFrame(int w, int h, bool empty, bool up) {
  Canvas c(w, h, kPage);
  c.Paint(RoundRect(0, 0, w, h, 10), BoxOf(0, 0, w, h), Hex(0x1B2637));
  const double band = h / 8.0;
  for (double x = 10; x + 14 < w; x += 26) {
    c.Paint(RoundRect(x, band * 0.25, x + 14, band * 0.8, 3), BoxOf(0, 0, w, h), Hex(0x0B1118));
    c.Paint(RoundRect(x, h - band * 0.8, x + 14, h - band * 0.25, 3), BoxOf(0, 0, w, h), Hex(0x0B1118));
  }
  c.Paint(RoundRect(8, band, w - 8, h - band, 6), BoxOf(0, 0, w, h), Hex(0x070B10));
  if (empty) c.Paint(Icon("video", w / 2.0, h / 2.0, h * 0.45), BoxOf(0, 0, w, h), Hex(0x2B3B55));
  if (up) c.Paint(Icon("back", w / 2.0, h / 2.0, h * 0.45), BoxOf(0, 0, w, h), Hex(0xD8E2F0));
  return c;
}

// The burn check box: unchecked or checked (a bright tick).
Canvas BurnCheckBox(bool checked) {
  const int s = 48;
  Canvas c(s, s, kPage);
  c.Paint(RoundRect(2, 2, s - 2, s - 2, 8), BoxOf(0, 0, s, s), checked ? kAccent : Hex(0xD8E2F0));
  c.Paint(RoundRect(6, 6, s - 6, s - 6, 5), BoxOf(0, 0, s, s), checked ? kAccent : Hex(0x1B2637));
  if (checked) {
    c.Paint(Union({Segment(12, 25, 21, 34, 5), Segment(21, 34, 37, 14, 5)}), BoxOf(0, 0, s, s), Hex(0xFFFFFF));
  }
  return c;
}

// Radio pages: background, row strips, the row buttons of the frequency
// setting page, the auto-scan button, the current-schedule strip, the menu
// pills and the signal bar (five rising bars, drawn only up to the level).
void DrawRadioImages(Writer& out) {
  out.Save("Radio/radio_bg.bmp", PageBackground(1920, 1080, {206, 920}));
  for (const auto& [w, h] : {std::pair{760, 56}, std::pair{1120, 56}, std::pair{1680, 96}}) {
    out.Save("Radio/row_" + std::to_string(w) + "_" + std::to_string(h) + ".bmp", Strip(w, h, kPage, 14, nullptr));
  }
  out.Save("Radio/row_up.bmp", RoundButton("channel_up", 56, kPage, 0.5));
  out.Save("Radio/row_down.bmp", RoundButton("channel_down", 56, kPage, 0.5));
  out.Save("Radio/row_delete.bmp", RoundButton("stop", 56, kPage, 0.4));
  out.Save("Radio/btn_autoscan.bmp", RoundButton("restart", 88, kBar));
  out.Save("Radio/schedule_button.bmp", Strip(1680, 60, kPage, 14, nullptr));
  for (const char* icon : {"radio", "menu", "play", "settings", "burning", "stop", "restart", "record", "defaults"}) {
    out.Save("Common/pill_" + std::string(icon) + "_300.bmp", Pill(icon, 300, 84));
  }
  for (const char* icon : {"radio", "menu", "restart", "record"}) {
    out.Save("Common/pill_" + std::string(icon) + "_440.bmp", Pill(icon, 440, 84));
  }
  {
    Canvas aerial(400, 48, kPage);
    for (int i = 0; i < 5; ++i) {
      const double x0 = 8 + i * 80, top = 40 - (i + 1) * 7;
      aerial.Paint(RoundRect(x0, top, x0 + 64, 44, 4), BoxOf(x0, 0, x0 + 64, 48), Mix(kAccent, Hex(0x7FFFB2), i / 4.0));
    }
    out.Save("Radio/aerial.bmp", aerial);
  }
}

void DrawVideo(Writer& out) {
  out.Save("Video/video_bg.bmp", PageBackground(1920, 1080, {206, 930}));
  out.Save("Video/play_bg.bmp", Canvas(1920, 1080, Hex(0x000000)));
  // Menu pills: file name, pictogram.
  const char* pills[][2] = {{"recent", "restart"}, {"record", "record"}, {"folder", "folder"},
                            {"settings", "settings"}, {"home", "home"}, {"back", "back"},
                            {"video", "video"}, {"sort", "menu"}, {"clear", "close"},
                            {"burning", "burning"}, {"stop", "stop"}, {"defaults", "defaults"},
                            {"edit", "photo"}, {"up", "back"}};
  for (const auto& p : pills) {
    out.Save(std::string("Video/pill_") + p[0] + ".bmp", Pill(p[1], 420, 84));
    // The menus' wider pills, and their chosen look (pressed in every state)
    // for the entry that marks the current choice.
    out.Save(std::string("Video/menu_") + p[0] + ".bmp", Pill(p[1], 500, 84));
    out.Save(std::string("Video/menu_") + p[0] + "_chosen.bmp", ChosenPill(p[1], 500, 84));
  }
  out.Save("Video/choice_tag.bmp", RoundButton("play", 64, kPage, 0.4));
  out.Save("Video/page_up.bmp", RoundButton("channel_up", 64, kPage, 0.5));
  out.Save("Video/page_down.bmp", RoundButton("channel_down", 64, kPage, 0.5));
  out.Save("Video/grid_cell.bmp", Strip(280, 220, kPage, 18, nullptr));
  out.Save("Video/app_cell.bmp", Strip(420, 360, kPage, 22, nullptr));
  {
    Canvas area(960, 540, kPage);
    area.Paint(RoundRect(0, 0, 960, 540, 20), BoxOf(0, 0, 960, 540), Hex(0x22314A));
    area.Paint(RoundRect(3, 3, 957, 537, 17), BoxOf(0, 0, 960, 540), Hex(0x070B10));
    area.Paint(Icon("record", 480, 270, 200), BoxOf(300, 100, 660, 440), Hex(0x162236));
    out.Save("Video/capture_region.bmp", area);
  }
  {
    Canvas display(960, 720, kPage);
    display.Paint(RoundRect(0, 0, 960, 720, 20), BoxOf(0, 0, 960, 720), Hex(0x22314A));
    display.Paint(RoundRect(3, 3, 957, 717, 17), BoxOf(0, 0, 960, 720), Hex(0x070B10));
    out.Save("Common/display_M.BMP", display);
  }
  // Folder previews, devices and files.
  out.Save("Common/sub-film.bmp", FilmFrame(260, 160, false, false));
  out.Save("Common/sub-film-up.bmp", FilmFrame(260, 160, false, true));
  out.Save("Common/sub-film-nofiles.bmp", FilmFrame(260, 160, true, false));
  out.Save("Common/sub-film-nofiles1.bmp", FilmFrame(160, 160, true, false));
  const Rgb plate = Hex(0x1B2637);
  // A fixed disk is a drive's box, not a disc: the drive lists show both.
  out.Save("Common/hard_disk.bmp", VideoIcon("harddisk", 160, 160, Hex(0xB8C4D6), plate));
  out.Save("Common/sub-cdromaudio.BMP", VideoIcon("music", 160, 160, Hex(0x7FB2FF), plate));
  out.Save("Common/sub-cdromdvd.BMP", VideoIcon("movie", 160, 160, Hex(0x7FB2FF), plate));
  out.Save("Common/sub-cdromdata.BMP", VideoIcon("disc", 160, 160, Hex(0x7FB2FF), plate));
  out.Save("Common/sub-cdromempty.BMP", VideoIcon("disc", 160, 160, Hex(0x4A5568), plate));
  out.Save("Common/sub-cdromvcd.BMP", VideoIcon("video", 160, 160, Hex(0x7FB2FF), plate));
  out.Save("Common/sub-cardreader.BMP", VideoIcon("securedigital", 160, 160, Hex(0x7FB2FF), plate));
  out.Save("Common/remote_drive.bmp", VideoIcon("web", 160, 160, Hex(0x7FB2FF), plate));
  out.Save("Common/video_file.bmp", VideoIcon("video", 160, 120, Hex(0xD8E2F0), plate));
  out.Save("Common/Image icon.BMP", VideoIcon("video", 160, 120, Hex(0x8FA3BF), plate));
  out.Save("Common/bt-burncheckbox.BMP", BurnCheckBox(false));
  out.Save("Common/bt-burncheckbox-n.BMP", BurnCheckBox(true));
  out.Save("Video/MRV.bmp", VideoIcon("play", 300, 220, Hex(0x7FB2FF), plate));
  out.Save("Video/QXE.bmp", VideoIcon("photo", 300, 220, Hex(0x7FB2FF), plate));
}

// ------------------------------------------------------------------ photo pages

// The picture that stands for a photo that cannot be read: a dim frame with
// a crossed-out picture.
Canvas UnreadablePhoto() {
  const int w = 160, h = 120;
  Canvas c(w, h, Hex(0x1B2637));
  c.Paint(RoundRectFrame(6, 6, w - 6, h - 6, 8, 3), BoxOf(0, 0, w, h), Hex(0x4A5568));
  c.Paint(Icon("photo", w / 2.0, h / 2.0, h * 0.6), BoxOf(0, 0, w, h), Hex(0x4A5568));
  c.Paint(Segment(36, 24, w - 36, h - 24, 6), BoxOf(0, 0, w, h), Hex(0xFF5A6A));
  return c;
}

void DrawPhoto(Writer& out) {
  out.Save("Photo/photo_bg.bmp", PageBackground(1920, 1080, {206, 930}));
  out.Save("Photo/display_bg.bmp", Canvas(1920, 1080, Hex(0x000000)));
  // Menu pills: file name, pictogram.
  const char* pills[][2] = {{"play", "play"},         {"sort", "menu"},         {"edit", "photo"},
                            {"settings", "settings"}, {"back", "back"},         {"home", "home"},
                            {"folder", "folder"},     {"burning", "burning"},   {"acquire", "photo"},
                            {"music", "music"},       {"defaults", "defaults"}, {"up", "back"},
                            {"rotate_left", "rotate_left"}, {"rotate_right", "rotate_right"}};
  for (const auto& p : pills) out.Save(std::string("Photo/pill_") + p[0] + ".bmp", Pill(p[1], 420, 84));
  out.Save("Photo/choice_tag.bmp", RoundButton("play", 64, kPage, 0.4));
  out.Save("Photo/page_up.bmp", RoundButton("channel_up", 64, kPage, 0.5));
  out.Save("Photo/page_down.bmp", RoundButton("channel_down", 64, kPage, 0.5));
  out.Save("Photo/grid_cell.bmp", Strip(280, 220, kPage, 18, nullptr));
  out.Save("Photo/music_row.bmp", Strip(1180, 84, kPage, 14, nullptr));
  {
    Canvas frame(240, 180, kPage);
    frame.Paint(RoundRect(0, 0, 240, 180, 14), BoxOf(0, 0, 240, 180), Hex(0x22314A));
    frame.Paint(RoundRect(3, 3, 237, 177, 11), BoxOf(0, 0, 240, 180), Hex(0x070B10));
    out.Save("Photo/highlight_frame.bmp", frame);
  }
  {
    Canvas area(1200, 675, kPage);
    area.Paint(RoundRect(0, 0, 1200, 675, 20), BoxOf(0, 0, 1200, 675), Hex(0x22314A));
    area.Paint(RoundRect(3, 3, 1197, 672, 17), BoxOf(0, 0, 1200, 675), Hex(0x070B10));
    out.Save("Photo/edit_area.bmp", area);
  }
  // The browse folder of the drive selector (the vendor's own form), and the
  // stand-in for a picture that cannot be read.
  {
    Canvas folder(160, 160, kPage);
    folder.Paint(Icon("folder", 80, 80, 140), BoxOf(0, 0, 160, 160), Hex(0x7FB2FF));
    folder.Paint(Circle(118, 118, 34), BoxOf(80, 80, 160, 160), kPage);
    folder.Paint(Icon("photo", 118, 118, 52), BoxOf(84, 84, 152, 152), Hex(0xFFE08A));
    out.Save("Common/sub-files-1.bmp", folder);
  }
  out.Save("Common/photo-unreadable.bmp", UnreadablePhoto());
}

void DrawAll(Writer& out) {
  // Page backgrounds.
  out.Save("Root/root_bg.bmp", PageBackground(1920, 1080, {140, 966}));
  out.Save("Setting/setting_bg.bmp", PageBackground(1920, 1080, {206, 930}));
  out.Save("Record/record_bg.bmp", PageBackground(1920, 1080, {236}));
  out.Save("Authoring/authoring_bg.bmp", PageBackground(1920, 1080, {206, 930}));
  out.Save("Common/rename_bg.bmp", PageBackground(1920, 1080, {206}));
  {
    Canvas movie = PageBackground(1920, 1080, {206});
    movie.Paint(RoundRect(600, 240, 1800, 860, 24), BoxOf(600, 240, 1800, 860), Hex(0x070B10));
    movie.Paint(Icon("movie", 1200, 550, 240), BoxOf(1000, 350, 1400, 750), Hex(0x162236));
    out.Save("Movie/movie_bg.bmp", movie);
  }

  // Home page: module tiles, their large pictures, the window buttons.
  const char* modules[][2] = {{"movie", "movie"},     {"music", "music"}, {"photo", "photo"},
                              {"video", "video"},     {"tv", "tv"},       {"radio", "radio"},
                              {"burning", "burning"}, {"web", "web"},     {"settings", "settings"},
                              {"help", "help"}};
  for (const auto& m : modules) out.Save(std::string("Root/tile_") + m[0] + ".bmp", Tile(m[1], 216, 250, 100, 120));
  {
    // The updated web entry carries a badge.
    Canvas updated = Tile("web", 216, 250, 100, 120);
    for (int state = 0; state < 4; ++state) {
      const double x = state * 216 + 160;
      updated.Paint(Circle(x, 52, 16), BoxOf(x - 20, 30, x + 20, 72), state == 3 ? kStates[3].ink : Hex(0xFF5A6A));
    }
    out.Save("Root/tile_web_updated.bmp", updated);
  }
  const char* pictures[][2] = {{"root_movie.bmp", "movie"},     {"root_music.bmp", "music"},
                               {"root_photo.bmp", "photo"},     {"root_video.bmp", "video"},
                               {"root_tv.bmp", "tv"},           {"root_radio.bmp", "radio"},
                               {"root_burning.bmp", "burning"}, {"root_settings.bmp", "settings"},
                               {"root_help.bmp", "help"},       {"root_web.bmp", "web"},
                               {"root_topc.bmp", "topc"}};
  for (const auto& p : pictures) out.Save(std::string("Root/") + p[0], ModulePicture(p[1], Hex(0xDCE8FF)));
  out.Save("Root/root_checkweb.bmp", ModulePicture("web", kAccent));
  for (const char* b : {"minimize", "maximize", "restore", "close"}) {
    out.Save(std::string("Common/btn_") + b + ".bmp", RoundButton(b, 72, kPage, 0.44));
  }

  // Menu pills and arrows.
  const std::pair<const char*, int> pills[] = {
      {"help", 280},     {"topc", 280},    {"home", 300},   {"defaults", 400}, {"about", 300},
      {"back", 300},     {"back", 320},    {"back", 340},   {"stop", 400},     {"stop", 420},
      {"burning", 320},  {"play", 420},    {"restart", 420}, {"menu", 420},    {"settings", 420},
      {"eject", 420}};
  for (const auto& [icon, w] : pills) {
    out.Save("Common/pill_" + std::string(icon) + "_" + std::to_string(w) + ".bmp", Pill(icon, w, 84));
  }
  out.Save("Common/arrow_left.bmp", RoundButton("arrow_left", 64, kPage, 0.5));
  out.Save("Common/arrow_right.bmp", RoundButton("arrow_right", 64, kPage, 0.5));

  // Key pad and its edit field.
  out.Save("Common/key.bmp", Strip(130, 96, kPage, 14, nullptr));
  {
    Canvas field(1570, 96, kPage);
    field.Paint(RoundRect(0, 0, 1570, 96, 16), BoxOf(0, 0, 1570, 96), kAccent);
    field.Paint(RoundRect(3, 3, 1567, 93, 13), BoxOf(0, 0, 1570, 96), Hex(0x101824));
    out.Save("Common/edit_field.bmp", field);
  }

  // Progress bars.
  out.Save("Common/progress_wide.bmp", ProgressImage(1440, 36, kPage, Hex(0x1B2637), kAccent));
  out.Save("Bar/progress_volume.bmp", ProgressImage(120, 16, kBar, Hex(0x253247), kAccent));

  // TV pages: background, the dark areas the live picture is drawn over,
  // channel rows, wall cells and guide rows.
  out.Save("TV/tv_bg.bmp", PageBackground(1920, 1080, {206}));
  {
    Canvas full(1920, 1080, Hex(0x05080C));
    out.Save("TV/video_full.bmp", full);
    Canvas small(1088, 612, Hex(0x05080C));
    out.Save("TV/video_small.bmp", small);
  }
  out.Save("TV/channel_row.bmp", Strip(1200, 72, kPage, 14, nullptr));
  out.Save("TV/wall_cell.bmp", Strip(520, 292, kPage, 16, nullptr));
  out.Save("TV/guide_row.bmp", Strip(1680, 88, kPage, 14, nullptr));

  // Record hub.
  {
    Canvas title(96, 96, kPage);
    title.Paint(RoundRect(0, 0, 96, 96, 20), BoxOf(0, 0, 96, 96), kStates[0].fill);
    title.Paint(Icon("record", 48, 48, 64), BoxOf(0, 0, 96, 96), Hex(0xFF5A6A));
    out.Save("Common/Title_Record.BMP", title);
  }
  {
    // The same hub in its burning mode.
    Canvas title(96, 96, kPage);
    title.Paint(RoundRect(0, 0, 96, 96, 20), BoxOf(0, 0, 96, 96), kStates[0].fill);
    title.Paint(Icon("burning", 48, 48, 64), BoxOf(0, 0, 96, 96), Hex(0xFFB14A));
    out.Save("Common/Title_Burn.BMP", title);
  }
  for (const char* m : {"photo", "music", "video"}) {
    out.Save(std::string("Record/tile_") + m + ".bmp", Tile(m, 400, 400, 170, 190));
  }
  for (const char* d : {"disc", "usb", "smartmedia", "memorystick", "compactflash", "securedigital"}) {
    out.Save(std::string("Record/device_") + d + ".bmp", Tile(d, 440, 240, 95, 120));
  }
  {
    Canvas folder(160, 160, kPage);
    folder.Paint(Icon("folder", 80, 80, 140), BoxOf(0, 0, 160, 160), Hex(0x7FB2FF));
    out.Save("Common/sub-files.bmp", folder);
  }

  // Authoring.
  {
    Canvas area(960, 540, kPage);
    area.Paint(RoundRect(0, 0, 960, 540, 20), BoxOf(0, 0, 960, 540), Hex(0x22314A));
    area.Paint(RoundRect(3, 3, 957, 537, 17), BoxOf(0, 0, 960, 540), Hex(0x070B10));
    area.Paint(Icon("burning", 480, 270, 200), BoxOf(300, 100, 660, 440), Hex(0x162236));
    out.Save("Authoring/preview_area.bmp", area);
  }

  // Setting: wide-screen previews.
  out.Save("Setting/preview_43_letterbox.bmp", AspectPreview(4.0 / 3, 16.0 / 9, false, false));
  out.Save("Setting/preview_43_panscan.bmp", AspectPreview(4.0 / 3, 16.0 / 9, false, true));
  out.Save("Setting/preview_43_widefill.bmp", AspectPreview(4.0 / 3, 16.0 / 9, true, false));
  out.Save("Setting/preview_169_letterbox.bmp", AspectPreview(16.0 / 9, 4.0 / 3, false, false));
  out.Save("Setting/preview_169_widefill.bmp", AspectPreview(16.0 / 9, 4.0 / 3, true, false));

  // Floating bars.
  out.Save("Bar/caption_bg.bmp", CaptionBackground());
  out.Save("Bar/playback_bg.bmp", PlaybackBackground());
  for (const char* b : {"home", "back", "help", "minimize", "maximize", "restore", "close"}) {
    out.Save(std::string("Bar/cap_") + b + ".bmp", RoundButton(b, 72, kBar, 0.44));
  }
  for (const char* b : {"play", "pause", "stop", "previous", "next", "rewind", "fastforward", "record", "menu",
                        "language", "subtitle", "angle", "desktop", "repeat", "repeat_on", "shuffle", "shuffle_on",
                        "visualization", "visualization_on", "effect_previous", "effect_next", "image_previous",
                        "image_next", "rotate_left", "rotate_right", "snapshot", "channel_up", "channel_down",
                        "vol_mute", "vol_unmute", "vol_up", "vol_down"}) {
    out.Save(std::string("Bar/btn_") + b + ".bmp", RoundButton(b, 88, kBar));
  }

  DrawMovieImages(out);
  DrawFileListImages(out);
  DrawMusicImages(out);
  DrawRadioImages(out);
  DrawVideo(out);
  DrawPhoto(out);
}

// The program's window icons, by resource number: 129 in general, 130 for
// vendor 1. They are PNG pictures in <output>/Resources.
void DrawProgramIcons(const fs::path& folder) {
  fs::create_directories(folder);
  for (const auto& [id, accent] : {std::pair{129, kAccent}, std::pair{130, Hex(0x2FB37A)}}) {
    Canvas icon(64, 64, kPage);
    icon.Paint(RoundRect(0, 0, 64, 64, 14), BoxOf(0, 0, 64, 64), accent);
    icon.Paint(Icon("home", 32, 32, 44), BoxOf(0, 0, 64, 64), Hex(0xFFFFFF));
    const std::vector<std::uint8_t> bytes = plat::gdi::EncodePng(icon.ToSurface(), false);
    const fs::path path = folder / ("icon" + std::to_string(id) + ".png");
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (bytes.empty() || !out) throw std::runtime_error("cannot write " + path.string());
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: skin_generator <output folder>\n";
    return 2;
  }
  try {
    // The generator owns the image folder: images it no longer draws go.
    fs::remove_all(fs::path(argv[1]) / "Layout" / "Img");
    Writer out(fs::path(argv[1]) / "Layout" / "Img");
    DrawAll(out);
    DrawProgramIcons(fs::path(argv[1]) / "Resources");
    std::cout << "skin_generator: " << out.count() << " images in " << (fs::path(argv[1]) / "Layout" / "Img").string()
              << "\n";
  } catch (const std::exception& e) {
    std::cerr << "skin_generator: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
