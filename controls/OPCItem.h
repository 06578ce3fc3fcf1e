#pragma once
// Bindings of a control's published property to an item of the optional
// process-data library (see OPCLoader.h). Without the library nothing
// connects and the controls work as they are.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "controls/OPCLoader.h"
#include "controls/PropertyText.h"

namespace hv {

class TiOPCItemManager;

class TiOPCItem {
 public:
  explicit TiOPCItem(TiOPCItemManager* manager) : Manager(manager) {}
  // Disconnects, swallowing errors.
  ~TiOPCItem();
  TiOPCItem(const TiOPCItem&) = delete;
  TiOPCItem& operator=(const TiOPCItem&) = delete;

  const std::string& PropertyName() const { return propertyName_; }
  const std::string& GroupName() const { return groupName_; }
  const std::string& ComputerName() const { return computerName_; }
  const std::string& ServerName() const { return serverName_; }
  const std::string& ItemName() const { return itemName_; }
  std::int32_t UpdateRate() const { return updateRate_; }
  bool AutoConnect() const { return autoConnect_; }
  bool AutoError() const { return autoError_; }

  // Also takes the bound property's kind from the owner.
  void SetPropertyName(std::string name);
  // These connect again when the item is connected.
  void SetGroupName(std::string name);
  void SetComputerName(std::string name);
  void SetServerName(std::string name);
  void SetItemName(std::string name);
  void SetUpdateRate(std::int32_t rate);
  // Connects when now set, the library is there and the owner is not loading.
  void SetAutoConnect(bool on);
  void SetAutoError(bool on);

  // Nothing without the library, a manager, or while designing; nothing
  // further without a property name, an item name, or both a group and a
  // server name.
  void Connect();
  void Disconnect();
  bool IsConnected() const;
  // Both bits 0xC0 of the last quality set.
  bool QualityGood() const { return (Quality & 0xC0) == 0xC0; }
  void SendData(const OPCValue& value);
  // Called by the library with the new value.
  void DataArrived(const OPCValue& value, std::uint16_t quality, OPCTimeStamp stamp);
  // After the item's properties were read: error state and auto-connect,
  // errors swallowed.
  void AfterRead();

  std::uint8_t DataType = 0;  // TypeKind of the bound property
  std::uint32_t Handle = 0;
  OPCValue Value;
  OPCTimeStamp TimeStamp;
  std::uint16_t Quality = 0;
  TiOPCItemManager* Manager;

 private:
  bool Designing() const;
  void UpdateErrorState();

  std::string propertyName_, groupName_, computerName_ = "Local", serverName_, itemName_;
  std::int32_t updateRate_ = 500;
  bool autoConnect_ = true;
  bool autoError_ = false;
};

class TiOPCItemManager {
 public:
  // What the items ask of the control that owns them.
  struct OwnerHooks {
    std::function<bool()> isDesigning;
    std::function<bool()> isLoading;
    std::function<void(TiOPCItem&)> dataArrived;
    std::function<TypeKind(std::string_view)> propertyKind;
    std::function<void(bool)> setErrorActive;  // empty when the owner shows no error state
  };

  TiOPCItemManager() = default;
  explicit TiOPCItemManager(OwnerHooks owner) : Owner(std::move(owner)) {}
  ~TiOPCItemManager() { Clear(); }
  TiOPCItemManager(const TiOPCItemManager&) = delete;
  TiOPCItemManager& operator=(const TiOPCItemManager&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  TiOPCItem* GetItem(int index) const;
  int IndexOf(const TiOPCItem* item) const;
  bool HasItems() const { return !items_.empty(); }
  void Clear() { items_.clear(); }
  // A new item bound to this manager, appended.
  TiOPCItem& Add();

  OwnerHooks Owner;

 private:
  std::vector<std::unique_ptr<TiOPCItem>> items_;
};

// A value as text: "True"/"False", decimal integers, shortest reals, texts
// as they are, empty for no value.
std::string OPCValueText(const OPCValue& value);

// The data callback handed to the library: item is the TiOPCItem.
void OPCItemDataCallback(void* item, const OPCValue* value, std::uint16_t quality,
                         OPCTimeStamp stamp);

}  // namespace hv
