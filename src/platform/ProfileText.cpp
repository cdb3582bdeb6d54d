#include "platform/ProfileText.h"

#include <cstdint>

#include "platform/Text.h"

namespace norva::platform {

namespace {

using text::ToLowerAscii;
using text::Trim;

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// "[name]" with blanks allowed around the name and after the bracket; the
// name runs to the last closing bracket. A line without one is no header.
std::optional<std::string> SectionOf(const std::string& line) {
  const std::string t = Trim(line);
  if (t.empty() || t.front() != '[') return std::nullopt;
  const size_t close = t.rfind(']');
  if (close == std::string::npos || close == 0) return std::nullopt;
  return Trim(t.substr(1, close - 1));
}

// "key=value": the line splits at its first equals sign and both halves are
// trimmed. A line without one holds no key (comments and unknown lines).
std::optional<std::pair<std::string, std::string>> KeyOf(const std::string& line) {
  if (SectionOf(line)) return std::nullopt;
  const size_t eq = line.find('=');
  if (eq == std::string::npos) return std::nullopt;
  return std::make_pair(Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)));
}

bool SameName(const std::string& a, const std::string& b) {
  return ToLowerAscii(Trim(a)) == ToLowerAscii(Trim(b));
}

// Lines [header + 1, end) belong to the section whose header is at header.
struct Section {
  size_t header;
  size_t end;
};

// Only the first section of a name counts; later ones of the same name are
// never searched.
std::optional<Section> FindSection(const std::vector<std::string>& lines, const std::string& name) {
  for (size_t i = 0; i < lines.size(); ++i) {
    const auto s = SectionOf(lines[i]);
    if (!s || !SameName(*s, name)) continue;
    size_t end = i + 1;
    while (end < lines.size() && !SectionOf(lines[end])) ++end;
    return Section{i, end};
  }
  return std::nullopt;
}

std::optional<size_t> FindKey(const std::vector<std::string>& lines, Section section,
                              const std::string& key) {
  for (size_t i = section.header + 1; i < section.end; ++i) {
    const auto k = KeyOf(lines[i]);
    if (k && SameName(k->first, key)) return i;
  }
  return std::nullopt;
}

// One pair of matching quotes (double or single) around a value is removed.
std::string StripQuotes(const std::string& value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

std::string TrimRight(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.pop_back();
  return s;
}

// The leading decimal number with an optional sign, after leading blanks;
// digits beyond the 32-bit range wrap around as they do on Windows.
int LeadingInteger(const std::string& s) {
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  uint32_t value = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
    value = value * 10u + static_cast<uint32_t>(s[i] - '0');
  if (negative) value = 0u - value;
  return static_cast<int>(value);
}

}  // namespace

ProfileText::ProfileText(std::optional<std::string> text) : FText(std::move(text)) {}

std::optional<std::string> ProfileText::Lookup(const char* section, const char* key) const {
  if (!FText || section == nullptr || key == nullptr) return std::nullopt;
  const std::vector<std::string> lines = SplitLines(*FText);
  const auto s = FindSection(lines, section);
  if (!s) return std::nullopt;
  const auto k = FindKey(lines, *s, key);
  if (!k) return std::nullopt;
  return KeyOf(lines[*k])->second;
}

int ProfileText::ReadInt(const char* section, const char* key, int defaultValue) const {
  const auto value = Lookup(section, key);
  if (!value) return defaultValue;
  const std::string v = StripQuotes(*value);
  if (v.empty()) return defaultValue;
  return LeadingInteger(v);
}

std::string ProfileText::ReadString(const char* section, const char* key,
                                    const char* defaultValue) const {
  if (const auto value = Lookup(section, key)) return StripQuotes(*value);
  // Windows removes trailing blanks from the default.
  return defaultValue != nullptr ? TrimRight(defaultValue) : std::string();
}

void ProfileText::Write(const char* section, const char* key, const char* value) {
  if (section == nullptr) return;
  std::vector<std::string> lines = FText ? SplitLines(*FText) : std::vector<std::string>{};
  const std::vector<std::string> before = lines;
  const auto s = FindSection(lines, section);
  if (key == nullptr) {
    if (s)
      lines.erase(lines.begin() + static_cast<long>(s->header),
                  lines.begin() + static_cast<long>(s->end));
  } else if (value == nullptr) {
    if (s)
      if (const auto k = FindKey(lines, *s, key))
        lines.erase(lines.begin() + static_cast<long>(*k));
  } else if (!s) {
    lines.push_back("[" + Trim(section) + "]");
    lines.push_back(Trim(key) + "=" + value);
  } else if (const auto k = FindKey(lines, *s, key)) {
    // The key keeps its spelling in the file; only the value changes.
    lines[*k] = KeyOf(lines[*k])->first + "=" + value;
  } else {
    // A new key follows the section's last non-blank line, so blank lines
    // that separate it from the next section stay after it.
    size_t last = s->end;
    while (last > s->header + 1 && Trim(lines[last - 1]).empty()) --last;
    lines.insert(lines.begin() + static_cast<long>(last), Trim(key) + "=" + value);
  }

  // Deleting from a missing file creates nothing.
  if (!FText && (key == nullptr || value == nullptr)) return;
  if (FText && lines == before) return;
  FText = JoinLines(lines);
  FChanged = true;
}

std::vector<std::string> ProfileText::SectionsInOrder() const {
  std::vector<std::string> names;
  for (const std::string& line : SplitLines(Text()))
    if (const auto s = SectionOf(line)) names.push_back(*s);
  return names;
}

std::vector<std::string> ProfileText::KeysInOrder(const std::string& section) const {
  std::vector<std::string> keys;
  const std::vector<std::string> lines = SplitLines(Text());
  if (const auto s = FindSection(lines, section))
    for (size_t i = s->header + 1; i < s->end; ++i)
      if (const auto k = KeyOf(lines[i])) keys.push_back(k->first);
  return keys;
}

}  // namespace norva::platform
