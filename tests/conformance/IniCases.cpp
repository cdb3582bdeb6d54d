#include "IniCases.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace norva::conformance {

namespace {

using Kind = IniStep::Kind;

IniStep ReadInt(const char* section, const char* key, int defaultValue, int expect) {
  IniStep s;
  s.kind = Kind::ReadInt;
  s.section = section;
  s.key = key;
  s.defaultInt = defaultValue;
  s.expectInt = expect;
  return s;
}

IniStep ReadString(const char* section, const char* key, const char* defaultValue,
                   const char* expect) {
  IniStep s;
  s.kind = Kind::ReadString;
  s.section = section;
  s.key = key;
  s.value = defaultValue;
  s.expectText = expect;
  return s;
}

IniStep Write(const char* section, const char* key, const char* value, bool success = true) {
  IniStep s;
  s.kind = Kind::Write;
  s.section = section;
  s.key = key;
  s.value = value;
  s.expectSuccess = success;
  return s;
}

IniStep DeleteKey(const char* section, const char* key) { return Write(section, key, nullptr); }
IniStep DeleteSection(const char* section) { return Write(section, nullptr, nullptr); }
// Section, key and value all null: a flush, which always answers FALSE.
IniStep Flush() { return Write(nullptr, nullptr, nullptr, false); }

std::vector<IniCase> BuildCases() {
  const std::optional<std::string> noFile;
  std::vector<IniCase> cases;
  auto add = [&cases](IniCase c) { cases.push_back(std::move(c)); };

  // Reading.
  add({"NamesMatchInAnyCase",
       "[Sec]\r\nKey=v1\r\n[Other]\r\nk=2\r\n",
       {ReadString("SEC", "KEY", "d", "v1"), ReadString("sec", "key", "d", "v1"),
        ReadInt("OTHER", "K", 0, 2)}});
  add({"BlanksAroundNamesAndValuesAreIgnored",
       "  [ Other ]  \r\n  spaced key  =  spaced value  \r\n",
       {ReadString("Other", "spaced key", "d", "spaced value"),
        ReadString("OTHER", "SPACED KEY", "d", "spaced value")}});
  add({"OnlyTheFirstSectionOfANameIsSearched",
       "[A]\r\nx=1\r\n[B]\r\ny=2\r\n[a]\r\nx=3\r\nz=4\r\n",
       {ReadInt("A", "x", 0, 1), ReadString("A", "z", "d", "d"), ReadInt("a", "z", -1, -1)}});
  add({"AKeyLineSplitsAtTheFirstEqualsSign",
       "[S]\r\nk=a=b\r\n",
       {ReadString("S", "k", "d", "a=b")}});
  add({"ASemicolonInAValueIsKept",
       "[S]\r\nn=5 ;x\r\n",
       {ReadString("S", "n", "d", "5 ;x"), ReadInt("S", "n", -1, 5)}});
  add({"AnEmptyValueIsEmptyTextButTheDefaultInteger",
       "[S]\r\nempty=\r\nblank=   \r\nquotes=\"\"\r\n",
       {ReadString("S", "empty", "d", ""), ReadInt("S", "empty", 42, 42),
        ReadString("S", "blank", "d", ""), ReadInt("S", "blank", 42, 42),
        ReadString("S", "quotes", "d", ""), ReadInt("S", "quotes", 42, 42)}});
  add({"IntegersTakeTheLeadingDecimalNumber",
       "[S]\r\na=abc\r\nb=12abc\r\nc= 7\r\nd=-5\r\ne=+8\r\nf=-\r\ng=1.9\r\nh=007\r\ni=\"12\"\r\n",
       {ReadInt("S", "a", 9, 0), ReadInt("S", "b", 9, 12), ReadInt("S", "c", 9, 7),
        ReadInt("S", "d", 9, -5), ReadInt("S", "e", 9, 8), ReadInt("S", "f", 9, 0),
        ReadInt("S", "g", 9, 1), ReadInt("S", "h", 9, 7), ReadInt("S", "i", 9, 12),
        ReadInt("S", "missing", 9, 9)}});
  add({"OnePairOfMatchingQuotesIsStripped",
       "[S]\r\na=\"x\"\r\nb='y'\r\nc=\"z\r\nd=\"q'\r\ne=\" spaced \"\r\nf=a\"b\"\r\ng=\"\r\n",
       {ReadString("S", "a", "d", "x"), ReadString("S", "b", "d", "y"),
        ReadString("S", "c", "d", "\"z"), ReadString("S", "d", "d", "\"q'"),
        ReadString("S", "e", "d", " spaced "), ReadString("S", "f", "d", "a\"b\""),
        ReadString("S", "g", "d", "\"")}});
  add({"AMissingKeyGivesTheDefaultWithoutTrailingBlanks",
       "[S]\r\nk=v\r\n",
       {ReadString("S", "missing", "def", "def"), ReadString("S", "missing", "def  ", "def"),
        ReadString("Nope", "k", "d", "d"), ReadInt("S", "missing", -7, -7),
        ReadString("S", "missing", nullptr, "")}});
  add({"ALineWithoutEqualsSignHoldsNoKey",
       "[S]\r\nnoequals\r\n",
       {ReadString("S", "noequals", "d", "d"), ReadInt("S", "noequals", 42, 42)}});
  add({"AMissingFileReadsAsDefaults",
       noFile,
       {ReadInt("S", "k", 5, 5), ReadString("S", "k", "dd", "dd")},
       FileCheck::Missing});

  // Writing.
  add({"WritingReplacesTheValueInPlace",
       "; header\r\n[A]\r\nx=1\r\nY=2\r\nother line\r\n[B]\r\nk=v\r\n",
       {Write("a", "y", "new"), ReadString("A", "Y", "d", "new")},
       FileCheck::Exact,
       "; header\r\n[A]\r\nx=1\r\nY=new\r\nother line\r\n[B]\r\nk=v\r\n"});
  add({"ANewKeyGoesToTheEndOfItsSection",
       "[A]\r\nx=1\r\n[B]\r\ny=2\r\n",
       {Write("A", "new", "v"), ReadString("A", "new", "d", "v")},
       FileCheck::Exact,
       "[A]\r\nx=1\r\nnew=v\r\n[B]\r\ny=2\r\n"});
  add({"ANewKeyFollowsTheSectionsOtherLines",
       "[A]\r\nx=1\r\n;tail comment\r\nunknown line\r\n[B]\r\ny=2\r\n",
       {Write("A", "new", "v")},
       FileCheck::Exact,
       "[A]\r\nx=1\r\n;tail comment\r\nunknown line\r\nnew=v\r\n[B]\r\ny=2\r\n"});
  add({"ANewKeyStaysAboveTheBlankLinesBeforeTheNextSection",
       "[A]\r\nx=1\r\n\r\ny=2\r\n\r\n\r\n[B]\r\nb=1\r\n",
       {Write("A", "z", "3")},
       FileCheck::IgnoringBlankLines,
       "[A]\r\nx=1\r\ny=2\r\nz=3\r\n[B]\r\nb=1\r\n"});
  add({"ANewKeyInAnEmptySection",
       "[S]\r\n[T]\r\nk=1\r\n",
       {Write("S", "a", "1")},
       FileCheck::Exact,
       "[S]\r\na=1\r\n[T]\r\nk=1\r\n"});
  add({"ANewSectionGoesToTheEndOfTheFile",
       "[A]\r\nx=1\r\n",
       {Write("B", "k", "v"), ReadString("B", "k", "d", "v")},
       FileCheck::Exact,
       "[A]\r\nx=1\r\n[B]\r\nk=v\r\n"});
  add({"ANewSectionAfterALastLineWithoutLineEnd",
       "[A]\r\nx=1",
       {Write("B", "k", "v")},
       FileCheck::Exact,
       "[A]\r\nx=1\r\n[B]\r\nk=v\r\n"});
  add({"ANewKeyToARepeatedSectionGoesToTheFirst",
       "[A]\r\nx=1\r\n[B]\r\ny=2\r\n[a]\r\nx=3\r\nz=4\r\n",
       {Write("A", "z", "new"), ReadString("A", "z", "d", "new")},
       FileCheck::Exact,
       "[A]\r\nx=1\r\nz=new\r\n[B]\r\ny=2\r\n[a]\r\nx=3\r\nz=4\r\n"});
  add({"TextOutsideSectionsIsKept",
       "top=1\r\n[S]\r\nk=v\r\n",
       {Write("S", "k2", "v2"), ReadString("S", "top", "d", "d")},
       FileCheck::Exact,
       "top=1\r\n[S]\r\nk=v\r\nk2=v2\r\n"});
  add({"TheFirstWriteCreatesTheFileInWriteOrder",
       noFile,
       {Write("SYSTEM", "XPos", "10"), Write("SYSTEM", "YPos", "20"),
        Write("DEFAULT", "StayOnTop", "1"), Write("SYSTEM", "Small", "0"),
        Write("COLOR", "NormalString", "clWindowText"), Write("DEFAULT", "Memory", "50")},
       FileCheck::Exact,
       "[SYSTEM]\r\nXPos=10\r\nYPos=20\r\nSmall=0\r\n[DEFAULT]\r\nStayOnTop=1\r\nMemory=50\r\n"
       "[COLOR]\r\nNormalString=clWindowText\r\n"});
  add({"WrittenValuesReadBackTrimmedAndUnquoted",
       "[S]\r\n",
       {Write("S", "a", " padded "), Write("S", "b", "\"q\""), ReadString("S", "a", "d", "padded"),
        ReadString("S", "b", "d", "q")}});
  add({"SettingsValuesRoundTrip",
       noFile,
       {Write("DEFAULT", "CleanSpeed", "-1"), Write("COLOR", "NormalBkgnd", "$000080FF"),
        Write("DEFAULT", "WavFileName", "C:\\My Sounds\\alarm.wav"),
        Write("DEFAULT", "BmpFileName", ""), ReadInt("DEFAULT", "CleanSpeed", 0, -1),
        ReadString("COLOR", "NormalBkgnd", "clBtnFace", "$000080FF"),
        ReadString("DEFAULT", "WavFileName", "", "C:\\My Sounds\\alarm.wav"),
        ReadString("DEFAULT", "BmpFileName", "x", ""), ReadInt("DEFAULT", "BmpFileName", 3, 3)},
       FileCheck::Exact,
       "[DEFAULT]\r\nCleanSpeed=-1\r\nWavFileName=C:\\My Sounds\\alarm.wav\r\nBmpFileName=\r\n"
       "[COLOR]\r\nNormalBkgnd=$000080FF\r\n"});

  // Deleting and flushing.
  add({"ANullValueDeletesTheKey",
       "[A]\r\nx=1\r\ny=2\r\n[B]\r\nk=v\r\n",
       {DeleteKey("A", "X"), ReadString("A", "x", "d", "d")},
       FileCheck::Exact,
       "[A]\r\ny=2\r\n[B]\r\nk=v\r\n"});
  add({"ANullKeyDeletesTheWholeSection",
       "[A]\r\nx=1\r\n[B]\r\nk=v\r\n;comment in B\r\n[C]\r\nc=3\r\n",
       {DeleteSection("b"), ReadString("B", "k", "d", "d")},
       FileCheck::Exact,
       "[A]\r\nx=1\r\n[C]\r\nc=3\r\n"});
  add({"DeletingARepeatedSectionRemovesTheFirstOnly",
       "[A]\r\nx=1\r\n[B]\r\ny=2\r\n[A]\r\nz=3\r\n",
       {DeleteSection("a"), ReadString("A", "z", "d", "3")},
       FileCheck::Exact,
       "[B]\r\ny=2\r\n[A]\r\nz=3\r\n"});
  add({"ARepeatedKeyIsReadWrittenAndDeletedFirst",
       "[A]\r\nk=1\r\nk=2\r\n",
       {ReadString("A", "k", "d", "1"), Write("A", "k", "3"), ReadString("A", "k", "d", "3"),
        DeleteKey("A", "k"), ReadString("A", "k", "d", "2")},
       FileCheck::Exact,
       "[A]\r\nk=2\r\n"});
  add({"DeletingWhatIsNotThereChangesNothing",
       "[A]\r\nx=1\r\n[C]\r\nc=3\r\n",
       {DeleteKey("A", "missing"), DeleteKey("Nope", "missing"), DeleteSection("Nope")},
       FileCheck::Exact,
       "[A]\r\nx=1\r\n[C]\r\nc=3\r\n"});
  add({"DeletingFromAMissingFileCreatesNothing",
       noFile,
       {DeleteKey("S", "k"), DeleteSection("S")},
       FileCheck::Missing});
  add({"AFlushAnswersFalseAndChangesNothing",
       "[A]\r\nx=1\r\n",
       {Flush(), ReadInt("A", "x", 0, 1)},
       FileCheck::Exact,
       "[A]\r\nx=1\r\n"});
  return cases;
}

std::string Show(const char* s) { return s != nullptr ? "\"" + std::string(s) + "\"" : "null"; }

std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\r')
      out += "\\r";
    else if (c == '\n')
      out += "\\n";
    else
      out += c;
  }
  return out;
}

