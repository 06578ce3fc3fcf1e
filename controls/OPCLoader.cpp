#include "controls/OPCLoader.h"

#include <map>

namespace hv {

const std::array<std::string_view, 42> kOPCFunctionNames = {
    "SignalAdd",
    "SignalRemove",
    "SignalSuspend",
    "SignalResume",
    "SignalGetActive",
    "SignalGetGroupHandle",
    "SignalSendData",
    "EditorSessionStart",
    "EditorSessionStop",
    "EditorComputerBranchOpen",
    "EditorComputerBranchClose",
    "EditorComputerBranchGetItemCount",
    "EditorComputerBranchGetItemData",
    "EditorServerSetup",
    "EditorServerGetCount",
    "EditorServerGetData",
    "EditorItemSetup",
    "EditorItemGetBrowseType",
    "EditorItemSetPath",
    "EditorItemGetBranchItems",
    "EditorItemGetQualifiedName",
    "GroupAdd",
    "GroupDelete",
    "GroupResume",
    "GroupSuspend",
    "GroupGetCount",
    "GroupGetHandleByName",
    "GroupGetName",
    "GroupGetComputerName",
    "GroupGetOPCServerName",
    "GroupGetUpdateRate",
    "GroupSetUpdateRate",
    "GroupGetHandle",
    "ServerConnectionGetCount",
    "ServerConnectionGetName",
    "ServerConnectionGetGroupCount",
    "ServerConnectionGetGroupName",
    "ServerConnectionReconnect",
    "ServerConnectionDisconnect",
    "ManagerCreated",
    "ManagerAddItem",
    "ManagerDestroyed",
};

namespace {

struct LoaderState {
  bool loaded = false;
  std::map<std::string_view, OPCEntry> entries;  // null when the library lacks one
  std::function<void()> release;
};

LoaderState& State() {
  static LoaderState state;
  return state;
}

// The library's unit start-up and shut-down.
struct StartUp {
  StartUp() { LoadOPCLibrary(); }
  ~StartUp() { FreeOPCLibrary(); }
} startUp;

template <typename Fn>
Fn Entry(std::string_view name) {
  LoaderState& s = State();
  if (!s.loaded) throw OPCError("Ostrel OPC DLL Not Found.");
  auto it = s.entries.find(name);
  if (it == s.entries.end() || !it->second)
    throw OPCError("Function \"" + std::string(name) + "\" not found in \"" +
                   std::string(kOPCLibraryName) + "\".");
  return reinterpret_cast<Fn>(it->second);
}

}  // namespace

void LoadOPCLibrary() {
  FreeOPCLibrary();
  // No library of that name exists for this platform, and searching the
  // library path for a bare name could pick up a planted file: missing.
}

void BindOPCLibrary(const OPCLookup& lookup, std::function<void()> release) {
  FreeOPCLibrary();
  LoaderState& s = State();
  s.loaded = true;
  s.release = std::move(release);
  for (std::string_view name : kOPCFunctionNames) s.entries[name] = lookup ? lookup(name) : nullptr;
}

void FreeOPCLibrary() {
  LoaderState& s = State();
  if (s.loaded && s.release) s.release();
  s.loaded = false;
  s.entries.clear();
  s.release = nullptr;
}

bool OPCDLLMissing() { return !State().loaded; }

std::uint32_t CallSignalAdd(const std::string& computerName, const std::string& serverName,
                            const std::string& itemName, const std::string& groupName,
                            std::int32_t updateRate, std::uint8_t zero, std::uint8_t dataType,
                            void* item, OPCDataCallback callback) {
  auto fn = Entry<SignalAddFn>("SignalAdd");
  return fn(computerName.c_str(), serverName.c_str(), itemName.c_str(), groupName.c_str(),
            updateRate, zero, dataType, item, callback);
}

void CallSignalRemove(std::uint32_t handle) { Entry<SignalRemoveFn>("SignalRemove")(handle); }

bool CallSignalGetActive(std::uint32_t handle) {
  return Entry<SignalGetActiveFn>("SignalGetActive")(handle);
}

void CallSignalSendData(std::uint32_t handle, const OPCValue& value) {
  Entry<SignalSendDataFn>("SignalSendData")(handle, &value);
}

}  // namespace hv
