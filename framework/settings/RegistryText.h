// The settings store's text: registry keys as "[HKEY_...\Key\Path]" sections holding
// "Name"=dword:0000000N values, in the registry-export form people know. Every line is kept as it
// was read, line ending and padding included, so rewriting the text changes only the lines the
// program set and never loses what somebody put there.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class RegistryText {
 public:
  // header: the comment line a new text starts with ("" for none).
  explicit RegistryText(std::string header = "") : m_header(std::move(header)) {}
  // The lines of text; false when it is not a settings text at all (binary data, or a first
  // meaningful line that is neither a comment nor a section), which must then be left alone.
  bool Parse(const std::string& text);
  std::string Serialize() const;

  bool KeyExists(const std::string& key) const;
  bool HasSubkeys(const std::string& key) const;
  // True when the key's own section holds at least one value.
  bool HasValues(const std::string& key) const;
  // Creates the key (parents exist implicitly).
  void CreateKey(const std::string& key);
  // Removes the key and everything below it; false when it did not exist.
  bool DeleteTree(const std::string& key);
  // Removes the key with its values when it has no subkeys; false when it is absent or has subkeys.
  bool DeleteKey(const std::string& key);

  // The value when it is stored as a 32-bit integer; nullopt when absent or of another type.
  std::optional<std::uint32_t> GetDword(const std::string& key, const std::string& name) const;
  bool HasValue(const std::string& key, const std::string& name) const;
  // Sets the value, creating its key (and its section, where the key existed only through its
  // subkeys) when missing.
  void SetDword(const std::string& key, const std::string& name, std::uint32_t value);

 private:
  std::string m_header;
  struct Line {
    std::string text;  // without its line ending
    std::string end;   // "\n", "\r\n", "\r\r\n", "\r", or "" for a last line without one
  };
  struct Section {
    std::string key;
    Line header;
    std::vector<Line> lines;  // value lines and anything else, as written
  };
  Section* Find(const std::string& key);
  const Section* Find(const std::string& key) const;
  Section& Ensure(const std::string& key);
  // The line ending new lines get: the text's own first one, "\n" for a text without any.
  std::string NewLineEnd() const;
  static bool IsBelow(const std::string& key, const std::string& parent);
  struct ValueLine {
    std::string name;  // "" for the default value
    std::string data;  // what follows "=", e.g. dword:00000002
  };
  static std::optional<ValueLine> ParseValue(const std::string& line);

  static inline const std::string kByteOrderMark = "\xEF\xBB\xBF";
  std::string m_byteOrderMark;  // the text's own, or ""
  std::vector<Line> m_preamble;
  std::vector<Section> m_sections;
};