std::string WithoutBlankLines(const std::string& text) {
  std::string out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find_first_not_of(" \t") != std::string::npos) out += line + "\n";
  }
  return out;
}

std::string RunStep(const IniStep& s, platform::IProfile& profile, const std::string& path) {
  std::ostringstream m;
  switch (s.kind) {
    case Kind::ReadInt: {
      const int got = profile.GetPrivateProfileIntA(s.section, s.key, s.defaultInt, path);
      if (got != s.expectInt)
        m << "GetPrivateProfileIntA(" << Show(s.section) << ", " << Show(s.key) << ", "
          << s.defaultInt << ") gave " << got << ", expected " << s.expectInt;
      break;
    }
    case Kind::ReadString: {
      const std::string got = profile.GetPrivateProfileStringA(s.section, s.key, s.value, path);
      if (got != s.expectText)
        m << "GetPrivateProfileStringA(" << Show(s.section) << ", " << Show(s.key) << ", "
          << Show(s.value) << ") gave \"" << got << "\", expected \"" << s.expectText << "\"";
      break;
    }
    case Kind::Write: {
      const bool got = profile.WritePrivateProfileStringA(s.section, s.key, s.value, path) != 0;
      if (got != s.expectSuccess)
        m << "WritePrivateProfileStringA(" << Show(s.section) << ", " << Show(s.key) << ", "
          << Show(s.value) << ") gave " << (got ? "TRUE" : "FALSE") << ", expected "
          << (s.expectSuccess ? "TRUE" : "FALSE");
      break;
    }
  }
  return m.str();
}

}  // namespace

