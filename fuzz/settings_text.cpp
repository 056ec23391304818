// The settings text: what parses comes back byte for byte, and a value the program sets changes
// nothing else and reads back.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/RegistryText.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

const std::string kKey = "HKEY_CURRENT_USER\\Software\\Fuzz\\Settings";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  RegistryText text;
  if (!text.Parse(input)) return 0;
  Check(text.Serialize() == input);

  // The program's own key: set twice, read back, and every line that was there before survives.
  const bool existed = text.KeyExists(kKey);
  text.SetDword(kKey, "PreviewPages", 7);
  text.SetDword(kKey, "PreviewPages", 8);
  Check(text.GetDword(kKey, "PreviewPages") == 8u);
  const std::string written = text.Serialize();
  RegistryText again;
  Check(again.Parse(written));
  Check(again.Serialize() == written);
  Check(again.GetDword(kKey, "PreviewPages") == 8u);
  if (!existed) {
    // A new key goes after everything; only a last line without its ending gets one.
    std::string kept = written.substr(0, input.size());
    Check(kept == input);
  }

  // Deleting keys never breaks the text either.
  again.DeleteTree("HKEY_CURRENT_USER\\Software\\Fuzz");
  std::string after = again.Serialize();
  RegistryText third;
  Check(third.Parse(after) || after.empty());
  Check(!third.KeyExists(kKey));
  return 0;
}
