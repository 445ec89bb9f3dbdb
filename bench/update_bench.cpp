// Update mode at library scale: a second run over FOLDERS x PER_FOLDER unchanged photos, then a
// run after one photo was edited, which must make that one thumbnail again and no other.
//   update_bench [DIR] [FOLDERS] [PER_FOLDER]     (defaults /tmp/quorvel-update-bench 100 1000)
// The photos are made once and kept in DIR; the first run makes every thumbnail.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "imaging/fast_bmp.h"
#include "imaging/jpeg_encoder.h"
#include "job/error.h"
#include "platform/file_system.h"
#include "run/generation_run.h"

namespace {

using Clock = std::chrono::steady_clock;

// A small photo-like picture, different for each `seed`.
std::string Photo(int seed) {
  quorvel::imaging::TFastBmp bmp(96, 72);
  for (int y = 0; y < bmp.Height(); ++y) {
    for (int x = 0; x < bmp.Width(); ++x) {
      std::uint8_t* p = bmp.Row(y) + 3 * x;
      p[0] = static_cast<std::uint8_t>(x * 2 + seed);
      p[1] = static_cast<std::uint8_t>(y * 3 + seed / 7);
      p[2] = static_cast<std::uint8_t>((x ^ y) + seed / 49);
    }
  }
  return quorvel::imaging::EncodeJpeg(bmp, 85, false);
}

void Write(const std::string& path, const std::string& bytes) {
  if (quorvel::platform::WriteFileAtomically(path, bytes) != 0) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    std::exit(1);
  }
}

std::string Folder(const std::string& dir, int f) {
  char name[32];
  std::snprintf(name, sizeof name, "/photos/f%03d", f);
  return dir + name;
}

std::string PhotoPath(const std::string& dir, int f, int i) {
  char name[32];
  std::snprintf(name, sizeof name, "/img_%04d.jpg", i);
  return Folder(dir, f) + name;
}

// A large library's layout: in each folder its thumbnails and its pages of 15, each page with
// the navigator of its folder. (One navigator over all folders would put every page's link on
// every page: output growing with the square of the library.)
quorvel::GallerySettings Settings(const std::string& dir, int folders) {
  quorvel::GallerySettings s;
  quorvel::OutputSettings& o = s.Output;
  o.ThumbnailsIntoImageDirectory = o.HTMLIntoImageDirectory = true;
  o.SeparateHTML = o.SplitHTML = true;
  o.UpdateHTML = true;
  for (int f = 0; f < folders; ++f) o.Directories.push_back(Folder(dir, f));
  return s;
}

// One run to its end: its summary and its wall time in seconds.
std::pair<quorvel::RunSummary, double> Run(const quorvel::GallerySettings& settings) {
  quorvel::RunEnvironment env;
  env.imaging.jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  const auto start = Clock::now();
  quorvel::GenerationRun run(settings, env);
  try {
    run.StartRun();
  } catch (const quorvel::Error& e) {
    std::fprintf(stderr, "%s\n", e.what());
    std::exit(1);
  }
  while (run.RunTick()) {
  }
  return {run.summary(), std::chrono::duration<double>(Clock::now() - start).count()};
}

void Report(const char* what, const quorvel::RunSummary& s, double seconds) {
  std::printf("%-34s %8.2f s  %6d images  %6d thumbnails made  %4d pages\n", what, seconds,
              s.images_done, s.thumbnails_made, s.pages_written);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string dir = argc > 1 ? argv[1] : "/tmp/quorvel-update-bench";
  const int folders = argc > 2 ? std::atoi(argv[2]) : 100;
  const int per_folder = argc > 3 ? std::atoi(argv[3]) : 1000;
  if (!quorvel::platform::RegularFileExists(PhotoPath(dir, folders - 1, per_folder - 1))) {
    std::printf("making %d photos in %s/photos\n", folders * per_folder, dir.c_str());
    for (int f = 0; f < folders; ++f) {
      if (quorvel::platform::CreateDirectories(Folder(dir, f)) != 0) return 1;
      for (int i = 0; i < per_folder; ++i) Write(PhotoPath(dir, f, i), Photo(f * per_folder + i));
    }
  }
  const quorvel::GallerySettings settings = Settings(dir, folders);
  const auto [first, first_time] = Run(settings);
  Report("first run (thumbnails as needed)", first, first_time);
  const auto [second, second_time] = Run(settings);
  Report("second run, nothing changed", second, second_time);
  Write(PhotoPath(dir, folders / 2, per_folder / 2), Photo(-1));
  const auto [third, third_time] = Run(settings);
  Report("after one photo was edited", third, third_time);
  const bool ok = second.thumbnails_made == 0 && third.thumbnails_made == 1;
  std::printf("unchanged run under 5 s: %s; only the edited photo remade: %s\n",
              second_time < 5.0 ? "met" : "NOT met", ok ? "yes" : "NO");
  return ok ? 0 : 1;
}