const std::vector<IniCase>& IniCases() {
  static const std::vector<IniCase> cases = BuildCases();
  return cases;
}

void StreamFileAccess::Put(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

void StreamFileAccess::Remove(const std::string& path) { std::remove(path.c_str()); }

std::optional<std::string> StreamFileAccess::Get(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string IniCasePath(const IniCase& c, const std::string& directory) {
  std::string path = directory;
  if (!path.empty() && path.back() != '\\' && path.back() != '/')
    path += path.find('\\') != std::string::npos ? '\\' : '/';
  return path + "ini_" + c.name + ".ini";
}

std::vector<std::string> CheckIniCase(const IniCase& c, platform::IProfile& profile,
                                      IniFileAccess& files, const std::string& directory) {
  const std::string path = IniCasePath(c, directory);
  files.Remove(path);
  if (c.before) files.Put(path, *c.before);

  std::vector<std::string> failures;
  for (size_t i = 0; i < c.steps.size(); ++i) {
    const std::string failure = RunStep(c.steps[i], profile, path);
    if (!failure.empty()) failures.push_back("step " + std::to_string(i + 1) + ": " + failure);
  }

  const std::optional<std::string> text = files.Get(path);
  switch (c.check) {
    case FileCheck::None:
      break;
    case FileCheck::Missing:
      if (text) failures.push_back("the file exists: \"" + Escape(*text) + "\"");
      break;
    case FileCheck::Exact:
      if (!text)
        failures.push_back("the file is missing");
      else if (*text != c.after)
        failures.push_back("the file is \"" + Escape(*text) + "\", expected \"" + Escape(c.after) +
                           "\"");
      break;
    case FileCheck::IgnoringBlankLines:
      if (!text)
        failures.push_back("the file is missing");
      else if (WithoutBlankLines(*text) != WithoutBlankLines(c.after))
        failures.push_back("the file is \"" + Escape(*text) +
                           "\", expected (blank lines aside) \"" + Escape(c.after) + "\"");
      break;
  }
  files.Remove(path);
  return failures;
}

int RunIniCases(platform::IProfile& profile, IniFileAccess& files, const std::string& directory,
                std::ostream& report) {
  int passed = 0, failed = 0;
  for (const IniCase& c : IniCases()) {
    const std::vector<std::string> failures = CheckIniCase(c, profile, files, directory);
    if (failures.empty()) {
      ++passed;
      continue;
    }
    ++failed;
    report << "FAIL " << c.name << ":";
    for (const std::string& f : failures) report << " [" << f << "]";
    report << "\n";
  }
  report << passed << " passed, " << failed << " failed\n";
  return failed;
}

}  // namespace norva::conformance
