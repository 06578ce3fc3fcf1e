#pragma once
// The main window's creation: screen check, settings, the shipped title
// picture, help list and cursor, the command line, and the first session.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/Session.h"

namespace hv {

constexpr const char* OptionsFileName = "ASTXOPTS.INI";
constexpr const char* CursorFileName = "XPXHAIR.CUR";

struct StartupFacts {
  int screenWidth = 1024;
  int screenHeight = 768;
  std::vector<std::string> arguments;  // behind the program name
  std::filesystem::path currentFolder;
};

// The pictures and the cursor are widgets' business: the window loads them
// and answers with an error text, or nothing when the load succeeded.
struct StartupResources {
  std::function<std::optional<std::string>(const std::filesystem::path&)> LoadTitlePicture;
  std::function<std::optional<std::string>(const std::filesystem::path&)> LoadCursor;
};

// The file of a picture the settings name (the title or the exercise
// picture), looked for in the program folder; none for an empty name,
// which the instructor's options accept and which means no picture.
std::optional<std::filesystem::path> PictureFile(const OptsRec& settings,
                                                 const std::string& name);

// What the command line chose.
enum class CommandLineKind { None, CatalogPath, NOMAD, USNOB1 };

// Applies the command line to the working copy and the first image folder.
// A catalog path is a folder: it gets its closing separator, so the
// catalog's files are found under it. Returns which rule applied.
CommandLineKind ApplyCommandLine(const std::vector<std::string>& arguments,
                                 const std::filesystem::path& currentFolder, OptsRec& settings,
                                 std::filesystem::path& imageFolder);

// TBendulak.FormCreate. Each shipped file that cannot be loaded gives its
// own message and the creation goes on.
void FormCreate(BendulakSession& s, const StartupFacts& facts, const StartupResources& res);

}  // namespace hv
