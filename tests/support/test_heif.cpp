#include "support/test_heif.h"

#include <libheif/heif.h>

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
  const int channels = o.alpha ? 4 : 3;
  const unsigned max = (1u << o.bit_depth) - 1;
  for (int y = 0; y < o.height; ++y) {
    for (int x = 0; x < o.width; ++x) {
      for (int c = 0; c < channels; ++c) {
        const unsigned v =
            o.sample ? o.sample(x, y, c) : ((x * 5 + y * 3 + c * 60) * max / 400) % (max + 1);
        std::uint8_t* p = plane + static_cast<std::ptrdiff_t>(stride) * y;
        if (deep) {
          p[2 * (x * channels + c)] = static_cast<std::uint8_t>(v & 0xFF);
          p[2 * (x * channels + c) + 1] = static_cast<std::uint8_t>(v >> 8);
        } else {
          p[x * channels + c] = static_cast<std::uint8_t>(v);
        }
      }
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

std::string Write(heif_context* context) {
  std::string out;
  heif_writer writer{1, Append};
  Require(heif_context_write(context, &writer, &out), "write");
  return out;
}

// ISO base media boxes, as the grid file needs them.
void Put32(std::string& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}
void Put16(std::string& out, std::uint16_t v) {
  out += static_cast<char>(v >> 8);
  out += static_cast<char>(v & 0xFF);
}
std::string Box(const char* type, const std::string& payload) {
  std::string box;
  Put32(box, static_cast<std::uint32_t>(payload.size() + 8));
  return box + type + payload;
}
std::string FullBox(const char* type, std::uint32_t version_and_flags, const std::string& payload) {
  std::string head;
  Put32(head, version_and_flags);
  return Box(type, head + payload);
}

// The hvcC box and the coded picture (the mdat payload) of a one-image file libheif wrote.
struct CodedTile {
  std::string hvcc;
  std::string data;
};
CodedTile Extract(const std::string& file) {
  CodedTile tile;
  const std::size_t at = file.find("hvcC");
  if (at == std::string::npos || at < 4) throw std::runtime_error("no hvcC");
  const auto* p = reinterpret_cast<const unsigned char*>(file.data());
  const std::size_t size =
      std::size_t(p[at - 4]) << 24 | p[at - 3] << 16 | p[at - 2] << 8 | p[at - 1];
  tile.hvcc = file.substr(at - 4, size);
  for (std::size_t box = 0; box + 8 <= file.size();) {
    const std::size_t length =
        std::size_t(p[box]) << 24 | p[box + 1] << 16 | p[box + 2] << 8 | p[box + 3];
    if (file.compare(box + 4, 4, "mdat") == 0) tile.data = file.substr(box + 8, length - 8);
    if (length < 8) break;
    box += length;
  }
  if (tile.data.empty()) throw std::runtime_error("no mdat");
  return tile;
}

}  // namespace

std::string EncodeTestHeifImages(const std::vector<TestHeifOptions>& images, int primary) {
  heif_context* context = heif_context_alloc();
  try {
    std::vector<heif_image_handle*> handles;
    for (const TestHeifOptions& o : images) handles.push_back(Encode(context, o));
    Require(heif_context_set_primary_image(context, handles[static_cast<std::size_t>(primary)]),
            "primary");
    for (heif_image_handle* handle : handles) heif_image_handle_release(handle);
    std::string out = Write(context);
    heif_context_free(context);
    return out;
  } catch (...) {
    heif_context_free(context);
    throw;
  }
}

std::string EncodeTestHeif(const TestHeifOptions& options) {
  return EncodeTestHeifImages({options}, 0);
}

std::string EncodeTestHeifGrid(const TestHeifOptions& tile, int columns, int rows, int width,
                               int height) {
  std::vector<CodedTile> tiles;
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < columns; ++column) {
      TestHeifOptions o = tile;
      const int dx = column * tile.width, dy = row * tile.height;
      o.sample = [&tile, dx, dy](int x, int y, int c) { return tile.sample(x + dx, y + dy, c); };
      tiles.push_back(Extract(EncodeTestHeif(o)));
    }
  }
  const int count = columns * rows;
  const std::uint16_t grid_id = static_cast<std::uint16_t>(count + 1);
  std::string grid_data(2, '\0');  // version 0; flags 0: 16-bit output size
  grid_data += static_cast<char>(rows - 1);
  grid_data += static_cast<char>(columns - 1);
  Put16(grid_data, static_cast<std::uint16_t>(width));
  Put16(grid_data, static_cast<std::uint16_t>(height));

  const auto meta = [&](std::uint32_t mdat_start) {
    std::string hdlr;
    Put32(hdlr, 0);
    hdlr += "pict";
    hdlr.append(13, '\0');
    std::string pitm;
    Put16(pitm, grid_id);
    std::string iinf;
    Put16(iinf, static_cast<std::uint16_t>(count + 1));
    for (int i = 1; i <= count + 1; ++i) {
      std::string infe;
      Put16(infe, static_cast<std::uint16_t>(i));
      Put16(infe, 0);
      infe += i == grid_id ? "grid" : "hvc1";
      infe += '\0';
      iinf += FullBox("infe", (2u << 24) | (i == grid_id ? 0u : 1u), infe);
    }
    std::string dimg;
    Put16(dimg, grid_id);
    Put16(dimg, static_cast<std::uint16_t>(count));
    for (int i = 1; i <= count; ++i) Put16(dimg, static_cast<std::uint16_t>(i));
    std::string ipco;
    for (const CodedTile& t : tiles) ipco += t.hvcc;
    std::string ispe_tile, ispe_grid;
    Put32(ispe_tile, static_cast<std::uint32_t>(tile.width));
    Put32(ispe_tile, static_cast<std::uint32_t>(tile.height));
    Put32(ispe_grid, static_cast<std::uint32_t>(width));
    Put32(ispe_grid, static_cast<std::uint32_t>(height));
    ipco += FullBox("ispe", 0, ispe_tile) + FullBox("ispe", 0, ispe_grid);
    std::string ipma;
    Put32(ipma, static_cast<std::uint32_t>(count + 1));
    for (int i = 1; i <= count; ++i) {
      Put16(ipma, static_cast<std::uint16_t>(i));
      ipma += '\x02';
      ipma += static_cast<char>(0x80 | i);   // its hvcC, essential
      ipma += static_cast<char>(count + 1);  // the tile's ispe
    }
    Put16(ipma, grid_id);
    ipma += '\x01';
    ipma += static_cast<char>(count + 2);  // the grid's ispe
    std::string iloc;
    iloc += '\x44';  // 4-byte offsets and lengths
    iloc += '\x00';  // no base offset
    Put16(iloc, static_cast<std::uint16_t>(count + 1));
    std::uint32_t offset = mdat_start;
    for (int i = 1; i <= count + 1; ++i) {
      const std::size_t length = i == grid_id ? grid_data.size() : tiles[i - 1].data.size();
      Put16(iloc, static_cast<std::uint16_t>(i));
      Put16(iloc, 0);
      Put16(iloc, 1);
      Put32(iloc, offset);
      Put32(iloc, static_cast<std::uint32_t>(length));
      offset += static_cast<std::uint32_t>(length);
    }
    return FullBox("meta", 0,
                   FullBox("hdlr", 0, hdlr) + FullBox("pitm", 0, pitm) + FullBox("iinf", 0, iinf) +
                       FullBox("iref", 0, Box("dimg", dimg)) +
                       Box("iprp", Box("ipco", ipco) + FullBox("ipma", 0, ipma)) +
                       FullBox("iloc", 0, iloc));
  };
  std::string ftyp = "heic";
  Put32(ftyp, 0);
  ftyp = Box("ftyp", ftyp + "mif1heic");
  std::string payload;
  for (const CodedTile& t : tiles) payload += t.data;
  payload += grid_data;
  const std::size_t meta_size = meta(0).size();
  const auto start = static_cast<std::uint32_t>(ftyp.size() + meta_size + 8);
  return ftyp + meta(start) + Box("mdat", payload);
}

}  // namespace quorvel::testing
