// The fuzz entries: each reader of outside bytes driven as the program drives it, with the
// invariants that must hold for any input.
#include "fuzz_entries.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <optional>

#include "job/error.h"
#include "job/gallery_settings.h"
#include "job/output_names.h"
#include "job/path_style.h"
#include "html/caption.h"
#include "html/navigator.h"
#include "html/page_frame.h"
#include "html/picture_page.h"
#include "html/table_tags.h"
#include "imaging/exif_orientation.h"
#include "imaging/fast_bmp.h"
#include "imaging/jpeg_decoder.h"
#include "imaging/jpeg_encoder.h"
#include "imaging/lanczos3_filter.h"
#include "imaging/orientation.h"
#include "imaging/resample_bitmap.h"
#include "imaging/streaming_resampler.h"
#include "imaging/thumbnail_maker.h"
#include "persist/config_file.h"
#include "persist/private_profile.h"
#include "persist/state_file.h"
#include "platform/file_system.h"

namespace quorvel::fuzz {
namespace {

void Check(bool ok, const char* what) {
  if (!ok) throw CheckFailure(what);
}

std::string Bytes(const std::uint8_t* data, std::size_t size) {
  return size == 0 ? std::string() : std::string(reinterpret_cast<const char*>(data), size);
}

// The picture a failed decode must leave untouched.
imaging::TFastBmp PreviousImage() {
  imaging::TFastBmp bmp(3, 2);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 9; ++x) bmp.Row(y)[x] = static_cast<std::uint8_t>(17 * x + y);
  }
  return bmp;
}

bool SamePixels(const imaging::TFastBmp& a, const imaging::TFastBmp& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < 3 * a.Width(); ++x) {
      if (a.Row(y)[x] != b.Row(y)[x]) return false;
    }
  }
  return true;
}

// The fast mode's decode: at a reduced DCT scale, rows straight into the resampler.
class ReducedDecode final : public imaging::ScanlineConsumer {
 public:
  ReducedDecode(int width, int height) : width_(width), height_(height) {}
  int ChooseScale(int w, int h, const imaging::SourceMarkers&) override {
    return imaging::FastDecodeScale(w, h, width_, height_);
  }
  void Begin(int w, int h) override {
    resampler_.Start(w, h, width_, height_, imaging::Lanczos3Filter, 3.0f);
  }
  void TakeRows(int first, const std::uint8_t* const* rows, int count) override {
    resampler_.TakeRows(first, rows, count);
  }
  imaging::TFastBmp Finish() {
    imaging::TFastBmp out;
    resampler_.Finish(out);
    return out;
  }

 private:
  int width_;
  int height_;
  imaging::StreamingResampler resampler_;
};

void DecodeReduced(const std::string& bytes, int width, int height) {
  ReducedDecode consumer(width, height);
  // The full decode succeeded, so the reduced one of the same bytes must too.
  imaging::DecodeJpegBytesRows(bytes, "fuzz.jpg", consumer, false, kFuzzMaxPixels);
  const imaging::TFastBmp out = consumer.Finish();
  Check(out.Width() == width && out.Height() == height, "the reduced decode has the wrong size");
}

}  // namespace

void LoadJpeg(const std::uint8_t* data, std::size_t size) {
  const std::string bytes = Bytes(data, size);
  const imaging::TFastBmp previous = PreviousImage();
  imaging::TFastBmp bitmap = previous;
  imaging::SourceMarkers markers;
  markers.exif = "previous";
  try {
    imaging::DecodeJpegBytes(bytes, "fuzz.jpg", bitmap, &markers, kFuzzMaxPixels);
  } catch (const Error&) {
    Check(SamePixels(bitmap, previous), "a failed decode changed the bitmap");
    Check(markers.exif == "previous", "a failed decode changed the markers");
    return;
  }
  const auto pixels =
      static_cast<std::uint64_t>(bitmap.Width()) * static_cast<std::uint64_t>(bitmap.Height());
  Check(bitmap.Width() > 0 && bitmap.Height() > 0, "decoded an empty bitmap");
  Check(pixels <= kFuzzMaxPixels, "decoded past the size limit");

  // The rest of a thumbnail, as MakeThumbnail does it, without the file.
  const int orientation = imaging::ReadExifOrientation(markers.exif);
  Check(orientation >= 1 && orientation <= 8, "orientation outside 1 to 8");
  const bool swap = imaging::OrientationSwapsSides(orientation);
  const imaging::ThumbnailSize fit =
      swap ? imaging::FitToBox(70, 70, bitmap.Height(), bitmap.Width())
           : imaging::FitToBox(70, 70, bitmap.Width(), bitmap.Height());
  Check(fit.width >= 1 && fit.height >= 1, "a thumbnail side below 1");
  imaging::TFastBmp scaled(swap ? fit.height : fit.width, swap ? fit.width : fit.height);
  imaging::ResampleBitmap(bitmap, scaled, imaging::Lanczos3Filter, 3.0f);
  // The vector resampler must agree with the reference on every picture, bit for bit.
  imaging::StreamingResampler resampler;
  imaging::TFastBmp streamed(scaled.Width(), scaled.Height());
  imaging::ResampleBitmapStreaming(bitmap, streamed, imaging::Lanczos3Filter, 3.0f, resampler);
  Check(SamePixels(streamed, scaled), "the streaming resampler differs from the reference");
  DecodeReduced(bytes, scaled.Width(), scaled.Height());
  const imaging::TFastBmp turned = imaging::OrientBitmap(scaled, orientation);
  Check(turned.Width() == fit.width && turned.Height() == fit.height, "turned to the wrong size");
  const std::string thumbnail = imaging::EncodeJpeg(turned, 60, false, markers.icc_profile);
  imaging::TFastBmp again;
  imaging::DecodeJpegBytes(thumbnail, "thumbnail.jpg", again);
  Check(again.Width() == fit.width && again.Height() == fit.height,
        "the thumbnail does not decode to its size");
}

