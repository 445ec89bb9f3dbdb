// The only file that includes libheif's header. libheif reports every failure as a returned
// heif_error, turned into an Error here; the file is read through a reader over a stdio
// stream, whose callbacks only return codes.
#include "imaging/heif_reader.h"

#include <libheif/heif.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "imaging/icc_profile.h"
#include "imaging/jpeg_decoder.h"
#include "imaging/nclx_profile.h"
#include "platform/file_system.h"

namespace quorvel::imaging {
namespace {

// An Exif block larger than a JPEG's APP1 segment could ever be is ignored.
constexpr std::size_t kMaxExifBytes = 1 << 20;
// libheif's structures and the decoder's state besides the pictures, rounded up.
constexpr std::uint64_t kLibraryBytes = 4 << 20;

// The library's plug-ins are registered once for the process and released at its end.
void EnsureLibrary() {
  struct Library {
    Library() { heif_init(nullptr); }
    ~Library() { heif_deinit(); }
  };
  static const Library library;
}

struct Release {
  void operator()(heif_context* p) const { heif_context_free(p); }
  void operator()(const heif_image_handle* p) const { heif_image_handle_release(p); }
  void operator()(const heif_image* p) const { heif_image_release(p); }
  void operator()(heif_decoding_options* p) const { heif_decoding_options_free(p); }
  void operator()(heif_color_profile_nclx* p) const { heif_nclx_color_profile_free(p); }
};
template <class T>
using Owned = std::unique_ptr<T, Release>;

void Check(const heif_error& error, const std::string& name) {
  if (error.code != heif_error_Ok) {
    throw ReadImageError(name, error.message != nullptr ? error.message : "unknown error");
  }
}

// The file as libheif reads it: positions, reads and seeks on a stdio stream.
struct FileSource {
  std::FILE* file = nullptr;
  std::int64_t size = 0;
  ~FileSource() {
    if (file != nullptr) std::fclose(file);
  }
};

std::int64_t Position(void* source) { return ftello(static_cast<FileSource*>(source)->file); }
int Read(void* data, std::size_t size, void* source) {
  return std::fread(data, 1, size, static_cast<FileSource*>(source)->file) == size ? 0 : 1;
}
int Seek(std::int64_t position, void* source) {
  return fseeko(static_cast<FileSource*>(source)->file, static_cast<off_t>(position), SEEK_SET);
}
heif_reader_grow_status WaitForSize(std::int64_t target, void* source) {
  return target > static_cast<FileSource*>(source)->size ? heif_reader_grow_status_size_beyond_eof
                                                         : heif_reader_grow_status_size_reached;
}
const heif_reader kFileReader{1, Position, Read, Seek, WaitForSize};

// A read file: its context and primary image, and what they say.
struct Parsed {
  Owned<heif_context> context;
  Owned<const heif_image_handle> handle;
  PictureInfo info;
  bool premultiplied = false;
};

// Sets IFD0's Orientation (one SHORT) to 1 in place, as libheif has turned the picture
// upright already; a block that cannot be walked stays as it is.
void SetOrientationToOne(std::string& exif) {
  if (exif.size() < 6 + 8) return;
  unsigned char* tiff = reinterpret_cast<unsigned char*>(exif.data()) + 6;
  const std::size_t size = exif.size() - 6;
  const bool big_endian = tiff[0] == 'M';
  const auto u16 = [&](std::size_t at) -> unsigned {
    return big_endian ? tiff[at] << 8 | tiff[at + 1] : tiff[at + 1] << 8 | tiff[at];
  };
  const auto u32 = [&](std::size_t at) -> std::size_t {
    return big_endian ? std::size_t(u16(at)) << 16 | u16(at + 2)
                      : std::size_t(u16(at + 2)) << 16 | u16(at);
  };
  const std::size_t ifd = u32(4);
  if (ifd > size - 2) return;
  const unsigned count = u16(ifd);
  for (unsigned i = 0; i < count && ifd + 2 + 12 * (i + 1) <= size; ++i) {
    const std::size_t entry = ifd + 2 + 12 * i;
    if (u16(entry) != 0x0112 || u16(entry + 2) != 3 || u32(entry + 4) != 1) continue;
    tiff[entry + 8] = big_endian ? 0 : 1;
    tiff[entry + 9] = big_endian ? 1 : 0;
  }
}

// The first Exif item: four bytes giving the offset of the TIFF header, then the block.
std::string ExifOf(const heif_image_handle* handle) {
  heif_item_id id = 0;
  if (heif_image_handle_get_list_of_metadata_block_IDs(handle, "Exif", &id, 1) != 1) return {};
  const std::size_t size = heif_image_handle_get_metadata_size(handle, id);
  if (size < 4 || size > kMaxExifBytes) return {};
  std::string data(size, '\0');
  if (heif_image_handle_get_metadata(handle, id, data.data()).code != heif_error_Ok) return {};
  const auto* p = reinterpret_cast<const unsigned char*>(data.data());
  const std::size_t offset = std::size_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
  if (offset > size - 4) return {};
  std::string exif = ExifBlock(std::string_view(data).substr(4 + offset));
  SetOrientationToOne(exif);
  return exif;
}

// The stored ICC profile, else one made from nclx primaries other than sRGB's.
std::string ProfileOf(const heif_image_handle* handle) {
  const std::size_t size = heif_image_handle_get_raw_color_profile_size(handle);
  if (size > 0) {
    std::string profile(size, '\0');
    if (heif_image_handle_get_raw_color_profile(handle, profile.data()).code == heif_error_Ok) {
      return profile;
    }
  }
  heif_color_profile_nclx* raw = nullptr;
  const heif_error error = heif_image_handle_get_nclx_color_profile(handle, &raw);
  // libheif hands over a description it then calls an error (unknown primaries): freed too.
  const Owned<heif_color_profile_nclx> nclx(raw);
  if (error.code != heif_error_Ok || nclx == nullptr) return {};
  if (nclx->color_primaries == heif_color_primaries_ITU_R_BT_709_5 ||
      nclx->color_primaries == heif_color_primaries_unspecified) {
    return {};
  }
  return MakeNclxProfile({{nclx->color_primary_red_x, nclx->color_primary_red_y},
                          {nclx->color_primary_green_x, nclx->color_primary_green_y},
                          {nclx->color_primary_blue_x, nclx->color_primary_blue_y},
                          {nclx->color_primary_white_x, nclx->color_primary_white_y},
                          nclx->transfer_characteristics == heif_transfer_characteristic_linear});
}

std::uint64_t DecodeBytes(const PictureInfo& info, std::uint64_t file_size) {
  const unsigned sample_bytes = info.bit_depth > 8 ? 2 : 1;
  const unsigned planes = (info.has_alpha ? 4 : 3) * sample_bytes;
  std::uint64_t bytes = AddBytes(file_size, kLibraryBytes);
  bytes = AddBytes(bytes, PixelBytes(info.width, info.height, 2 * planes));
  bytes = AddBytes(bytes, PixelBytes(TFastBmp::StrideFor(info.width), info.height, 1));
  return AddBytes(bytes, 2 * info.icc_profile.size());
}

Parsed Parse(const std::string* bytes, FileSource* file, const std::string& name) {
  EnsureLibrary();
  Parsed p;
  p.context.reset(heif_context_alloc());
  if (p.context == nullptr) throw ReadImageError(name, "libheif cannot start");
  heif_context_set_maximum_image_size_limit(p.context.get(), kMaxHeifSide);
  // A run decodes one photo per worker already.
  heif_context_set_max_decoding_threads(p.context.get(), 0);
  Check(file != nullptr
            ? heif_context_read_from_reader(p.context.get(), &kFileReader, file, nullptr)
            : heif_context_read_from_memory_without_copy(p.context.get(), bytes->data(),
                                                         bytes->size(), nullptr),
        name);
  heif_image_handle* handle = nullptr;
  Check(heif_context_get_primary_image_handle(p.context.get(), &handle), name);
  p.handle.reset(handle);
  PictureInfo& info = p.info;
  info.width = heif_image_handle_get_width(handle);
  info.height = heif_image_handle_get_height(handle);
  info.has_alpha = heif_image_handle_has_alpha_channel(handle) != 0;
  p.premultiplied = info.has_alpha && heif_image_handle_is_premultiplied_alpha(handle) != 0;
  info.bit_depth = std::max(8, heif_image_handle_get_luma_bits_per_pixel(handle));
  info.exif = ExifOf(handle);
  info.icc_profile = ProfileOf(handle);
  info.rgb_profile = DescribesRgb(info.icc_profile);
  info.decode_bytes =
      DecodeBytes(info, file != nullptr ? std::uint64_t(file->size) : bytes->size());
  RefuseOversizedSource(name, info.width, info.height);
  return p;
}

// One plane of the decoded picture, 8 bits or deeper.
struct Plane {
  const std::uint8_t* data = nullptr;
  int stride = 0;
  int bits = 8;
  bool wide = false;  // two bytes per sample
  std::uint8_t At(int x, int y) const {
    const std::uint8_t* row = data + static_cast<std::ptrdiff_t>(stride) * y;
    if (!wide) return row[x];
    return SampleTo8Bits(reinterpret_cast<const std::uint16_t*>(row)[x], bits);
  }
};

Plane PlaneOf(const heif_image* image, heif_channel channel, const std::string& name) {
  Plane plane;
  plane.data = heif_image_get_plane_readonly(image, channel, &plane.stride);
  plane.bits = heif_image_get_bits_per_pixel_range(image, channel);
  plane.wide = heif_image_get_bits_per_pixel(image, channel) > 8;
  if (plane.data == nullptr || plane.bits < 8 || plane.bits > 16) {
    throw ReadImageError(name, "unexpected decoded plane");
  }
  return plane;
}

void CopyPlanes(const heif_image* image, bool premultiplied, TFastBmp& bitmap,
                const std::string& name) {
  const Plane r = PlaneOf(image, heif_channel_R, name);
  const Plane g = PlaneOf(image, heif_channel_G, name);
  const Plane b = PlaneOf(image, heif_channel_B, name);
  const bool alpha = heif_image_has_channel(image, heif_channel_Alpha) != 0;
  const Plane a = alpha ? PlaneOf(image, heif_channel_Alpha, name) : Plane{};
  std::vector<std::uint8_t> bgra(alpha ? 4 * static_cast<std::size_t>(bitmap.Width()) : 0);
  for (int y = 0; y < bitmap.Height(); ++y) {
    std::uint8_t* out = alpha ? bgra.data() : bitmap.Row(y);
    const int step = alpha ? 4 : 3;
    for (int x = 0; x < bitmap.Width(); ++x, out += step) {
      out[0] = b.At(x, y);
      out[1] = g.At(x, y);
      out[2] = r.At(x, y);
      if (alpha) out[3] = a.At(x, y);
    }
    if (alpha) FlattenOnWhite(bgra.data(), bitmap.Width(), premultiplied, bitmap.Row(y));
  }
}

DecodedPicture Decode(Parsed parsed, const std::string& name, std::uint64_t max_pixels) {
  RefuseOversizedSource(name, parsed.info.width, parsed.info.height, max_pixels);
  const Owned<heif_decoding_options> options(heif_decoding_options_alloc());
  if (options == nullptr) throw ReadImageError(name, "libheif cannot start");
  options->convert_hdr_to_8bit = 0;  // rounded here instead of cut
  heif_image* raw = nullptr;
  const heif_error error = heif_decode_image(parsed.handle.get(), &raw, heif_colorspace_RGB,
                                             heif_chroma_444, options.get());
  const Owned<const heif_image> image(raw);
  Check(error, name);
  // The clean aperture may round a side differently from the header: the decode decides.
  DecodedPicture picture;
  picture.info = std::move(parsed.info);
  picture.info.width = heif_image_get_width(image.get(), heif_channel_R);
  picture.info.height = heif_image_get_height(image.get(), heif_channel_R);
  if (picture.info.width <= 0 || picture.info.height <= 0) {
    throw ReadImageError(name, "decoded picture is empty");
  }
  RefuseOversizedSource(name, picture.info.width, picture.info.height, max_pixels);
  picture.bitmap = TFastBmp(picture.info.width, picture.info.height);
  CopyPlanes(image.get(), parsed.premultiplied, picture.bitmap, name);
  return picture;
}

void OpenFile(FileSource& source, const std::string& path) {
  int error = 0;
  source.file = platform::OpenFileForReading(path, error);
  if (source.file == nullptr) throw Error(FileErrorMessage("Cannot open file %s", path, error));
  // The size of the stream opened, whatever the name points at by now.
  if (fseeko(source.file, 0, SEEK_END) == 0) source.size = ftello(source.file);
  if (source.size < 0 || fseeko(source.file, 0, SEEK_SET) != 0) {
    throw ReadImageError(path, "cannot find the file's size");
  }
}

}  // namespace

PictureInfo ReadHeifInfo(const std::string& path) {
  FileSource source;
  OpenFile(source, path);
  return Parse(nullptr, &source, path).info;
}

DecodedPicture DecodeHeifFile(const std::string& path, std::uint64_t max_pixels) {
  FileSource source;
  OpenFile(source, path);
  return Decode(Parse(nullptr, &source, path), path, max_pixels);
}

PictureInfo ReadHeifInfoBytes(const std::string& bytes, const std::string& name) {
  return Parse(&bytes, nullptr, name).info;
}

DecodedPicture DecodeHeifBytes(const std::string& bytes, const std::string& name,
                               std::uint64_t max_pixels) {
  return Decode(Parse(&bytes, nullptr, name), name, max_pixels);
}

}  // namespace quorvel::imaging
