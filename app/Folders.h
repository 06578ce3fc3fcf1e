#pragma once
// Where the program finds its shipped files, where it keeps the user's data,
// and where the catalog disc is mounted.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace hv {

// The folder text with a trailing separator (an empty path stays empty).
std::filesystem::path WithSeparator(const std::filesystem::path& folder);

// True when the folder holds one of the files the program ships (title
// picture, help topic list, reminder, cross-hair cursor), in any case.
bool HoldsShippedFiles(const std::filesystem::path& folder);

// The program folder, ending with a separator: the program file's folder
// when it holds the shipped files, else "../share/halvardin/" beside it when
// that does, else the program file's folder.
std::filesystem::path FindProgramFolder(Platform& p);

// True when no new file can be created in the folder. The probe is an
// exclusively created file of a unique name, removed again, so no file of
// the user's is ever touched.
bool PathWriteProtected(const std::filesystem::path& folder);

// The current user's name, "VESK User" when the system gives none.
std::string CurrentUserName(Platform& p);

// The per-user data folder used when the current folder cannot be written:
// $XDG_DATA_HOME (else ~/.local/share) + "VESK/Bendulak/".
std::filesystem::path FallbackDataFolder(Platform& p);

// The data folder, ending with a separator: current (the current folder)
// when it can be written or the system has no per-user rule; else the
// fallback folder, created and made the current folder; else the folder
// the user picks after the "Write-Enabled Storage Required" box. Nothing
// when the user cancels: the program ends.
std::optional<std::filesystem::path> FindDataFolder(Platform& p,
                                                    const std::filesystem::path& current,
                                                    bool perUserRule);

// True when the folder holds a Guide Star Catalog volume: its regions table
// ("TABLES/REGIONS.TBL") or its region folders ("GSC/"), in any case.
bool HoldsCatalogVolume(const std::filesystem::path& folder);

// The root of the catalog's volume, ending with a separator: the mount
// folder of the first optical drive that holds a disc, else the first of
// catalogFolders that holds a catalog volume (the catalog shipped beside the
// program, a folder given earlier); with none, and only when mayAsk, the
// "CDROM Drive?" input asks for the folder. Empty after Cancel or an empty
// entry. Start-up asks; later callers take the run's answer from the
// settings and look again without asking, so the question comes at most
// once per run.
std::filesystem::path FindCDROMDrive(Platform& p,
                                     const std::vector<std::filesystem::path>& catalogFolders = {},
                                     bool mayAsk = true);

}  // namespace hv
