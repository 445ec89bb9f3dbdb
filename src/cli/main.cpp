// quorvel-batch: the gallery run without a window.
#include <cstdio>

int main(int argc, char** argv) {
  (void)argv;
  if (argc < 2) {
    std::fputs("usage: quorvel-batch [options] DIR...\n", stderr);
    return 2;
  }
  return 0;
}
