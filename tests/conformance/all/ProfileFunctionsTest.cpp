// The profile functions, the same cases against ours (linux, sim) and Windows' own (win32 under
// Wine): what a read returns and, byte for byte, what a write leaves in the file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "conformance/UnderWine.h"
#include "platform/profile.h"

using namespace plat;
namespace fs = std::filesystem;

namespace {

// Line end of a file the profile functions create: Windows' own, or the system's on linux.
#ifdef _WIN32
const std::string NL = "\r\n";
#else
const std::string NL = "\n";
#endif

// Wine, unlike Windows, writes the whole file anew from what it parsed: CR LF line ends
// throughout, a line end after the last line, and no blank lines. Everything else agrees.
std::string AsWineRewritesIt(const std::string& text) {
  std::string out;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t br = text.find_first_of("\r\n", pos);
    std::string line = text.substr(pos, br == std::string::npos ? std::string::npos : br - pos);
    if (line.find_first_not_of(" \t") != std::string::npos) out += line + "\r\n";
    if (br == std::string::npos) break;
    pos = br + (text.compare(br, 2, "\r\n") == 0 ? 2 : 1);
  }
  return out;
}

class ProfileFunctions : public testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    folder = fs::temp_directory_path() / ("tavelin-profile-" + std::to_string(random()));
    fs::create_directories(folder);
    file = (folder / "anna").string();
  }
  void TearDown() override { fs::remove_all(folder); }

  void Put(const std::string& bytes) const { std::ofstream(file, std::ios::binary) << bytes; }
  std::string Contents() const {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // What the file must hold after a write that kept every other line as it was.
  static std::string Kept(const std::string& text) { return UnderWine() ? AsWineRewritesIt(text) : text; }

  std::string Get(const char* section, const char* key, const char* fallback = "(default)", DWORD size = 256) const {
    std::vector<char> buffer(size + 1, '#');
    DWORD n = GetPrivateProfileStringA(section, key, fallback, buffer.data(), size, file.c_str());
    EXPECT_EQ(buffer[n], '\0');
    return std::string(buffer.data(), n);
  }
  bool Write(const char* section, const char* key, const char* value) const {
    return WritePrivateProfileStringA(section, key, value, file.c_str()) != 0;
  }

  fs::path folder;
  std::string file;
};

TEST_F(ProfileFunctions, ReadsNamesWithoutRegardToCaseAndValuesTrimmedAndUnquoted) {
  for (const std::string nl : {"\n", "\r\n", "\r"}) {
    SCOPED_TRACE(nl == "\n" ? "LF" : nl == "\r" ? "CR" : "CRLF");
    Put("top=0" + nl + "[Main]" + nl + "resolution=3" + nl + "  Glebia  =\t32 \x1a" + nl + "autorun=\"1\"" + nl +
        "name='anna'" + nl + "half=\"open" + nl + "mixed=\"x'" + nl + "inner=\"a\"b\"" + nl + "empty=" + nl +
        "expr=a=b" + nl + ";note=c" + nl + "bare" + nl + "[broken" + nl + "after=1" + nl + "[ other ]" + nl +
        "resolution=9" + nl + "[x]y]" + nl + "k=2");
    EXPECT_EQ(Get("MAIN", "RESOLUTION"), "3");
    EXPECT_EQ(Get(" main ", " glebia "), "32");
    EXPECT_EQ(Get("Main", "autorun"), "1");
    EXPECT_EQ(Get("Main", "name"), "anna");
    EXPECT_EQ(Get("Main", "half"), "\"open");
    EXPECT_EQ(Get("Main", "mixed"), "\"x'");
    EXPECT_EQ(Get("Main", "inner"), "a\"b");
    EXPECT_EQ(Get("Main", "empty"), "");
    EXPECT_EQ(Get("Main", "expr"), "a=b");
    EXPECT_EQ(Get("Main", ";note"), "c") << "a comment is a key nobody asks for";
    EXPECT_EQ(Get("Main", "bare"), "(default)") << "a line without = is no key";
    EXPECT_EQ(Get("Main", "after"), "1") << "a [ without ] is no header";
    EXPECT_EQ(Get("Main", "missing"), "(default)");
    EXPECT_EQ(Get("Other", "resolution"), "9");
    EXPECT_EQ(Get("x]y", "k"), "2") << "a header's name runs to its last ]";
    EXPECT_EQ(Get("", "top"), "0") << "lines before the first header form a nameless section";
    EXPECT_EQ(Get("Absent", "resolution"), "(default)");
  }
}

