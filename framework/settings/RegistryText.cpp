#include "settings/RegistryText.h"

#include <glib.h>

#include <algorithm>
#include <cstdio>

namespace {

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return "";
  size_t e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

bool SameKey(const std::string& a, const std::string& b) { return g_ascii_strcasecmp(a.c_str(), b.c_str()) == 0; }

bool IsSectionLine(const std::string& trimmed) {
  return trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']';
}

std::string Quoted(const std::string& name) {
  std::string out = "\"";
  for (char c : name) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

}  // namespace

bool RegistryText::Parse(const std::string& text) {
  m_preamble.clear();
  m_sections.clear();
  m_byteOrderMark.clear();
  if (text.find('\0') != std::string::npos) return false;
  // Editors may start a UTF-8 text with a byte-order mark; it is kept for the rewrite.
  if (text.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0) m_byteOrderMark = kByteOrderMark;
  bool meaningful = false;
  for (size_t pos = m_byteOrderMark.size(); pos < text.size();) {
    // A line ends at LF, CR LF, CR CR LF or a lone CR; the ending is kept with the line.
    size_t stop = text.find_first_of("\r\n", pos);
    Line line;
    if (stop == std::string::npos) {
      line.text = text.substr(pos);
      pos = text.size();
    } else {
      line.text = text.substr(pos, stop - pos);
      size_t length = text.compare(stop, 3, "\r\r\n") == 0 ? 3 : text.compare(stop, 2, "\r\n") == 0 ? 2 : 1;
      line.end = text.substr(stop, length);
      pos = stop + length;
    }
    std::string trimmed = Trim(line.text);
    if (!meaningful && !trimmed.empty()) {
      meaningful = true;
      if (trimmed[0] != ';' && trimmed[0] != '[' && trimmed != "REGEDIT4" &&
          trimmed.rfind("Windows Registry Editor", 0) != 0)
        return false;
    }
    if (IsSectionLine(trimmed))
      m_sections.push_back({trimmed.substr(1, trimmed.size() - 2), std::move(line), {}});
    else if (m_sections.empty())
      m_preamble.push_back(std::move(line));
    else
      m_sections.back().lines.push_back(std::move(line));
  }
  return true;
}

std::string RegistryText::Serialize() const {
  std::string out = m_byteOrderMark;
  for (const Line& line : m_preamble) out += line.text + line.end;
  for (const Section& section : m_sections) {
    out += section.header.text + section.header.end;
    for (const Line& line : section.lines) out += line.text + line.end;
  }
  return out;
}

std::string RegistryText::NewLineEnd() const {
  for (const Line& line : m_preamble)
    if (!line.end.empty()) return line.end;
  for (const Section& section : m_sections) {
    if (!section.header.end.empty()) return section.header.end;
    for (const Line& line : section.lines)
      if (!line.end.empty()) return line.end;
  }
  return "\n";
}

bool RegistryText::IsBelow(const std::string& key, const std::string& parent) {
  return key.size() > parent.size() + 1 && key[parent.size()] == '\\' &&
         g_ascii_strncasecmp(key.c_str(), parent.c_str(), parent.size()) == 0;
}

RegistryText::Section* RegistryText::Find(const std::string& key) {
  auto it = std::find_if(m_sections.begin(), m_sections.end(), [&](const Section& s) { return SameKey(s.key, key); });
  return it == m_sections.end() ? nullptr : &*it;
}

const RegistryText::Section* RegistryText::Find(const std::string& key) const {
  return const_cast<RegistryText*>(this)->Find(key);
}

bool RegistryText::KeyExists(const std::string& key) const { return Find(key) != nullptr || HasSubkeys(key); }

bool RegistryText::HasSubkeys(const std::string& key) const {
  return std::any_of(m_sections.begin(), m_sections.end(), [&](const Section& s) { return IsBelow(s.key, key); });
}

void RegistryText::CreateKey(const std::string& key) {
  if (!KeyExists(key)) Ensure(key);
}

RegistryText::Section& RegistryText::Ensure(const std::string& key) {
  if (Section* section = Find(key)) return *section;
  const std::string end = NewLineEnd();
  // A blank line before each new section, as the export form has it.
  std::vector<Line>& before = m_sections.empty() ? m_preamble : m_sections.back().lines;
  Line* last = before.empty() ? (m_sections.empty() ? nullptr : &m_sections.back().header) : &before.back();
  if (last != nullptr && last->end.empty()) last->end = end;  // a last line without its ending gets one
  if (m_sections.empty() && m_preamble.empty() && !m_header.empty()) before.push_back({m_header, end});
  if (!before.empty() && !Trim(before.back().text).empty()) before.push_back({"", end});
  m_sections.push_back({key, {"[" + key + "]", end}, {}});
  return m_sections.back();
}

bool RegistryText::HasValues(const std::string& key) const {
  const Section* section = Find(key);
  return section != nullptr && std::any_of(section->lines.begin(), section->lines.end(),
                                           [](const Line& line) { return ParseValue(line.text).has_value(); });
}

bool RegistryText::DeleteTree(const std::string& key) {
  size_t before = m_sections.size();
  m_sections.erase(std::remove_if(m_sections.begin(), m_sections.end(),
                                  [&](const Section& s) { return SameKey(s.key, key) || IsBelow(s.key, key); }),
                   m_sections.end());
  return m_sections.size() != before;
}

bool RegistryText::DeleteKey(const std::string& key) {
  if (HasSubkeys(key) || Find(key) == nullptr) return false;
  return DeleteTree(key);
}

std::optional<RegistryText::ValueLine> RegistryText::ParseValue(const std::string& line) {
  std::string t = Trim(line);
  if (t.rfind("@=", 0) == 0) return ValueLine{"", Trim(t.substr(2))};
  if (t.empty() || t[0] != '"') return std::nullopt;
  std::string name;
  for (size_t i = 1; i < t.size(); ++i) {
    if (t[i] == '\\' && i + 1 < t.size()) {
      name += t[++i];
    } else if (t[i] == '"') {
      std::string rest = Trim(t.substr(i + 1));
      if (rest.empty() || rest[0] != '=') return std::nullopt;
      return ValueLine{name, Trim(rest.substr(1))};
    } else {
      name += t[i];
    }
  }
  return std::nullopt;
}

bool RegistryText::HasValue(const std::string& key, const std::string& name) const {
  const Section* section = Find(key);
  if (section == nullptr) return false;
  return std::any_of(section->lines.begin(), section->lines.end(), [&](const Line& line) {
    auto v = ParseValue(line.text);
    return v && SameKey(v->name, name);
  });
}

std::optional<std::uint32_t> RegistryText::GetDword(const std::string& key, const std::string& name) const {
  const Section* section = Find(key);
  if (section == nullptr) return std::nullopt;
  for (const Line& line : section->lines) {
    auto v = ParseValue(line.text);
    if (!v || !SameKey(v->name, name)) continue;
    const std::string& data = v->data;
    if (data.size() < 7 || data.size() > 14 || g_ascii_strncasecmp(data.c_str(), "dword:", 6) != 0) return std::nullopt;
    std::uint32_t value = 0;
    for (char c : data.substr(6)) {
      if (!g_ascii_isxdigit(c)) return std::nullopt;
      value = value * 16 + std::uint32_t(g_ascii_xdigit_value(c));
    }
    return value;
  }
  return std::nullopt;
}

void RegistryText::SetDword(const std::string& key, const std::string& name, std::uint32_t value) {
  Section& section = Ensure(key);
  char data[16];
  std::snprintf(data, sizeof data, "dword:%08x", value);
  std::string text = Quoted(name) + "=" + data;
  for (Line& existing : section.lines) {
    auto v = ParseValue(existing.text);
    if (v && SameKey(v->name, name)) {
      existing.text = text;  // its line ending stays
      return;
    }
  }
  // After the section's last value, ahead of the blank lines that separate it from the next.
  auto pos = section.lines.end();
  while (pos != section.lines.begin() && Trim((pos - 1)->text).empty()) --pos;
  const std::string end = NewLineEnd();
  Line& previous = pos == section.lines.begin() ? section.header : *(pos - 1);
  if (previous.end.empty()) previous.end = end;
  section.lines.insert(pos, {text, end});
}
