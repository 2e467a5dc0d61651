// Editing through the controller on the real picture component: rotation
// steps, adjustments and the modified mark, working copies of photos on a
// removable drive, and lossless turning when only the rotation changed.
#include "tests/corebridge/photo/photo_test_support.h"

namespace photo_test {
namespace {

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

struct JpegLayout {
  std::vector<int> markers;          // up to the start of scan
  std::vector<std::string> tables;   // DQT payloads
  int width = 0, height = 0;
};

JpegLayout ReadLayout(const std::string& bytes) {
  JpegLayout layout;
  std::size_t at = 2;  // after SOI
  while (at + 4 <= bytes.size() && static_cast<unsigned char>(bytes[at]) == 0xFF) {
    const int marker = static_cast<unsigned char>(bytes[at + 1]);
    const std::size_t length =
        (static_cast<unsigned char>(bytes[at + 2]) << 8) | static_cast<unsigned char>(bytes[at + 3]);
    layout.markers.push_back(marker);
    const std::string payload = bytes.substr(at + 4, length - 2);
    if (marker == 0xDB) layout.tables.push_back(payload);
    if (marker == 0xC0 || marker == 0xC2) {
      layout.height = (static_cast<unsigned char>(payload[1]) << 8) | static_cast<unsigned char>(payload[2]);
      layout.width = (static_cast<unsigned char>(payload[3]) << 8) | static_cast<unsigned char>(payload[4]);
    }
    if (marker == 0xDA) break;
    at += 2 + length;
  }
  return layout;
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(PhotoTest, RotationStepsWrapAndAdjustmentsMarkThePhoto) {
  Enter();
  FillPhotos(1);
  Photo().m_nCurrentPhoto = 0;
  PhotoRecord& r = Photo().m_vecPhotos[0];
  ASSERT_EQ(Act("Photo Rotate Left"), S_OK);
  EXPECT_EQ(r.nRotation, 270);
  ASSERT_EQ(Act("Photo Rotate Right"), S_OK);
  ASSERT_EQ(Act("Photo Rotate Right"), S_OK);
  EXPECT_EQ(r.nRotation, 90);
  EXPECT_EQ(Modes(), (std::vector<WPARAM>{10, 11, 11}));
  EXPECT_EQ(r.bModified, 0) << "a rotation alone is no adjustment";

  ASSERT_EQ(Act("Photo Contrast Right"), S_OK);
  EXPECT_EQ(r.nContrast, 60);
  EXPECT_EQ(r.bModified, 1) << "the contrast alone marks the photo";
  ASSERT_EQ(Act("Photo Contrast Left"), S_OK);
  EXPECT_EQ(r.bModified, 0) << "back to neutral";
  // The limits: a step is refused only once the value lies past them.
  r.nSharpness = 90;
  EXPECT_EQ(Act("Photo Sharpness Right"), S_OK);
  EXPECT_EQ(r.nSharpness, 100);
  EXPECT_EQ(Act("Photo Sharpness Right"), E_FAIL);
  r.nHue = 5;
  EXPECT_EQ(Act("Photo Hue Left"), E_FAIL);
  Photo().m_nCurrentPhoto = 4;
  EXPECT_EQ(Act("Photo Rotate Left"), E_FAIL);
}

TEST_F(PhotoTest, EditsOfARemovableDrivesPhotoGoToOneWorkingCopy) {
  const std::string card = env_.path("card");
  fs::create_directories(card);
  VolumeInfo volume;
  volume.letter = 'E';
  volume.type = DRIVE_REMOVABLE;
  volume.root = card;
  volumes_->volumes.push_back(volume);
  const std::string original = WriteGradientJpeg(card + "/photo.jpg");
  const std::string before = Bytes(original);
  const std::string settings = Config().m_strSettingsFolder;
  ASSERT_FALSE(settings.empty());
  const auto settingsBefore = FilesIn(settings);

  Enter();
  Photo().m_vecPhotos = {Record(original)};
  Photo().m_nCurrentPhoto = 0;
  Photo().m_nPhotoState = 0;
  ASSERT_EQ(Act("Photo Edit View"), S_OK);
  // Half a turn: a lossless turn keeps the quantisation tables as they are
  // (a quarter turn would transpose them).
  ASSERT_EQ(Act("Photo Rotate Right"), S_OK);
  ASSERT_EQ(Act("Photo Rotate Right"), S_OK);
  ASSERT_EQ(Act("Photo Back"), S_OK) << "the edit view applies the pending edit";

  ASSERT_EQ(Photo().m_mapEditedCopies.count(original), 1u);
  const std::string copy = Photo().m_mapEditedCopies[original];
  EXPECT_EQ(fs::path(copy).parent_path(), fs::path(settings));
  EXPECT_EQ(fs::path(copy).filename(), "photo1.jpg");
  EXPECT_EQ(Bytes(original), before) << "the card's photo is untouched";
  EXPECT_EQ(fs::status(copy).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
  // Turned without decoding: same tables and markers.
  const JpegLayout from = ReadLayout(before);
  const JpegLayout turned = ReadLayout(Bytes(copy));
  EXPECT_NE(Bytes(copy), before);
  EXPECT_EQ(turned.markers, from.markers);
  EXPECT_EQ(turned.tables, from.tables);
  EXPECT_EQ(turned.width, from.width);
  EXPECT_EQ(turned.height, from.height);
  const PhotoRecord& r = Photo().m_vecPhotos[0];
  EXPECT_EQ(r.nRotation, 0);
  EXPECT_EQ(r.bModified, 0);

  // A second edit goes to the same copy.
  const std::string firstCopy = Bytes(copy);
  Photo().m_nPhotoState = 4;
  Photo().m_vecViewHistory = {0};
  ASSERT_EQ(Act("Photo Brightness Right"), S_OK);
  ASSERT_EQ(Act("Photo Brightness Right"), S_OK);
  ASSERT_EQ(Act("Photo Back"), S_OK);
  EXPECT_EQ(Photo().m_mapEditedCopies[original], copy);
  EXPECT_NE(Bytes(copy), firstCopy) << "the adjustment was saved";
  EXPECT_EQ(Bytes(original), before);
  auto expected = settingsBefore;
  expected.push_back("photo1.jpg");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(FilesIn(settings), expected) << "one copy, however often it is edited";
}

TEST_F(PhotoTest, AWorkingCopyNeverOverwritesAFileOfTheSameName) {
  const std::string card = env_.path("card");
  fs::create_directories(card);
  VolumeInfo volume;
  volume.letter = 'E';
  volume.type = DRIVE_REMOVABLE;
  volume.root = card;
  volumes_->volumes.push_back(volume);
  // A name with format characters is copied as it is.
  const std::string original = WriteJpeg(card + "/100%s%n.jpg", 0xFF808080u);
  const std::string settings = Config().m_strSettingsFolder;
  test_support::WriteFile(settings + "/100%s%n1.jpg", "someone else's");
  Enter();
  const std::string copy = system_->MakeEditableCopy(original);
  EXPECT_EQ(fs::path(copy).filename(), "100%s%n2.jpg");
  EXPECT_EQ(test_support::ReadFile(settings + "/100%s%n1.jpg"), "someone else's");
  EXPECT_EQ(Bytes(copy), Bytes(original));
  EXPECT_EQ(system_->MakeEditableCopy(original), copy);
  // A photo on a fixed, writable drive is edited in place.
  const std::string local = WriteJpeg(dir_ + "/local.jpg", 0xFF808080u);
  EXPECT_EQ(system_->MakeEditableCopy(local), local);
  // One marked read-only is copied, even for the super-user, whom the
  // permission check lets through.
  const std::string readOnly = WriteJpeg(dir_ + "/kept.jpg", 0xFF808080u);
  fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const std::string keptCopy = system_->MakeEditableCopy(readOnly);
  EXPECT_NE(keptCopy, readOnly);
  EXPECT_EQ(fs::path(keptCopy).parent_path(), fs::path(settings));
}

}  // namespace
}  // namespace photo_test
