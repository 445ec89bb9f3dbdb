#include "support/test_heif.h"

#include <libheif/heif.h>

#include <memory>
#include <stdexcept>

namespace quorvel::testing {
namespace {

void Require(const heif_error& error, const char* what) {
  if (error.code != heif_error_Ok)
    throw std::runtime_error(std::string(what) + ": " + error.message);
}

heif_error Append(heif_context*, const void* data, std::size_t size, void* out) {
  static_cast<std::string*>(out)->append(static_cast<const char*>(data), size);
  return {heif_error_Ok, heif_suberror_Unspecified, ""};
}

// The picture as libheif takes it: interleaved RGB(A), 8 bits or 16-bit little-endian words.
heif_image* MakeImage(const TestHeifOptions& o) {
  const bool deep = o.bit_depth > 8;
  const heif_chroma chroma =
      deep ? (o.alpha ? heif_chroma_interleaved_RRGGBBAA_LE : heif_chroma_interleaved_RRGGBB_LE)
           : (o.alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB);
  heif_image* image = nullptr;
  Require(heif_image_create(o.width, o.height, heif_colorspace_RGB, chroma, &image), "image");
  Require(heif_image_add_plane(image, heif_channel_interleaved, o.width, o.height, o.bit_depth),
          "plane");
  int stride = 0;
  std::uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
  const int channels = o.alpha ? 4 : 3, bytes = deep ? 2 : 1;
  const unsigned max = (1u << o.bit_depth) - 1;
  for (int y = 0; y < o.height; ++y) {
    std::uint8_t* row = plane + static_cast<std::ptrdiff_t>(stride) * y;
    for (int i = 0; i < o.width * channels; ++i) {
      const int x = i / channels, c = i % channels;
      const unsigned v =
          o.sample ? o.sample(x, y, c) : ((x * 5 + y * 3 + c * 60) * max / 400) % (max + 1);
      for (int b = 0; b < bytes; ++b) row[bytes * i + b] = static_cast<std::uint8_t>(v >> 8 * b);
    }
  }
  if (!o.icc.empty()) {
    Require(heif_image_set_raw_color_profile(image, "prof", o.icc.data(), o.icc.size()), "prof");
  }
  if (o.nclx_primaries != 0) {
    heif_color_profile_nclx* nclx = heif_nclx_color_profile_alloc();
    nclx->color_primaries = static_cast<heif_color_primaries>(o.nclx_primaries);
    nclx->transfer_characteristics = heif_transfer_characteristic_IEC_61966_2_1;
    nclx->matrix_coefficients = heif_matrix_coefficients_ITU_R_BT_601_6;
    nclx->full_range_flag = 1;
    const heif_error error = heif_image_set_nclx_color_profile(image, nclx);
    heif_nclx_color_profile_free(nclx);
    Require(error, "nclx");
  }
  return image;
}

heif_image_handle* Encode(heif_context* context, const TestHeifOptions& o) {
  heif_encoder* encoder = nullptr;
  Require(heif_context_get_encoder_for_format(
              context, o.avif ? heif_compression_AV1 : heif_compression_HEVC, &encoder),
          "encoder");
  heif_encoder_set_lossy_quality(encoder, o.quality);
  heif_encoder_set_parameter(encoder, "chroma", o.chroma_444 ? "444" : "420");
  if (o.avif) heif_encoder_set_parameter(encoder, "speed", "8");
  heif_image* image = MakeImage(o);
  heif_encoding_options* options = heif_encoding_options_alloc();
  options->image_orientation = static_cast<heif_orientation>(o.orientation);
  // libheif leaves the nclx box out by default, for the sake of old Apple readers.
  if (o.nclx_primaries != 0) options->macOS_compatibility_workaround_no_nclx_profile = 0;
  heif_image_handle* handle = nullptr;
  const heif_error error = heif_context_encode_image(context, image, encoder, options, &handle);
  heif_encoding_options_free(options);
  heif_image_release(image);
  heif_encoder_release(encoder);
  Require(error, "encode");
  if (!o.exif.empty()) {
    Require(heif_context_add_exif_metadata(context, handle, o.exif.data(),
                                           static_cast<int>(o.exif.size())),
            "exif");
  }
  return handle;
}

}  // namespace

std::string EncodeTestHeifImages(const std::vector<TestHeifOptions>& images, int primary) {
  const std::unique_ptr<heif_context, void (*)(heif_context*)> context(heif_context_alloc(),
                                                                       heif_context_free);
  std::vector<heif_image_handle*> handles;
  for (const TestHeifOptions& o : images) handles.push_back(Encode(context.get(), o));
  const heif_error error = heif_context_set_primary_image(context.get(), handles[primary]);
  for (heif_image_handle* handle : handles) heif_image_handle_release(handle);
  Require(error, "primary");
  std::string out;
  heif_writer writer{1, Append};
  Require(heif_context_write(context.get(), &writer, &out), "write");
  return out;
}

std::string EncodeTestHeif(const TestHeifOptions& options) {
  return EncodeTestHeifImages({options}, 0);
}

}  // namespace quorvel::testing