TEST_F(ProfileFunctions, DefaultsAndShortBuffers) {
  EXPECT_EQ(Get("Main", "resolution", "2"), "2") << "no file";
  EXPECT_EQ(Get("Main", "resolution", nullptr), "");
  EXPECT_EQ(Get("Main", "resolution", "x  "), "x") << "a default loses its trailing blanks";
  EXPECT_FALSE(fs::exists(file)) << "reading never creates the file";

  Put("[Main]\nglebia=abcdefghij\nquoted=\"abcdef\"\n");
  EXPECT_EQ(Get("Main", "glebia", "", 5), "abcd");
  EXPECT_EQ(Get("Main", "glebia", "", 11), "abcdefghij");
  EXPECT_EQ(Get("Main", "missing", "0123456789", 4), "012");
  EXPECT_EQ(Get("Main", "quoted", "", 4), "abc");
  // Windows removes the quotes and then fits the text to the buffer; Wine cuts the quoted text
  // first, so a value that just fits loses its last character.
  EXPECT_EQ(Get("Main", "quoted", "", 7), UnderWine() ? "abcde" : "abcdef");
}

TEST_F(ProfileFunctions, CreatesAFileInAnExistingFolderWithKeysInTheOrderWritten) {
  ASSERT_TRUE(Write("Main", "resolution", "3"));
  ASSERT_TRUE(Write("Main", "autorun", "1"));
  ASSERT_TRUE(Write("Main", "autoclose", "0"));
  ASSERT_TRUE(Write("Main", "glebia", "32"));
  ASSERT_TRUE(Write("Main", "skonfigurowany", "1"));
  EXPECT_EQ(Contents(), "[Main]" + NL + "resolution=3" + NL + "autorun=1" + NL + "autoclose=0" + NL + "glebia=32" +
                            NL + "skonfigurowany=1" + NL);
  EXPECT_EQ(Get("Main", "glebia"), "32");

  const std::string nowhere = (folder / "missing" / "anna").string();
  EXPECT_EQ(WritePrivateProfileStringA("Main", "resolution", "3", nowhere.c_str()), 0);
  EXPECT_FALSE(fs::exists(folder / "missing")) << "the folder is not created";
  EXPECT_EQ(WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str()), 0) << "a cache flush reports zero";
}

TEST_F(ProfileFunctions, WritesReplaceInPlaceAndLeaveEveryOtherLineAsItWas) {
  for (const std::string nl : {"\n", "\r\n"}) {
    SCOPED_TRACE(nl == "\n" ? "LF" : "CRLF");
    const std::string head = "; settings of anna" + nl + "[Main]" + nl;
    const std::string tail = nl + "[Other]" + nl + "x=1" + nl + "last=line";
    Put(head + "  Resolution = 1" + nl + "glebia=16" + nl + tail);
    ASSERT_TRUE(Write("main", "resolution", "3"));
    EXPECT_EQ(Contents(), Kept(head + "Resolution=3" + nl + "glebia=16" + nl + tail)) << "the key keeps its spelling";
    ASSERT_TRUE(Write(" Main ", " autorun ", "  1\t"));
    EXPECT_EQ(Contents(), Kept(head + "Resolution=3" + nl + "glebia=16" + nl + "autorun =1\t" + nl + tail))
        << "a new key follows the last line of its section";
    ASSERT_TRUE(Write("OTHER", "X", "2"));
    ASSERT_TRUE(Write("Main", ";note", "n"));
    EXPECT_EQ(Get("Other", "x"), "2");
    EXPECT_EQ(Get("Main", "resolution"), "3");
    EXPECT_EQ(Get("Main", "autorun"), "1");
    EXPECT_EQ(Get("Other", "last"), "line");
  }
}

