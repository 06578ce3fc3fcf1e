#include "platform/scripted/ScriptedPlatform.h"

#include <cstdio>
#include <cstdlib>

#include "platform/SystemFacts.h"

namespace hv {

const char* SoundName(Sound s) {
  switch (s) {
    case Sound::None: return "none";
    case Sound::Default: return "default";
    case Sound::Question: return "question";
    case Sound::Exclamation: return "exclamation";
    case Sound::Hand: return "hand";
  }
  return "?";
}

const char* ResultName(ModalResult r) {
  switch (r) {
    case ModalResult::None: return "None";
    case ModalResult::OK: return "OK";
    case ModalResult::Cancel: return "Cancel";
    case ModalResult::Yes: return "Yes";
    case ModalResult::No: return "No";
    case ModalResult::Retry: return "Retry";
    case ModalResult::Abort: return "Abort";
    case ModalResult::Ignore: return "Ignore";
  }
  return "?";
}

ScriptedPrintJob::ScriptedPrintJob(std::vector<Page>* sink, std::string* title,
                                   const PrintRequest& r)
    : sink_(sink) {
  *title = r.jobTitle;
  if (r.landscape) std::swap(width, height);
}

void ScriptedPrintJob::drawText(int x, int y, std::string_view text) {
  pages_.back().ops.push_back("text " + std::to_string(x) + " " + std::to_string(y) + " " +
                              std::string(text));
}
void ScriptedPrintJob::setFont(const PrintFont& f) {
  pages_.back().ops.push_back("font " + f.family + " " + std::to_string(f.pointSize) +
                              (f.bold ? " bold" : ""));
}

void ScriptedPrintJob::setPenWidth(int width) {
  pages_.back().ops.push_back("pen " + std::to_string(width));
}

void ScriptedPrintJob::drawLine(int x1, int y1, int x2, int y2) {
  pages_.back().ops.push_back("line " + std::to_string(x1) + " " + std::to_string(y1) + " " +
                              std::to_string(x2) + " " + std::to_string(y2));
}
void ScriptedPrintJob::drawEllipse(int l, int t, int r, int b) {
  pages_.back().ops.push_back("ellipse " + std::to_string(l) + " " + std::to_string(t) + " " +
                              std::to_string(r) + " " + std::to_string(b));
}
void ScriptedPrintJob::drawImage(const IndexedImage& image, int left, int top, int w, int h) {
  pages_.back().ops.push_back("image " + std::to_string(image.width) + "x" +
                              std::to_string(image.height) + " at " + std::to_string(left) + " " +
                              std::to_string(top) + " " + std::to_string(w) + " " +
                              std::to_string(h));
}
void ScriptedPrintJob::newPage() { pages_.emplace_back(); }
bool ScriptedPrintJob::finish() {
  *sink_ = pages_;
  return true;
}

ScriptedPlatform::ScriptedPlatform(FailureHandler onFailure) : onFailure_(std::move(onFailure)) {
  programPath = SystemFacts::ProgramFile();
  if (!onFailure_) {
    onFailure_ = [](const std::string& what) {
      std::fprintf(stderr, "scripted platform: %s\n", what.c_str());
      std::abort();
    };
  }
}

ScriptedPlatform::~ScriptedPlatform() { verify(); }

void ScriptedPlatform::fail(const std::string& what) {
  transcript_.push_back("FAILURE " + what);
  onFailure_(what);
}

void ScriptedPlatform::verify() {
  while (!queue_.empty()) {
    Expect e = queue_.front();
    queue_.pop_front();
    std::string what = e.kind == Kind::Dialog    ? "dialog " + e.dialog
                       : e.kind == Kind::Message ? "message [" + e.caption + "] " + e.text
                                                 : "chooser or input";
    fail("expected prompt never came: " + what);
  }
}

void ScriptedPlatform::expectMessage(ModalResult answer, std::string captionContains,
                                     std::string textContains) {
  Expect e{Kind::Message};
  e.result = answer;
  e.caption = std::move(captionContains);
  e.text = std::move(textContains);
  queue_.push_back(std::move(e));
}
void ScriptedPlatform::expectOpen(std::optional<FileChoice> answer) {
  Expect e{Kind::Open};
  e.file = std::move(answer);
  queue_.push_back(std::move(e));
}
void ScriptedPlatform::expectSave(std::optional<FileChoice> answer) {
  Expect e{Kind::Save};
  e.file = std::move(answer);
  queue_.push_back(std::move(e));
}
void ScriptedPlatform::expectFolder(std::optional<std::filesystem::path> answer) {
  Expect e{Kind::Folder};
  e.folder = std::move(answer);
  queue_.push_back(std::move(e));
}
void ScriptedPlatform::expectInput(std::optional<std::string> answer) {
  Expect e{Kind::Input};
  e.input = std::move(answer);
  queue_.push_back(std::move(e));
}
void ScriptedPlatform::expectDialog(std::string name, DialogAnswer answer) {
  Expect e{Kind::Dialog};
  e.dialog = std::move(name);
  e.answer = std::move(answer);
  queue_.push_back(std::move(e));
}

std::optional<ScriptedPlatform::Expect> ScriptedPlatform::take(Kind kind, const std::string& what) {
  if (queue_.empty()) {
    fail("unexpected " + what);
    return std::nullopt;
  }
  if (queue_.front().kind != kind) {
    fail("unexpected " + what + " (another prompt was expected next)");
    return std::nullopt;
  }
  Expect e = std::move(queue_.front());
  queue_.pop_front();
  return e;
}

ModalResult ScriptedPlatform::message(const MessageRequest& r) {
  ModalScope shown(*this);
  messages_.push_back(r);
  beeps_.push_back(r.sound);
  std::string what = std::string("message(") + SoundName(r.sound) + ") [" + r.caption + "] " + r.text;
  auto e = take(Kind::Message, what);
  if (!e) return ModalResult::Cancel;
  if ((!e->caption.empty() && r.caption.find(e->caption) == std::string::npos) ||
      (!e->text.empty() && r.text.find(e->text) == std::string::npos)) {
    fail("message does not match the expected [" + e->caption + "] " + e->text + ": " + what);
  }
  transcript_.push_back(what + " -> " + ResultName(e->result));
  return e->result;
}

std::optional<FileChoice> ScriptedPlatform::openFiles(const FileChooser& r) {
  ModalScope shown(*this);
  choosers_.push_back(r);
  std::string what = "open [" + r.caption + "] in " + r.folder.string();
  auto e = take(Kind::Open, what);
  if (!e) return std::nullopt;
  transcript_.push_back(what + (e->file ? " -> chosen" : " -> cancelled"));
  return e->file;
}

std::optional<FileChoice> ScriptedPlatform::saveFile(const FileChooser& r) {
  ModalScope shown(*this);
  choosers_.push_back(r);
  std::string what = "save [" + r.caption + "] " + r.fileName + " in " + r.folder.string();
  auto e = take(Kind::Save, what);
  if (!e) return std::nullopt;
  transcript_.push_back(what + (e->file ? " -> chosen" : " -> cancelled"));
  return e->file;
}

std::optional<std::filesystem::path> ScriptedPlatform::chooseFolder(const FolderChooser& r) {
  ModalScope shown(*this);
  std::string what = "folder [" + r.caption + "] from " + r.start.string();
  auto e = take(Kind::Folder, what);
  if (!e) return std::nullopt;
  transcript_.push_back(what + (e->folder ? " -> " + e->folder->string() : " -> cancelled"));
  return e->folder;
}

std::optional<std::string> ScriptedPlatform::inputLine(const InputRequest& r) {
  ModalScope shown(*this);
  std::string what = "input [" + r.caption + "] " + r.prompt;
  auto e = take(Kind::Input, what);
  if (!e) return std::nullopt;
  transcript_.push_back(what + (e->input ? " -> \"" + *e->input + "\"" : " -> cancelled"));
  return e->input;
}

ModalResult ScriptedPlatform::showDialog(DialogModel& model) {
  ModalScope shown(*this);
  std::string name(model.dialogName());
  std::string what = "dialog " + name;
  auto e = take(Kind::Dialog, what);
  if (!e) return ModalResult::Cancel;
  if (e->dialog != name) {
    fail("dialog " + name + " came where " + e->dialog + " was expected");
    return ModalResult::Cancel;
  }
  ModalResult r = e->answer ? e->answer(model) : ModalResult::Cancel;
  transcript_.push_back(what + " -> " + ResultName(r));
  return r;
}

void ScriptedPlatform::placeWindow(PlacedWindow& window, int left, int top) {
  placements.push_back({window.caption(), left, top});
  window.moveFrame(left, top);
}

std::optional<std::string> ScriptedPlatform::findExecutableFor(const std::filesystem::path&) {
  return executableForFiles;
}

ProcessStart ScriptedPlatform::startProcess(const std::string& program,
                                            const std::filesystem::path& file,
                                            const std::filesystem::path& workingFolder) {
  startedProcesses.push_back(program + " " + file.string() +
                             (workingFolder.empty() ? "" : " in " + workingFolder.string()));
  if (!processStarts) return {std::nullopt, processStartError};
  return {ProcessHandle{static_cast<std::int64_t>(startedProcesses.size())}, 0};
}

std::unique_ptr<PrintJob> ScriptedPlatform::beginPrint(const PrintRequest& request) {
  transcript_.push_back("print " + request.jobTitle);
  if (!printerAvailable) return nullptr;
  return std::make_unique<ScriptedPrintJob>(&printedPages, &printedTitle, request);
}

}  // namespace hv
