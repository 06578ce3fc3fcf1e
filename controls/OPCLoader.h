#pragma once
// The optional process-data library "iOPC.dll". It is looked for once at
// start-up; without it the controls work and every OPC operation fails with
// a message. This platform has no such library: the start-up marks it
// missing and never loads a library by bare name through the search path.
#include <array>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>

namespace hv {

// A value exchanged with the library.
using OPCValue = std::variant<std::monostate, bool, std::int64_t, double, std::string>;

struct OPCTimeStamp {
  std::uint32_t Low = 0, High = 0;
};

// The library calls this with the item it was given, the new value, its
// quality and its time stamp.
using OPCDataCallback = void (*)(void* item, const OPCValue* value, std::uint16_t quality,
                                 OPCTimeStamp stamp);

// The entry points the wrappers call.
using SignalAddFn = std::uint32_t (*)(const char* computerName, const char* serverName,
                                      const char* itemName, const char* groupName,
                                      std::int32_t updateRate, std::uint8_t zero,
                                      std::uint8_t dataType, void* item, OPCDataCallback callback);
using SignalRemoveFn = void (*)(std::uint32_t handle);
using SignalGetActiveFn = bool (*)(std::uint32_t handle);
using SignalSendDataFn = void (*)(std::uint32_t handle, const OPCValue* value);

// What a failed OPC operation raises.
class OPCError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr std::string_view kOPCLibraryName = "iOPC.dll";

// The functions bound by name when the library is there.
extern const std::array<std::string_view, 42> kOPCFunctionNames;

// An entry point as a library hands it out; null when it lacks the name.
using OPCEntry = void (*)();
using OPCLookup = std::function<OPCEntry(std::string_view name)>;

// Start-up: marks the library missing here (see above). Runs once before
// main; calling it again first frees what is bound.
void LoadOPCLibrary();
// Binds an opened library: each name of kOPCFunctionNames through lookup;
// release runs when it is freed. For a platform that can open the library
// from a known folder, and for tests.
void BindOPCLibrary(const OPCLookup& lookup, std::function<void()> release = {});
// Shut-down: frees the library when it was loaded.
void FreeOPCLibrary();

bool OPCDLLMissing();

// Without the library these raise "Ostrel OPC DLL Not Found."; without the
// function, Function "SignalAdd" not found in "iOPC.dll". (with its name).
std::uint32_t CallSignalAdd(const std::string& computerName, const std::string& serverName,
                            const std::string& itemName, const std::string& groupName,
                            std::int32_t updateRate, std::uint8_t zero, std::uint8_t dataType,
                            void* item, OPCDataCallback callback);
void CallSignalRemove(std::uint32_t handle);
bool CallSignalGetActive(std::uint32_t handle);
void CallSignalSendData(std::uint32_t handle, const OPCValue& value);

}  // namespace hv
