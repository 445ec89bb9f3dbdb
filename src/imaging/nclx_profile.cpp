// Writing a matrix and tone curve ICC profile for nclx primaries.
#include "imaging/nclx_profile.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace quorvel::imaging {
namespace {

using Vector = std::array<double, 3>;
using Matrix = std::array<Vector, 3>;  // rows

constexpr Vector kD50{0.9642, 1.0, 0.8249};
constexpr Matrix kBradford{
    {{0.8951, 0.2664, -0.1614}, {-0.7502, 1.7135, 0.0367}, {0.0389, -0.0685, 1.0296}}};

Matrix Multiply(const Matrix& a, const Matrix& b) {
  Matrix m{};
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      for (int k = 0; k < 3; ++k) m[i][j] += a[i][k] * b[k][j];
    }
  }
  return m;
}

Vector Apply(const Matrix& m, const Vector& v) {
  Vector out{};
  for (int i = 0; i < 3; ++i) out[i] = m[i][0] * v[0] + m[i][1] * v[1] + m[i][2] * v[2];
  return out;
}

bool Invert(const Matrix& m, Matrix& inverse) {
  const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                     m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                     m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
  if (!std::isfinite(det) || std::fabs(det) < 1e-9) return false;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      // The cofactor of (j, i), divided by the determinant.
      const int r1 = (j + 1) % 3, r2 = (j + 2) % 3, c1 = (i + 1) % 3, c2 = (i + 2) % 3;
      inverse[i][j] = (m[r1][c1] * m[r2][c2] - m[r1][c2] * m[r2][c1]) / det;
    }
  }
  return true;
}

// XYZ with Y = 1 of a chromaticity.
Vector Xyz(const Chromaticity& c) { return {c.x / c.y, 1.0, (1.0 - c.x - c.y) / c.y}; }

void Put32(std::string& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}
void Put16(std::string& out, std::uint16_t v) {
  out += static_cast<char>(v >> 8);
  out += static_cast<char>(v & 0xFF);
}
void PutFixed(std::string& out, double v) {
  Put32(out, static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(v * 65536.0))));
}

std::string XyzTag(const Vector& xyz) {
  std::string tag = "XYZ ";
  Put32(tag, 0);
  for (const double v : xyz) PutFixed(tag, v);
  return tag;
}

std::string ChadTag(const Matrix& m) {
  std::string tag = "sf32";
  Put32(tag, 0);
  for (const Vector& row : m) {
    for (const double v : row) PutFixed(tag, v);
  }
  return tag;
}

std::string CurveTag(bool linear) {
  std::string tag = "para";
  Put32(tag, 0);
  Put16(tag, linear ? 0 : 3);
  Put16(tag, 0);
  if (linear) {
    PutFixed(tag, 1.0);
    return tag;
  }
  // Y = (a X + b)^g for X >= d, else c X: sRGB's curve.
  for (const double v : {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045}) PutFixed(tag, v);
  return tag;
}

std::string TextTag(const std::string& ascii) {
  std::string tag = "mluc";
  Put32(tag, 0);
  Put32(tag, 1);   // one record
  Put32(tag, 12);  // of 12 bytes
  tag += "enUS";
  Put32(tag, static_cast<std::uint32_t>(2 * ascii.size()));
  Put32(tag, 28);
  for (const char c : ascii) Put16(tag, static_cast<std::uint16_t>(c));
  return tag;
}

std::string Header() {
  std::string h;
  Put32(h, 0);  // the size, set at the end
  Put32(h, 0);
  Put32(h, 0x04300000);
  h += "mntrRGB XYZ ";
  for (const std::uint16_t v : {2026, 1, 1, 0, 0, 0}) Put16(h, v);
  h += "acsp";
  h.append(28, '\0');  // platform, flags, manufacturer, model, attributes, intent
  for (const double v : kD50) PutFixed(h, v);
  h.resize(128, '\0');  // creator, no profile ID, reserved
  return h;
}

}  // namespace

std::string MakeNclxProfile(const NclxColours& colours) {
  const Chromaticity* all[] = {&colours.red, &colours.green, &colours.blue, &colours.white};
  for (const Chromaticity* c : all) {
    if (!(c->y > 0) || !std::isfinite(c->x) || !std::isfinite(c->y)) return {};
  }
  const Vector r = Xyz(colours.red), g = Xyz(colours.green), b = Xyz(colours.blue);
  const Matrix primaries{{{r[0], g[0], b[0]}, {r[1], g[1], b[1]}, {r[2], g[2], b[2]}}};
  Matrix inverse{}, bradford_inverse{};
  if (!Invert(primaries, inverse) || !Invert(kBradford, bradford_inverse)) return {};
  const Vector white = Xyz(colours.white);
  const Vector scale = Apply(inverse, white);
  const Vector cone_source = Apply(kBradford, white), cone_d50 = Apply(kBradford, kD50);
  Matrix cone_scale{};
  for (int i = 0; i < 3; ++i) cone_scale[i][i] = cone_d50[i] / cone_source[i];
  const Matrix adapt = Multiply(bradford_inverse, Multiply(cone_scale, kBradford));
  Matrix colorants{};
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) colorants[i][j] = primaries[i][j] * scale[j];
  }
  colorants = Multiply(adapt, colorants);
  const auto column = [&](int j) {
    return Vector{colorants[0][j], colorants[1][j], colorants[2][j]};
  };

  const std::string curve = CurveTag(colours.linear);
  const std::pair<const char*, std::string> tags[] = {{"desc", TextTag("RGB from nclx primaries")},
                                                      {"cprt", TextTag("No copyright, use freely")},
                                                      {"wtpt", XyzTag(kD50)},
                                                      {"chad", ChadTag(adapt)},
                                                      {"rXYZ", XyzTag(column(0))},
                                                      {"gXYZ", XyzTag(column(1))},
                                                      {"bXYZ", XyzTag(column(2))},
                                                      {"rTRC", curve}};
  constexpr int kCount = 10;  // gTRC and bTRC share rTRC's data
  std::string table, data;
  Put32(table, kCount);
  const std::size_t first = 128 + 4 + 12 * kCount;
  std::uint32_t curve_offset = 0;
  for (const auto& [signature, bytes] : tags) {
    const auto offset = static_cast<std::uint32_t>(first + data.size());
    table += signature;
    Put32(table, offset);
    Put32(table, static_cast<std::uint32_t>(bytes.size()));
    curve_offset = offset;
    data += bytes;
    data.resize((data.size() + 3) & ~std::size_t{3}, '\0');
  }
  for (const char* signature : {"gTRC", "bTRC"}) {
    table += signature;
    Put32(table, curve_offset);
    Put32(table, static_cast<std::uint32_t>(curve.size()));
  }
  std::string profile = Header() + table + data;
  std::string size;
  Put32(size, static_cast<std::uint32_t>(profile.size()));
  profile.replace(0, 4, size);
  return profile;
}

}  // namespace quorvel::imaging
