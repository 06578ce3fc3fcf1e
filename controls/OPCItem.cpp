#include "controls/OPCItem.h"

#include <charconv>

namespace hv {

TiOPCItem::~TiOPCItem() {
  try {
    Disconnect();
  } catch (...) {
  }
}

bool TiOPCItem::Designing() const {
  return Manager && Manager->Owner.isDesigning && Manager->Owner.isDesigning();
}

void TiOPCItem::UpdateErrorState() {
  if (Manager && Manager->Owner.setErrorActive && IsConnected())
    Manager->Owner.setErrorActive(!QualityGood());
}

void TiOPCItem::SetPropertyName(std::string name) {
  propertyName_ = std::move(name);
  DataType = (Manager && Manager->Owner.propertyKind) ? Manager->Owner.propertyKind(propertyName_)
                                                      : tkUnknown;
}

void TiOPCItem::SetGroupName(std::string name) {
  groupName_ = std::move(name);
  if (IsConnected()) Connect();
}

void TiOPCItem::SetComputerName(std::string name) {
  computerName_ = std::move(name);
  if (!OPCDLLMissing() && IsConnected()) Connect();
}

void TiOPCItem::SetServerName(std::string name) {
  serverName_ = std::move(name);
  if (!OPCDLLMissing() && IsConnected()) Connect();
}

void TiOPCItem::SetItemName(std::string name) {
  itemName_ = std::move(name);
  if (!OPCDLLMissing() && IsConnected()) Connect();
}

void TiOPCItem::SetUpdateRate(std::int32_t rate) {
  updateRate_ = rate;
  if (!OPCDLLMissing() && IsConnected()) Connect();
}

void TiOPCItem::SetAutoConnect(bool on) {
  autoConnect_ = on;
  if (OPCDLLMissing() || !Manager) return;
  if (Manager->Owner.isLoading && Manager->Owner.isLoading()) return;
  if (autoConnect_) Connect();
}

void TiOPCItem::SetAutoError(bool on) {
  if (on == autoError_) return;
  autoError_ = on;
  if (autoError_) UpdateErrorState();
}

void TiOPCItem::Connect() {
  if (OPCDLLMissing() || !Manager || Designing()) return;
  if (autoError_) UpdateErrorState();
  if (Handle != 0) Disconnect();
  if (TrimText(propertyName_).empty()) return;
  if (TrimText(groupName_).empty() && TrimText(serverName_).empty()) return;
  if (TrimText(itemName_).empty()) return;
  Handle = CallSignalAdd(computerName_, serverName_, itemName_, groupName_, updateRate_, 0,
                         DataType, this, &OPCItemDataCallback);
}

void TiOPCItem::Disconnect() {
  if (OPCDLLMissing() || !Manager || Designing()) return;
  CallSignalRemove(Handle);
  Handle = 0;
}

bool TiOPCItem::IsConnected() const {
  if (!Manager || Designing() || OPCDLLMissing()) return false;
  return CallSignalGetActive(Handle);
}

void TiOPCItem::SendData(const OPCValue& value) {
  if (!OPCDLLMissing()) CallSignalSendData(Handle, value);
}

void TiOPCItem::DataArrived(const OPCValue& value, std::uint16_t quality, OPCTimeStamp stamp) {
  Value = value;
  TimeStamp = stamp;
  Quality = quality;
  if (autoError_) UpdateErrorState();
  if (Manager && Manager->Owner.dataArrived) Manager->Owner.dataArrived(*this);
}

void TiOPCItem::AfterRead() {
  try {
    if (autoError_) UpdateErrorState();
    if (autoConnect_ && !Designing()) Connect();
  } catch (...) {
  }
}

TiOPCItem* TiOPCItemManager::GetItem(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return items_[static_cast<std::size_t>(index)].get();
}

int TiOPCItemManager::IndexOf(const TiOPCItem* item) const {
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i].get() == item) return static_cast<int>(i);
  return -1;
}

TiOPCItem& TiOPCItemManager::Add() {
  items_.push_back(std::make_unique<TiOPCItem>(this));
  return *items_.back();
}

std::string OPCValueText(const OPCValue& value) {
  struct Visit {
    std::string operator()(std::monostate) const { return {}; }
    std::string operator()(bool b) const { return b ? "True" : "False"; }
    std::string operator()(std::int64_t v) const {
      char buf[24];
      return std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
    }
    std::string operator()(double v) const {
      char buf[32];
      return std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
    }
    std::string operator()(const std::string& s) const { return s; }
  };
  return std::visit(Visit{}, value);
}

void OPCItemDataCallback(void* item, const OPCValue* value, std::uint16_t quality,
                         OPCTimeStamp stamp) {
  if (!item || !value) return;
  static_cast<TiOPCItem*>(item)->DataArrived(*value, quality, stamp);
}

}  // namespace hv
