#include "support/gallery.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <regex>

#include "job/error.h"
#include "job/settings_fields.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

extern char** environ;

namespace quorvel::testing {

namespace fs = std::filesystem;

std::vector<std::string> MakeAwkwardLibrary(const TempDir& tmp) {
  const char* names[] = {
      "photos/Beach.JPG",        "photos/café #1.jpg",        "photos/what?.jpg",
      "photos/a<b.jpg",          "photos/say \"cheese\".jpg", "photos/holiday.2001.jpg",
      "photos/holiday.2002.jpg", "photos/IMG_0001.jpg",       "photos/sub/m.jpg",
      "photos/zebra.jpeg",       "other place/IMG_0001.jpg",  "other place/x y.jpg",
      "elsewhere/far.jpg"};
  int k = 0;
  for (const std::string name : names) {
    TestJpegOptions o{.width = 24 + 9 * k, .height = 18 + 5 * ((k * 3) % 7)};
    o.components = k++ % 5 == 2 ? 1 : 3;
    if (name == "other place/x y.jpg") {  // a phone's: stored turned, with a profile
      o = {.width = 64, .height = 48, .exif = ExifWithOrientation(6), .icc = TestIccProfile(2000)};
    }
    WriteTestJpeg(tmp.write(name, ""), o);
  }
  tmp.mkdir("photos/empty");
  fs::create_directory_symlink(tmp.file("elsewhere"), tmp.file("linked"));
  tmp.write("photos/notes.jpg", "not a photo, only named like one\n");
  tmp.write("bg.png", "background");
  const std::string root = tmp.path();
  return {root + "/photos",      root + "/photos/./", root + "/other place/../photos//",
          root + "/photos/sub/", root + "/linked",    root + "/other place",
          root + "/photos/empty"};
}

void SetFields(GallerySettings& settings, const std::vector<std::string>& sets) {
  for (const std::string& set : sets) {
    SetFieldFromText(settings, set.substr(0, set.find('=')), set.substr(set.find('=') + 1));
  }
}

GallerySettings GalleryInto(const std::string& root, std::vector<std::string> directories) {
  fs::create_directories(root + "/web");
  fs::create_directories(root + "/thumbs");
  GallerySettings settings;
  settings.Output.HTMLDirectory = root + "/web/";
  settings.Output.AllThumbnailsDirectory = root + "/thumbs/";
  settings.Output.Directories = std::move(directories);
  return settings;
}

GalleryResult RunGallery(const GallerySettings& settings, const ImagingOptions& imaging,
                         const std::function<void(int)>& before_tick) {
  RunEnvironment env;
  env.imaging = imaging;
  GenerationRun run(settings, env);
  GalleryResult result;
  try {
    if (run.StartRun() == GenerationRun::Start::NothingToDo) return result;
  } catch (const Error& e) {
    result.error = e.what();
    return result;
  }
  for (int ticks = 0;; ++ticks) {
    if (before_tick) before_tick(ticks);
    if (run.image_index() < run.image_count()) result.images.push_back(run.current_image());
    if (!run.RunTick()) break;
  }
  result.settings = run.settings();
  result.summary = run.summary();
  result.pages = run.pages();
  return result;
}

namespace {

// `link` with each "%XX" replaced by its byte.
std::string PercentDecoded(std::string link) {
  for (std::size_t at = 0; (at = link.find('%', at)) != std::string::npos; ++at) {
    link.replace(at, 3, 1, static_cast<char>(std::stoi(link.substr(at + 1, 2), nullptr, 16)));
  }
  return link;
}

}  // namespace

std::string BrokenLinks(const std::string& root, int* links,
                        const std::function<bool(const std::string&)>& allowed) {
  static const std::regex kLink(R"re((?:href|src|background)="([^"]*)"|srcset="([^" ]*) 2x")re");
  static const std::regex kMisread("^[A-Za-z][A-Za-z0-9+.-]*:|\\\\");
  std::string faults;
  int count = 0;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.path().extension() != ".html") continue;
    const std::string page = ReadFile(entry.path().string());
    if (!page.ends_with("</html>\r\n")) faults += entry.path().string() + ": not complete\n";
    if (std::any_of(page.begin(), page.end(), [](char c) { return c & 0x80; })) {
      faults += entry.path().string() + ": a byte outside ASCII\n";
    }
    for (std::sregex_iterator it(page.begin(), page.end(), kLink), end; it != end; ++it, ++count) {
      const std::string link = (*it)[1].matched ? (*it)[1] : (*it)[2];
      const fs::path target = entry.path().parent_path() / PercentDecoded(link);
      if (!fs::is_regular_file(target) || std::regex_search(link, kMisread) ||
          (allowed && !allowed(fs::canonical(target).string()))) {
        faults += entry.path().string() + ": " + link + "\n";
      }
    }
  }
  if (links != nullptr) *links = count;
  return faults;
}

pid_t Spawn(const std::vector<std::string>& argv, const std::string& output,
            const std::string& cwd) {
  std::vector<char*> pointers;
  for (const std::string& a : argv) pointers.push_back(const_cast<char*>(a.c_str()));
  pointers.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!cwd.empty()) posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = -1;
  const int error = posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, pointers.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return error == 0 ? pid : -1;
}

int WaitFor(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

ProcessResult RunProgram(const std::vector<std::string>& argv, const std::string& cwd) {
  const TempDir tmp;
  const pid_t pid = Spawn(argv, tmp.file("output"), cwd);
  if (pid < 0) return {};
  return {WaitFor(pid), ReadFile(tmp.file("output"))};  // read once the program has ended
}

}  // namespace quorvel::testing