TEST_F(ProfileFunctions, NewSectionsGoToTheEndOfTheFileAndNamelessOnesToItsStart) {
  Put("[Main]\nresolution=1");
  ASSERT_TRUE(Write("Extra", "k", "v"));
  EXPECT_EQ(Contents(), Kept("[Main]\nresolution=1\n[Extra]\nk=v\n"));
  ASSERT_TRUE(Write("", "top", "t"));
  EXPECT_EQ(Contents(), Kept("top=t\n[Main]\nresolution=1\n[Extra]\nk=v\n"));
  EXPECT_EQ(Get("Extra", "k"), "v");
  EXPECT_EQ(Get("", "top"), "t");
}

TEST_F(ProfileFunctions, DeletesKeysAndSections) {
  Put("[Main]\nresolution=1\nglebia=16\n[Other]\nx=1\n");
  ASSERT_TRUE(Write("Main", "glebia", nullptr));
  ASSERT_TRUE(Write("Main", "absent", nullptr));
  ASSERT_TRUE(Write("Absent", nullptr, nullptr));
  ASSERT_TRUE(Write("other", nullptr, nullptr));
  EXPECT_EQ(Contents(), Kept("[Main]\nresolution=1\n"));

  fs::remove(file);
  ASSERT_TRUE(Write("Main", "glebia", nullptr));
  EXPECT_FALSE(fs::exists(file)) << "deleting from no file creates none";
}

TEST_F(ProfileFunctions, ListsSectionAndKeyNames) {
  Put("top=1\n[Main]\nresolution=1\n;note=x\nbare\nglebia=16\n[]\ny=1\n[Other]\nx=1\n");
  EXPECT_EQ(Get(nullptr, nullptr), std::string("Main\0Other\0", 11)) << "nameless sections are not listed";
  EXPECT_EQ(Get("main", nullptr), std::string("resolution\0glebia\0", 18)) << "nor comments or bare lines";
  EXPECT_EQ(Get("", nullptr), std::string("top\0", 4));
  char cut[8];
  EXPECT_EQ(GetPrivateProfileStringA(nullptr, nullptr, "", cut, 8, file.c_str()), 6u);
  EXPECT_EQ(std::string(cut, 8), std::string("Main\0O\0\0", 8)) << "a cut list ends in two NULs";
  EXPECT_EQ(GetPrivateProfileStringA(nullptr, nullptr, "", cut, 3, file.c_str()), 1u);
  EXPECT_EQ(cut[1], '\0');
  // Windows ends even the shortest cut list in two NULs; Wine leaves the third character.
  if (!UnderWine()) {
    EXPECT_EQ(cut[2], '\0');
  }
}

TEST_F(ProfileFunctions, AFileThatIsNotTextReadsAsTheKeysThatCanBeFound) {
  std::string junk;
  for (int i = 0; i < 512; ++i) junk.push_back(static_cast<char>((i * 37 + 11) % 256));
  Put(junk + "\n[Main]\nresolution=4" + std::string("\0tail", 5) + "\n" + std::string("\0\xff\xfe", 3) +
      "\nglebia=16\n");
  EXPECT_EQ(Get("Main", "resolution"), "4") << "a line ends at a NUL";
  EXPECT_EQ(Get("Main", "glebia"), "16");
  EXPECT_EQ(Get("Main", "autorun"), "(default)");
  ASSERT_TRUE(Write("Main", "autorun", "1"));
  EXPECT_EQ(Get("Main", "autorun"), "1");
  EXPECT_EQ(Get("Main", "resolution"), "4");
}

}  // namespace
