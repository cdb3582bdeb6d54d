#include "platform/fake/FakeProfile.h"

#include <cstdint>

#include "platform/Text.h"

namespace norva::platform::fake {

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

std::optional<std::string> Opt(const char* s) {
  return s != nullptr ? std::optional<std::string>(s) : std::nullopt;
}

}  // namespace

const FakeProfile::File* FakeProfile::Find(const std::string& path) const {
  auto it = FFiles.find(ToLowerAscii(path));
  return it != FFiles.end() ? &it->second : nullptr;
}

FakeProfile::File* FakeProfile::Find(const std::string& path) {
  auto it = FFiles.find(ToLowerAscii(path));
  return it != FFiles.end() ? &it->second : nullptr;
}

std::optional<std::string> FakeProfile::Lookup(const char* section, const char* key,
                                               const std::string& path) const {
  const File* file = Find(path);
  if (file == nullptr || file->unreadable || section == nullptr || key == nullptr)
    return std::nullopt;
  // Parsing per call keeps the text the single source of truth.
  const std::vector<std::string> lines = SplitLines(file->text);
  const auto s = FindSection(lines, section);
  if (!s) return std::nullopt;
  const auto k = FindKey(lines, *s, key);
  if (!k) return std::nullopt;
  return KeyOf(lines[*k])->second;
}

int FakeProfile::GetPrivateProfileIntA(const char* section, const char* key, int defaultValue,
                                       const std::string& path) {
  ++ReadCount;
  const auto value = Lookup(section, key, path);
  if (!value) return defaultValue;
  const std::string v = StripQuotes(*value);
  if (v.empty()) return defaultValue;
  return LeadingInteger(v);
}

std::string FakeProfile::GetPrivateProfileStringA(const char* section, const char* key,
                                                  const char* defaultValue,
                                                  const std::string& path) {
  ++ReadCount;
  if (const auto value = Lookup(section, key, path)) return StripQuotes(*value);
  // Windows removes trailing blanks from the default.
  return defaultValue != nullptr ? TrimRight(defaultValue) : std::string();
}

BOOL FakeProfile::WritePrivateProfileStringA(const char* section, const char* key,
                                             const char* value, const std::string& path) {
  const BOOL result = Write(section, key, value, path);
  Writes.push_back(ProfileWrite{Opt(section), Opt(key), Opt(value), path, result});
  return result;
}

BOOL FakeProfile::Write(const char* section, const char* key, const char* value,
                        const std::string& path) {
  // All three null asks for a flush, which Windows answers with FALSE.
  if (section == nullptr) return 0;
  File* file = Find(path);
  if (file != nullptr && (file->readOnly || file->unreadable)) return 0;

  std::vector<std::string> lines =
      file != nullptr ? SplitLines(file->text) : std::vector<std::string>{};
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

  if (file == nullptr) {
    // Deleting from a missing file creates nothing.
    if (key == nullptr || value == nullptr) return 1;
    file = &FFiles[ToLowerAscii(path)];
  }
  if (lines != before) file->text = JoinLines(lines);
  return 1;
}

bool FakeProfile::Exists(const std::string& path) const { return Find(path) != nullptr; }

std::string FakeProfile::FileText(const std::string& path) const {
  const File* file = Find(path);
  return file != nullptr ? file->text : std::string();
}

void FakeProfile::SetFileText(const std::string& path, const std::string& text) {
  FFiles[ToLowerAscii(path)].text = text;
}

void FakeProfile::RemoveFile(const std::string& path) { FFiles.erase(ToLowerAscii(path)); }

void FakeProfile::SetUnreadable(const std::string& path, bool unreadable) {
  FFiles[ToLowerAscii(path)].unreadable = unreadable;
}

void FakeProfile::SetReadOnly(const std::string& path, bool readOnly) {
  FFiles[ToLowerAscii(path)].readOnly = readOnly;
}

std::vector<std::string> FakeProfile::SectionsInOrder(const std::string& path) const {
  std::vector<std::string> names;
  if (const File* file = Find(path))
    for (const std::string& line : SplitLines(file->text))
      if (const auto s = SectionOf(line)) names.push_back(*s);
  return names;
}

std::vector<std::string> FakeProfile::KeysInOrder(const std::string& path,
                                                  const std::string& section) const {
  std::vector<std::string> keys;
  const File* file = Find(path);
  if (file == nullptr) return keys;
  const std::vector<std::string> lines = SplitLines(file->text);
  if (const auto s = FindSection(lines, section))
    for (size_t i = s->header + 1; i < s->end; ++i)
      if (const auto k = KeyOf(lines[i])) keys.push_back(k->first);
  return keys;
}

}  // namespace norva::platform::fake
