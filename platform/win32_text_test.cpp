#include "platform/win32_text.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/file_layer.h"

namespace scengen {
namespace {

namespace fs = std::filesystem;

TEST(Win32Text, Utf8AndUtf16RoundTrip) {
  struct Case {
    std::string utf8;
    std::wstring utf16;
  };
  const Case cases[] = {
      {"", L""},
      {"Veltrano_Quarnelo_58316-.txt", L"Veltrano_Quarnelo_58316-.txt"},
      {"\xC3\xA0\xC3\xA8\xC3\xAC\xC3\xB2\xC3\xB9 \xE2\x82\xAC",
       L"\u00E0\u00E8\u00EC\u00F2\u00F9 \u20AC"},
      {"\xF0\x9F\x9A\x82", L"\U0001F682"},  // outside the basic plane: a surrogate pair
  };
  for (const Case& c : cases) {
    EXPECT_EQ(widen(c.utf8), c.utf16);
    EXPECT_EQ(narrow(c.utf16), c.utf8);
  }
  EXPECT_EQ(widen("a\xFF"), L"a\uFFFD");  // not UTF-8
}

TEST(Win32Text, ArgumentsOfThisProgramComeAsUtf8) {
  const std::vector<std::string> arguments = utf8_arguments();
  ASSERT_FALSE(arguments.empty());
  wchar_t module[MAX_PATH];
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  EXPECT_EQ(fs::path(widen(arguments[0])).filename(), fs::path(module).filename());
}

// Arguments and names are UTF-8 inside the program; Windows paths are UTF-16.
TEST(Win32Paths, Utf8TextBecomesTheWidePathItNames) {
  EXPECT_EQ(utf8_path("C:\\Cartella \xC3\xA8 \xE2\x82\xAC\\a.txt").native(),
            L"C:\\Cartella \u00E8 \u20AC\\a.txt");
  EXPECT_EQ(join_output_path(fs::path(L"C:\\d"), "Citt\xC3\xA0_linea.txt").native(),
            L"C:\\d\\Citt\u00E0_linea.txt");
}

// On Windows the output folder is a wide path: "\" joins it to the name, even after a "\".
TEST(Win32Paths, TheSeparatorIsABackslashAndAlwaysInserted) {
  EXPECT_EQ(join_output_path(fs::path(L"C:\\Scenari"), "Veltrano_Quarnelo_linea.dat").native(),
            L"C:\\Scenari\\Veltrano_Quarnelo_linea.dat");
  EXPECT_EQ(join_output_path(fs::path(L"C:\\Scenari\\"), "a.sim").native(),
            L"C:\\Scenari\\\\a.sim");
}

TEST(Win32Paths, FilesGoIntoAFolderWithCharactersOutsideTheAnsiCodePage) {
  const fs::path folder = fs::temp_directory_path() / L"scengen \u00E8 \u20AC \u0416 \U0001F682";
  fs::remove_all(folder);
  fs::create_directories(folder);
  const fs::path path = join_output_path(folder, "Veltrano_Quarnelo_58316.dat");
  system_files().write_replacing(path, std::string("\x00\x01\xB0", 3));
  system_files().write_replacing(path, "ab");
  const FileRead read = system_files().read_whole(path);
  EXPECT_EQ(read.status, ReadStatus::Ok);
  EXPECT_EQ(read.bytes, "ab");
  std::vector<fs::path> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  EXPECT_EQ(names, std::vector<fs::path>{L"Veltrano_Quarnelo_58316.dat"});
  system_files().remove(path);
  EXPECT_FALSE(fs::exists(path));
  fs::remove_all(folder);
}

}  // namespace
}  // namespace scengen
