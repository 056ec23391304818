// Times the generated page of a folder (the start page's lookup: listing, sorting, escaping) and prints the
// page's size: folder-page-bench FOLDER [RUNS].
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "content/StartPage.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: folder-page-bench FOLDER [RUNS]\n");
    return 2;
  }
  const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
  double best = 1e9;
  std::size_t bytes = 0;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const FolderPage page = StartPage().Find(argv[1], 0);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    if (took.count() < best) best = took.count();
    bytes = page.html.size();
  }
  std::printf("page generation: %.1f ms (best of %d), %zu bytes of HTML\n", best, runs, bytes);
  return 0;
}
