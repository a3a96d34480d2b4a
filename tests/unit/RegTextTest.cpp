// The hive files' text form: what regedit exports reads in, what we write reads back unchanged,
// and damaged text is refused as a whole.
#include <gtest/gtest.h>

#include <string>

#include "platform/registry.h"
#include "platform/shared/RegText.h"
#include "platform/shared/Utf16Text.h"

using namespace plat;
using plat::shared::FormatRegText;
using plat::shared::ParseRegText;
using plat::shared::RegKey;
using plat::shared::RegValue;

namespace {

constexpr const char* kHive = "HKEY_LOCAL_MACHINE";

const RegValue* ValueAt(const RegKey& root, const std::vector<std::string>& path, const std::string& name) {
  const RegKey* key = root.Find(path);
  return key ? key->FindValue(name) : nullptr;
}

std::string Utf16(const std::string& text) {
  std::string out;
  for (char c : text) {
    out.push_back(c);
    out.push_back('\0');
  }
  return out;
}

TEST(RegText, ReadsWhatRegeditExports) {
  // Version 5 export: UTF-16LE with its mark, CRLF, an expandable string wrapped over lines.
  const std::string exported = Utf16(
      "Windows Registry Editor Version 5.00\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Brenlow\\Tavelin]\r\n"
      "\"sciezka\"=\"C:\\\\Data\\\\\"\r\n"
      "\"quoted\"=\"say \\\"hi\\\"\"\r\n"
      "\"glebia\"=dword:0000001f\r\n"
      "\"expand\"=hex(2):25,00,53,00,79,00,73,00,\\\r\n"
      "  74,00,65,00,6d,00,25,00,00,00\r\n"
      "@=\"default\"\r\n"
      "; a comment\r\n"
      "\"bin\"=hex:01,ff\r\n\r\n");
  auto tree = ParseRegText("\xFF\xFE" + exported, kHive);
  ASSERT_TRUE(tree);
  const std::vector<std::string> key = {"Software", "brenlow", "TAVELIN"};
  EXPECT_EQ(*ValueAt(*tree, key, "sciezka"), (RegValue{REG_SZ, std::string("C:\\Data\\\0", 9)}));
  EXPECT_EQ(*ValueAt(*tree, key, "quoted"), (RegValue{REG_SZ, std::string("say \"hi\"\0", 9)}));
  EXPECT_EQ(*ValueAt(*tree, key, "glebia"), (RegValue{REG_DWORD, std::string("\x1f\0\0\0", 4)}));
  EXPECT_EQ(*ValueAt(*tree, key, "expand"), (RegValue{REG_EXPAND_SZ, std::string("%System%\0", 9)}));
  EXPECT_EQ(*ValueAt(*tree, key, ""), (RegValue{REG_SZ, std::string("default\0", 8)}));
  EXPECT_EQ(*ValueAt(*tree, key, "bin"), (RegValue{REG_BINARY, "\x01\xff"}));

  // REGEDIT4 keeps expandable text in the ANSI code page, one byte a character.
  auto old = ParseRegText("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\A]\n\"e\"=hex(2):41,42,00\n", kHive);
  ASSERT_TRUE(old);
  EXPECT_EQ(*ValueAt(*old, {"A"}, "e"), (RegValue{REG_EXPAND_SZ, std::string("AB\0", 3)}));
}

TEST(RegText, WhatIsWrittenReadsBackUnchanged) {
  RegKey hive;
  RegKey& key = hive.Ensure({"Software", "Brenlow", "Tavelin"});
  key.SetValue("sciezka", {REG_SZ, std::string("/var/lib/tavelin/\0", 18)});
  key.SetValue("with \"quotes\" and \\", {REG_SZ, std::string("a \"b\" \\c\0", 9)});
  key.SetValue("", {REG_SZ, std::string("default\0", 8)});
  key.SetValue("no terminator", {REG_SZ, "abc"});
  key.SetValue("line break inside", {REG_SZ, std::string("x\ny\0", 4)});
  key.SetValue("expand", {REG_EXPAND_SZ, std::string("%HOME%/za\xc5\xbc\xc3\xb3\xc5\x82\xc4\x87\0", 16)});
  key.SetValue("not utf-8", {REG_EXPAND_SZ, std::string("\xff\xfe\x80 \xed\xa0\x80\0", 8)});
  key.SetValue("multi", {REG_MULTI_SZ, std::string("a\0b\0\0", 5)});
  key.SetValue("dword", {REG_DWORD, std::string("\x78\x56\x34\x12", 4)});
  key.SetValue("short dword", {REG_DWORD, "\x01"});
  key.SetValue("binary", {REG_BINARY, std::string(200, '\x5a')});
  key.SetValue("qword", {11, std::string("\1\2\3\4\5\6\7\x08", 8)});
  hive.Ensure({"Software", "Empty"});
  hive.SetValue("at the root", {REG_SZ, std::string("r\0", 2)});

  const std::string text = FormatRegText(hive, kHive);
  auto back = ParseRegText(text, kHive);
  ASSERT_TRUE(back) << text;
  EXPECT_EQ(*back, hive) << text;
  EXPECT_NE(text.find("[HKEY_LOCAL_MACHINE\\Software\\Empty]\n"), std::string::npos) << "empty keys are kept";
  EXPECT_NE(text.find("\"dword\"=dword:12345678\n"), std::string::npos);
  EXPECT_NE(text.find("\"sciezka\"=\"/var/lib/tavelin/\"\n"), std::string::npos);
  for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    EXPECT_LE(end - start, 80u) << "long hex lists are wrapped";
}

TEST(RegText, DamagedTextIsRefusedWhole) {
  const std::string v5 = "Windows Registry Editor Version 5.00\n";
  const std::string key = "[HKEY_LOCAL_MACHINE\\Software]\n";
  for (const std::string& text : {
           std::string(),
           std::string("\n\n"),
           std::string("Windows Registry Editor Version 4.00\n"),
           v5 + "\"a\"=\"value before any key\"\n",
           v5 + "[HKEY_CURRENT_USER\\Software]\n",
           v5 + "[HKEY_LOCAL_MACHINE\\Software\n",
           v5 + "[HKEY_LOCAL_MACHINE\\\\Software]\n",
           v5 + "[HKEY_LOCAL_MACHINE\\]\n",
           v5 + "[-HKEY_LOCAL_MACHINE\\Software]\n",
           v5 + key + "\"a\"=\"unterminated\n",
           v5 + key + "\"a\"=\"x\" trailing\n",
           v5 + key + "\"a\"=-\n",
           v5 + key + "\"a\"\n",
           v5 + key + "\"a=\"x\"\n",
           v5 + key + "\"a\"=dword:123456789\n",
           v5 + key + "\"a\"=dword:\n",
           v5 + key + "\"a\"=dword:12g4\n",
           v5 + key + "\"a\"=hex:1,2,300\n",
           v5 + key + "\"a\"=hex:01,,02\n",
           v5 + key + "\"a\"=hex(2):41\n",
           v5 + key + "\"a\"=hex(x):41\n",
           v5 + key + "\"a\"=hex:01,\\\n",
           v5 + key + "\"a\"=str:abc\n",
           std::string("\xff\xfe\x57", 3),
       }) {
    EXPECT_FALSE(ParseRegText(text, kHive)) << text;
  }
  EXPECT_TRUE(ParseRegText(v5, kHive)) << "a hive without keys";
  EXPECT_TRUE(ParseRegText("\xEF\xBB\xBF" + v5 + key + "\"a\"=hex:\n", kHive)) << "UTF-8 mark, empty binary";
}

TEST(RegText, Utf16RoundTripKeepsEveryByteString) {
  std::string all;
  for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(i));
  for (const std::string& s : {all, std::string("\xf0\x9f\x98\x80 \xe2\x82\xac"), std::string("\xc3")})
    EXPECT_EQ(plat::shared::Utf16LeToUtf8(plat::shared::Utf8ToUtf16Le(s)), s);
  EXPECT_EQ(plat::shared::Utf16LeToUtf8("abc"), std::nullopt) << "odd byte count";
  // The speech objects' text takes the same way as units.
  EXPECT_EQ(plat::shared::Utf8ToUtf16("\xe2\x82\xac \xf0\x9f\x98\x80"), u"\u20AC \U0001F600");
  EXPECT_EQ(plat::shared::Utf16ToUtf8(plat::shared::Utf8ToUtf16(all)), all);
  EXPECT_EQ(plat::shared::Utf16ToUtf8(u"a\xD800" u"b"), "a\xEF\xBF\xBD" "b") << "a lone high surrogate";
}

}  // namespace
