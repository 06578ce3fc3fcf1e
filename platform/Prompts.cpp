#include "platform/Platform.h"

namespace hv {
namespace {
ModalResult Box(Platform& p, std::string_view caption, std::string_view text, MsgIcon icon,
                unsigned buttons, Sound sound) {
  MessageRequest r;
  r.caption = std::string(caption);
  r.text = std::string(text);
  r.icon = icon;
  r.buttons = buttons;
  r.sound = sound;
  return p.message(r);
}
}  // namespace

ModalResult ShowError(Platform& p, std::string_view caption, std::string_view text) {
  return Box(p, caption, text, MsgIcon::Error, Buttons::OK, Sound::Hand);
}
ModalResult ShowWarning(Platform& p, std::string_view caption, std::string_view text) {
  return Box(p, caption, text, MsgIcon::Warning, Buttons::OK, Sound::Exclamation);
}
ModalResult ShowInfo(Platform& p, std::string_view caption, std::string_view text) {
  return Box(p, caption, text, MsgIcon::Information, Buttons::OK, Sound::Default);
}
bool AskYesNo(Platform& p, std::string_view caption, std::string_view text) {
  return Box(p, caption, text, MsgIcon::Question, Buttons::YesNo, Sound::Question) ==
         ModalResult::Yes;
}

}  // namespace hv
