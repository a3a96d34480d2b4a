// The registry functions, the same cases against our hive stores (linux files, sim memory) and
// the real registry (win32 under Wine): keys, typed values, sizes, access rights, deletion.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/registry.h"

using namespace plat;

namespace {

constexpr const char* kRoot = "Software\\TavelinConformance";

class Registry : public testing::Test {
 protected:
  void SetUp() override {
    for (HKEY hive : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) DeleteTree(hive, kRoot);
  }
  void TearDown() override {
    for (HKEY k : open) RegCloseKey(k);
    for (HKEY hive : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) DeleteTree(hive, kRoot);
  }

  // Removes a key left by an earlier run, deepest keys first (a key with subkeys cannot go).
  static void DeleteTree(HKEY hive, const std::string& path) {
    for (const char* sub : {"\\Store\\Deeper", "\\Store", "\\Run", "\\Brenlow\\Tavelin", "\\Brenlow", ""})
      RegDeleteKeyA(hive, (path + sub).c_str());
  }

  HKEY Create(HKEY hive, const std::string& path, REGSAM access = KEY_ALL_ACCESS, DWORD* disposition = nullptr) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(hive, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key,
                              disposition),
              ERROR_SUCCESS)
        << path;
    if (key) open.push_back(key);
    return key;
  }
  LONG Open(HKEY hive, const std::string& path, REGSAM access, HKEY* key) {
    LONG rc = RegOpenKeyExA(hive, path.c_str(), 0, access, key);
    if (rc == ERROR_SUCCESS) open.push_back(*key);
    return rc;
  }
  static LONG SetText(HKEY key, const char* name, const std::string& text, DWORD type = REG_SZ) {
    return RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1));
  }
  static LONG SetDword(HKEY key, const char* name, DWORD value) {
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  }
  // The value's type and bytes, read the way careful callers do: size first, then data.
  static LONG Query(HKEY key, const char* name, DWORD& type, std::string& data) {
    DWORD size = 0;
    LONG rc = RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
    if (rc != ERROR_SUCCESS) return rc;
    std::vector<BYTE> buffer(size);
    rc = RegQueryValueExA(key, name, nullptr, &type, buffer.data(), &size);
    data.assign(reinterpret_cast<const char*>(buffer.data()), size);
    return rc;
  }

  std::vector<HKEY> open;
};

