// Each reader of outside bytes driven as the program drives it, with invariants for any input.
#include "fuzz_entries.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <stdexcept>

#include "html/caption.h"
#include "html/navigator.h"
#include "html/page_frame.h"
#include "html/picture_page.h"
#include "html/table_tags.h"
#include "imaging/heif_reader.h"
#include "imaging/jpeg_header.h"
#include "imaging/orientation.h"
#include "imaging/png_reader.h"
#include "imaging/resample_bitmap.h"
#include "imaging/thumbnail_maker.h"
#include "imaging/webp_reader.h"
#include "job/output_names.h"
#include "persist/config_file.h"
#include "persist/private_profile.h"
#include "persist/state_file.h"
#include "platform/file_system.h"
#include "run/current_thumbnail.h"

namespace quorvel::fuzz {
namespace {

// The whole-bitmap checks stay below this many pixels, so that each input is quick.
constexpr std::uint64_t kFuzzMaxPixels = 1u << 20;

// The program's own path takes larger pictures, its other limits lowered for small inputs.
constexpr imaging::DecodeLimits kFuzzLimits = {.max_pixels = 16u << 20,
                                               .memory_budget = 24u << 20,
                                               .max_scans = 24,
                                               .max_profile_bytes = 4096};

void Check(bool ok, const char* what) {
  if (!ok) throw std::logic_error(what);
}

std::string Bytes(const std::uint8_t* data, std::size_t size) {
  return size == 0 ? std::string() : std::string(reinterpret_cast<const char*>(data), size);
}

// The input as a file of this process (`path`), removed with `path` + "*" when the entry ends.
struct InputFile {
  InputFile(const std::uint8_t* data, std::size_t size, const char* extension) {
    path = std::filesystem::temp_directory_path() /
           ("quorvel-fuzz-" + std::to_string(::getpid()) + extension);
    Check(platform::WriteFileAtomically(path, Bytes(data, size)) == 0, "cannot write the input");
  }
  ~InputFile() {
    ::unlink(path.c_str());
    ::unlink((path + ".thumb.jpg").c_str());
  }
  std::string path;
};

bool SamePixels(const imaging::TFastBmp& a, const imaging::TFastBmp& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y) {
    if (!std::equal(a.Row(y), a.Row(y) + 3 * a.Width(), b.Row(y))) return false;
  }
  return true;
}

// A decoded picture within the size limit, resampled by the streaming one as by the reference.
void CheckResamplers(const imaging::TFastBmp& bitmap) {
  const std::uint64_t pixels = std::uint64_t{1} * bitmap.Width() * bitmap.Height();
  Check(pixels > 0 && pixels <= kFuzzMaxPixels, "decoded outside the size limits");
  const imaging::ThumbnailSize fit = imaging::FitToBox(70, 70, bitmap.Width(), bitmap.Height());
  imaging::TFastBmp reference(fit.width, fit.height), streamed(fit.width, fit.height);
  imaging::ResampleBitmap(bitmap, reference, imaging::Lanczos3Filter, 3.0f);
  imaging::StreamingResampler resampler;
  imaging::ResampleBitmapStreaming(bitmap, streamed, imaging::Lanczos3Filter, 3.0f, resampler);
  Check(SamePixels(streamed, reference), "the streaming resampler differs from the reference");
}

// The whole picture decoded (or refused, leaving bitmap and markers as they were), resampled.
void CheckWholeDecode(const std::string& bytes) {
  imaging::TFastBmp previous(3, 2);
  for (int y = 0; y < 2; ++y) std::fill(previous.Row(y), previous.Row(y) + 9, 0x5A + y);
  imaging::TFastBmp bitmap = previous;
  imaging::SourceMarkers markers;
  markers.icc_profile = "previous";
  imaging::DecodeLimits limits = kFuzzLimits;
  limits.max_pixels = kFuzzMaxPixels;
  try {
    imaging::DecodeJpegBytes(bytes, "fuzz.jpg", bitmap, &markers, limits);
  } catch (const Error&) {
    Check(SamePixels(bitmap, previous) && markers.icc_profile == "previous",
          "a failed decode changed");
    return;
  }
  Check(markers.icc_profile.size() <= limits.max_profile_bytes, "a profile past the limit");
  CheckResamplers(bitmap);
}

// Planning's header, then exact and fast thumbnails as workers make them: both refuse alike, and
// a thumbnail has the upright size planned and is current for its own request.
void CheckThumbnails(const std::uint8_t* data, std::size_t size) {
  const InputFile file(data, size, ".jpg");
  std::string planned;
  imaging::SourceHeader header;
  try {
    header = imaging::ReadSourceHeader(file.path, kFuzzLimits);
  } catch (const Error& e) {
    planned = MessageWithDetail(e);
  }
  Check(header.orientation >= 1 && header.orientation <= 8, "orientation outside 1 to 8");
  const bool turned = imaging::OrientationSwapsSides(header.orientation);
  const imaging::ThumbnailSize upright = imaging::FitToBox(
      70, 70, turned ? header.height : header.width, turned ? header.width : header.height);
  const std::string target = file.path + ".thumb.jpg";
  const auto tables = imaging::ExpectedQuantTables(60);
  imaging::FastImage holder;
  for (const bool fast : {false, true}) {
    const imaging::ThumbnailRequest request = {.source = file.path,
                                               .target = target,
                                               .orientation = header.orientation,
                                               .fast = fast,
                                               .limits = kFuzzLimits};
    try {
      imaging::MakeThumbnail(holder, request);
    } catch (const Error& e) {
      Check(planned.empty() || planned == MessageWithDetail(e), "planning and making disagree");
      continue;
    }
    Check(planned.empty(), "planning refused what making took");
    imaging::TFastBmp thumbnail;
    imaging::DecodeJpegFile(target, thumbnail);
    Check(thumbnail.Width() == upright.width && thumbnail.Height() == upright.height,
          "a thumbnail does not decode at its size");
    Check(IsCurrentThumbnail(request, header, tables), "a new thumbnail is not current");
    // Marked fast exactly when decoded at a reduced scale; an exact run keeps only the others.
    const int scale = imaging::FastDecodeScale(header.width, header.height,
                                               turned ? upright.height : upright.width,
                                               turned ? upright.width : upright.height);
    const auto made = imaging::ReadThumbnailHeader(target);
    Check(made && made->mark.fast == (fast && scale > 1), "a thumbnail's fast mark is wrong");
    imaging::ThumbnailRequest exact = request;
    exact.fast = false;
    Check(IsCurrentThumbnail(exact, header, tables) == !made->mark.fast,
          "an exact run keeps a fast thumbnail");
  }
}

void LoadJpeg(const std::uint8_t* data, std::size_t size) {
  CheckWholeDecode(Bytes(data, size));
  CheckThumbnails(data, size);
}

// A reader of whole photos: header and decode agree, stay in limits, the Exif block has its form.
template <class ReadInfo, class Decode>
void ReadWhole(const std::uint8_t* data, std::size_t size, const char* name, ReadInfo read_info,
               Decode decode) {
  const std::string bytes = Bytes(data, size);
  std::optional<imaging::PictureInfo> info;
  try {
    info = read_info(bytes, name);
  } catch (const Error&) {
  }
  imaging::DecodedPicture picture;
  try {
    picture = decode(bytes, name, kFuzzMaxPixels);
  } catch (const Error&) {
    return;
  }
  Check(info.has_value(), "a file decodes whose header is refused");
  const imaging::TFastBmp& bitmap = picture.bitmap;
  Check(bitmap.Width() == picture.info.width && bitmap.Height() == picture.info.height,
        "the bitmap differs from the decode's size");
  Check(picture.info.orientation == info->orientation && picture.info.exif == info->exif,
        "the header and the decode disagree on the orientation");
  Check(picture.info.orientation >= 1 && picture.info.orientation <= 8,
        "orientation outside 1 to 8");
  Check(
      picture.info.exif.empty() || picture.info.exif.compare(0, 6, std::string("Exif\0\0", 6)) == 0,
      "an Exif block without its prefix");
  Check(picture.info.rgb_profile == imaging::DescribesRgb(picture.info.icc_profile),
        "the profile flag is wrong");
  CheckResamplers(bitmap);
}

void LoadHeif(const std::uint8_t* data, std::size_t size) {
  ReadWhole(data, size, "fuzz.heic", imaging::ReadHeifInfoBytes, imaging::DecodeHeifBytes);
}

void LoadPng(const std::uint8_t* data, std::size_t size) {
  ReadWhole(data, size, "fuzz.png", imaging::ReadPngInfoBytes, imaging::DecodePngBytes);
}

void LoadWebp(const std::uint8_t* data, std::size_t size) {
  ReadWhole(data, size, "fuzz.webp", imaging::ReadWebpInfoBytes, imaging::DecodeWebpBytes);
}

// A state file loads over other settings, saves and loads as itself, and feeds a run's pages.
void LoadStateFile(const std::uint8_t* data, std::size_t size) {
  const InputFile file(data, size, ".qvl");
  GallerySettings current;
  current.Output.Directories = {"/photos/a", "/photos/b"};
  GallerySettings loaded;
  try {
    loaded = persist::LoadState(file.path, current);
  } catch (const Error&) {
    return;
  }
  Check(loaded == persist::DecodeState(Bytes(data, size), current, ""),
        "the file loads differently from its bytes");
  Check(loaded.Output.Directories == current.Output.Directories, "a load changed the directories");
  const std::string encoded = persist::EncodeState(loaded);
  Check(persist::DecodeState(encoded, current, "") == loaded, "a saved state loads differently");
  const PathStyle style = kNativePathStyle;
  html::BuildPageFrame(loaded.Page, "/gallery/", style);
  html::BuildPicturePageFrame(loaded.Picture, "/photos/a", style);
  html::BuildTableOpenTag(loaded.Table, "/gallery/", style);
  html::BuildCellOpenTag(loaded.Cell, "/gallery/", style);
  html::BuildCaption(loaded.Text, "IMG 0001.jpg", 123456);
  html::BuildNavigatorWrapper(loaded.Navigator);
  OutputSettings output = loaded.Output;
  output.HTMLDirectory = "/gallery/";
  for (int n = 0; n < 3; ++n) PageFileName(output, "/photos/a", n, style);
  ThumbnailFileName(loaded.Thumbnail.ThumbnailNameMask, "IMG_0001.JPG", style);
  ThumbnailDirectoryFor(output, "/photos/a", style);
}

// A configuration file: every key reads; two written keys read back, leaving the others.
void ReadConfigFile(const std::uint8_t* data, std::size_t size) {
  namespace keys = persist::config_keys;
  const InputFile file(data, size, ".cfg");
  persist::ConfigFile config(file.path);
  const std::pair<const char*, const char*> read_keys[] = {
      {keys::kDirs, keys::kMainWindowSave}, {keys::kWindow, keys::kTop},
      {keys::kDirs, keys::kMainWindowLoad}, {keys::kWindow, keys::kStateLock},
      {keys::kWindow, keys::kDefaultState}, {keys::kWindow, keys::kIcon},
      {keys::kOptions, keys::kJobs},        {keys::kOptions, keys::kCameraOrientation},
      {keys::kDirs, keys::kDirectoryBox},   {keys::kWindow, keys::kLeft}};
  std::vector<std::optional<std::string>> before;
  for (const auto& [section, key] : read_keys) {
    const bool has = config.HasKey(section, key);
    config.ReadInt(section, key, 7);
    const std::string text = config.ReadString(section, key, "fallback");
    Check(text.size() <= 2047, "a string read past 2047 characters");
    Check(has || text == "fallback", "an absent key read as a value");
    before.push_back(persist::GetPrivateProfileString(file.path, section, key));
  }
  try {
    config.WriteString(keys::kDirs, keys::kDirectoryBox, "/photos/2026 trip");
    config.WriteInt(keys::kWindow, keys::kLeft, -17);
  } catch (const Error&) {
    Check(persist::GetPrivateProfileString(file.path, keys::kDirs, keys::kMainWindowSave) ==
              before[0],
          "a refused write changed the file");
    return;
  }
  Check(config.ReadString(keys::kDirs, keys::kDirectoryBox, "") == "/photos/2026 trip" &&
            config.ReadInt(keys::kWindow, keys::kLeft, 0) == -17,
        "a written value does not read back");
  // The last two keys are the written ones; every other one reads as before.
  for (std::size_t i = 0; i + 2 < before.size(); ++i) {
    Check(persist::GetPrivateProfileString(file.path, read_keys[i].first, read_keys[i].second) ==
              before[i],
          "writing one key changed another");
  }
}

}  // namespace

std::span<const Target> Targets() {
  static constexpr Target kTargets[] = {
      {"jpeg_load", LoadJpeg}, {"state_file", LoadStateFile}, {"config_file", ReadConfigFile},
      {"heif_load", LoadHeif}, {"png_load", LoadPng},         {"webp_load", LoadWebp}};
  return kTargets;
}

}  // namespace quorvel::fuzz
