// A page's searchable text from any bytes: no crash, every text valid UTF-8, every section with
// a heading or text, the text within its bound.
#include <glib.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "content/search/PageText.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool Valid(const std::string& text) { return g_utf8_validate(text.data(), gssize(text.size()), nullptr); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool ready = (PageText::InitParser(), true);
  Check(ready);
  const PageText page = PageText::FromBytes(std::string(reinterpret_cast<const char*>(data), size));
  Check(Valid(page.title));
  std::size_t total = 0;
  for (const PageSection& section : page.sections) {
    Check(Valid(section.heading) && Valid(section.anchor));
    for (const std::string& block : section.blocks) {
      Check(Valid(block) && !block.empty());
      total += block.size();
    }
  }
  Check(total <= PageText::kMaxText + 64 * 1024);
  return 0;
}