TEST_F(Registry, CreatesKeysAndReadsBackTypedValues) {
  DWORD disposition = 0;
  HKEY key = Create(HKEY_CURRENT_USER, std::string(kRoot) + "\\Store", KEY_ALL_ACCESS, &disposition);
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  Create(HKEY_CURRENT_USER, std::string(kRoot) + "\\Store\\", KEY_READ, &disposition);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY) << "a trailing backslash names the same key";

  ASSERT_EQ(SetText(key, "sciezka", "C:\\Data\\"), ERROR_SUCCESS);
  ASSERT_EQ(SetText(key, "expandable", "%SystemDrive%\\Data\\", REG_EXPAND_SZ), ERROR_SUCCESS);
  ASSERT_EQ(SetDword(key, "glebia", 0x1F), ERROR_SUCCESS);
  ASSERT_EQ(SetText(key, nullptr, "default"), ERROR_SUCCESS);
  ASSERT_EQ(SetText(key, "with\\backslash", "v"), ERROR_SUCCESS);

  DWORD type = 0;
  DWORD size = 0;
  ASSERT_EQ(RegQueryValueExA(key, "sciezka", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(size, 9u) << "text, with its NUL";
  BYTE small[4] = {};
  size = sizeof small;
  EXPECT_EQ(RegQueryValueExA(key, "sciezka", nullptr, &type, small, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 9u) << "the size needed";

  std::string data;
  ASSERT_EQ(Query(key, "SCIEZKA", type, data), ERROR_SUCCESS) << "value names match without regard to case";
  EXPECT_EQ(data, std::string("C:\\Data\\\0", 9));
  ASSERT_EQ(Query(key, "expandable", type, data), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_EXPAND_SZ);
  EXPECT_EQ(data, std::string("%SystemDrive%\\Data\\\0", 20)) << "stored, never expanded";
  ASSERT_EQ(Query(key, "glebia", type, data), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_DWORD);
  EXPECT_EQ(data, std::string("\x1F\0\0\0", 4));
  ASSERT_EQ(Query(key, "", type, data), ERROR_SUCCESS);
  EXPECT_EQ(data, std::string("default\0", 8));
  ASSERT_EQ(Query(key, "with\\backslash", type, data), ERROR_SUCCESS);
  EXPECT_EQ(Query(key, "absent", type, data), ERROR_FILE_NOT_FOUND);

  ASSERT_EQ(SetDword(key, "sciezka", 7), ERROR_SUCCESS);
  ASSERT_EQ(Query(key, "sciezka", type, data), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_DWORD) << "a value set again takes its new type";

  HKEY again = nullptr;
  ASSERT_EQ(Open(HKEY_CURRENT_USER, "SOFTWARE\\tavelinconformance\\store", KEY_READ, &again), ERROR_SUCCESS)
      << "key names match without regard to case";
  ASSERT_EQ(Query(again, "glebia", type, data), ERROR_SUCCESS);
  EXPECT_EQ(data, std::string("\x1F\0\0\0", 4)) << "another handle sees the same key";
}

TEST_F(Registry, OpeningNeverCreatesAndRightsLimitWhatAHandleMayDo) {
  HKEY key = nullptr;
  EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, std::string(kRoot) + "\\Brenlow\\Tavelin", KEY_READ, &key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, std::string(kRoot) + "\\Brenlow\\Tavelin", KEY_ALL_ACCESS, &key),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, kRoot, KEY_READ, &key), ERROR_FILE_NOT_FOUND) << "nothing was created";

  HKEY writer = Create(HKEY_LOCAL_MACHINE, std::string(kRoot) + "\\Brenlow\\Tavelin");
  ASSERT_EQ(SetText(writer, "sciezka", "C:\\Data\\"), ERROR_SUCCESS);

  HKEY reader = nullptr;
  ASSERT_EQ(Open(HKEY_LOCAL_MACHINE, std::string(kRoot) + "\\Brenlow\\Tavelin", KEY_READ, &reader), ERROR_SUCCESS);
  DWORD type = 0;
  std::string data;
  EXPECT_EQ(Query(reader, "sciezka", type, data), ERROR_SUCCESS);
  EXPECT_EQ(SetText(reader, "sciezka", "elsewhere"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteValueA(reader, "sciezka"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(Query(writer, "sciezka", type, data), ERROR_SUCCESS);
  EXPECT_EQ(data, std::string("C:\\Data\\\0", 9)) << "the refused changes changed nothing";

  HKEY setter = nullptr;
  ASSERT_EQ(Open(HKEY_LOCAL_MACHINE, std::string(kRoot) + "\\Brenlow\\Tavelin", KEY_SET_VALUE, &setter),
            ERROR_SUCCESS);
  EXPECT_EQ(Query(setter, "sciezka", type, data), ERROR_ACCESS_DENIED);
}

TEST_F(Registry, RunListEntriesAreWrittenFoundAndDeleted) {
  for (HKEY hive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
    HKEY run = Create(hive, std::string(kRoot) + "\\Run", KEY_READ | KEY_WRITE);
    ASSERT_EQ(SetText(run, "tavelin.exe", "C:\\Program Files\\Tavelin\\tavelin.exe"), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(run, "tavelin.exe", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(run, "Tavelin.EXE"), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(run, "tavelin.exe", nullptr, nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValueA(run, "tavelin.exe"), ERROR_FILE_NOT_FOUND);
  }
}

TEST_F(Registry, DeletesOnlyKeysWithoutSubkeys) {
  HKEY deeper = Create(HKEY_CURRENT_USER, std::string(kRoot) + "\\Store\\Deeper");
  EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, (std::string(kRoot) + "\\Store").c_str()), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, (std::string(kRoot) + "\\Store\\Deeper").c_str()), ERROR_SUCCESS);
  EXPECT_EQ(SetDword(deeper, "late", 1), ERROR_KEY_DELETED) << "a handle outliving its key";
  DWORD type = 0;
  std::string data;
  EXPECT_EQ(Query(deeper, "late", type, data), ERROR_KEY_DELETED);
  EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, (std::string(kRoot) + "\\Store\\Deeper").c_str()), ERROR_FILE_NOT_FOUND);
  HKEY key = nullptr;
  EXPECT_EQ(Open(HKEY_CURRENT_USER, std::string(kRoot) + "\\Store\\Deeper", KEY_READ, &key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Open(HKEY_CURRENT_USER, std::string(kRoot) + "\\Store", KEY_READ, &key), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, (std::string(kRoot) + "\\Store").c_str()), ERROR_SUCCESS);

  HKEY closed = Create(HKEY_CURRENT_USER, kRoot);
  open.pop_back();  // closed here, not by TearDown
  EXPECT_EQ(RegCloseKey(closed), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(closed), ERROR_INVALID_HANDLE);
}

}  // namespace