void LoadStateFile(const std::uint8_t* data, std::size_t size) {
  const std::string bytes = Bytes(data, size);
  GallerySettings current;
  current.Output.Directories = {"/photos/a", "/photos/b"};
  GallerySettings loaded;
  try {
    loaded = persist::DecodeState(bytes, current, "fuzz.qvl");
  } catch (const Error&) {
    return;
  }
  Check(loaded.Output.Directories == current.Output.Directories, "a load changed the directories");
  const std::string encoded = persist::EncodeState(loaded);
  const GallerySettings reloaded = persist::DecodeState(encoded, current, "again.qvl");
  Check(reloaded == loaded, "a saved state does not load as itself");
  Check(persist::EncodeState(reloaded) == encoded, "a state does not save the same twice");

  // Everything a loaded state feeds before a run writes anything.
  const PathStyle style = kNativePathStyle;
  const std::string base = "/gallery/";
  html::BuildPageFrame(loaded.Page, base, style);
  html::BuildPicturePageFrame(loaded.Picture, "/photos/a", style);
  html::BuildTableOpenTag(loaded.Table, base, style);
  html::BuildCellOpenTag(loaded.Cell, base, style);
  html::TableCloseLine(loaded.Table);
  html::BuildCaption(loaded.Text, "IMG 0001.jpg", 123456);
  html::BuildNavigatorWrapper(loaded.Navigator);
  OutputSettings output = loaded.Output;
  output.HTMLDirectory = base;
  for (int n = 0; n < 3; ++n) PageFileName(output, "/photos/a", n, style);
  ThumbnailFileName(loaded.Thumbnail.ThumbnailNameMask, "IMG_0001.JPG", style);
  ThumbnailDirectoryFor(output, "/photos/a", style);
}

void ReadConfigFile(const std::uint8_t* data, std::size_t size) {
  namespace keys = persist::config_keys;
  static const std::string path = [] {
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/quorvel-fuzz-" +
           std::to_string(::getpid()) + ".cfg";
  }();
  struct Removal {
    ~Removal() { ::unlink(path.c_str()); }
  } removal;
  Check(platform::WriteFileAtomically(path, Bytes(data, size)) == 0, "cannot write the input");

  const persist::ConfigFile config(path);
  const std::pair<const char*, const char*> read_keys[] = {
      {keys::kWindow, keys::kLeft},
      {keys::kWindow, keys::kTop},
      {keys::kDirs, keys::kMainWindowSave},
      {keys::kDirs, keys::kMainWindowLoad},
      {keys::kWindow, keys::kStateLock},
      {keys::kWindow, keys::kDefaultState},
      {keys::kWindow, keys::kIcon},
      {keys::kDirs, keys::kDirectoryBox},
      {keys::kOptions, keys::kCameraOrientation},
      {keys::kOptions, keys::kJobs}};
  std::vector<std::optional<std::string>> before;
  for (const auto& [section, key] : read_keys) {
    const bool has = config.HasKey(section, key);
    config.ReadInt(section, key, 7);
    config.ReadBool(section, key, false);
    const std::string text = config.ReadString(section, key, "fallback");
    Check(text.size() <= 2047, "a string read past 2047 characters");
    Check(has || text == "fallback", "an absent key read as a value");
    before.push_back(persist::GetPrivateProfileString(path, section, key));
  }

  persist::ConfigFile writer(path);
  try {
    writer.WriteString(keys::kDirs, keys::kDirectoryBox, "/photos/2026 trip");
    writer.WriteInt(keys::kWindow, keys::kLeft, -17);
  } catch (const Error&) {
    // Refused writes must leave the file as it was.
    Check(persist::GetPrivateProfileString(path, keys::kDirs, keys::kMainWindowSave) == before[2],
          "a refused write changed the file");
    return;
  }
  Check(writer.ReadString(keys::kDirs, keys::kDirectoryBox, "") == "/photos/2026 trip",
        "a written string does not read back");
  Check(writer.ReadInt(keys::kWindow, keys::kLeft, 0) == -17,
        "a written integer does not read back");
  for (std::size_t i = 0; i < before.size(); ++i) {
    const auto& [section, key] = read_keys[i];
    if (key == std::string(keys::kDirectoryBox) || key == std::string(keys::kLeft)) continue;
    Check(persist::GetPrivateProfileString(path, section, key) == before[i],
          "writing one key changed another");
  }
}

}  // namespace quorvel::fuzz
