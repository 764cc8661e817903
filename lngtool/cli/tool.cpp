#include "lngtool/cli/tool.h"

#include "lngtool/render/dialog_sources.h"

namespace lngtool {
namespace {
constexpr char kProgramName[] = "Launcher.exe";

std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}
}  // namespace

int Tool::Usage(const std::string& reason) {
  *err_ += "lngtool " + std::string(command_.name) + ": " + reason + "\nTry 'lngtool " +
           command_.name + " --help'.\n";
  return kExitFailure;
}

bool Tool::Error(const std::string& message) {
  *err_ += "lngtool: " + message + "\n";
  return false;
}

void Tool::Warn(const std::string& message) { *err_ += "lngtool: warning: " + message + "\n"; }

std::string Tool::DefaultProgram() const { return folder_ + kProgramName; }

void Tool::SetSources(DialogSources* sources) const {
  sources->catalogs = arguments_.operands;
  sources->languageModule = Get("--dll");
  sources->program = ProgramPath();
}

std::string Tool::Named(const std::string& path) const {
  return !Has("--program") && path == DefaultProgram()
             ? "the default program " + path + " (the one beside lngtool; give --program)"
             : path;
}

bool Tool::Read(const std::string& path, std::vector<uint8_t>* bytes) {
  std::string why;
  return ReadWholeFile(path, bytes, &why) || Error("cannot read " + Named(path) + ": " + why);
}

bool Tool::LoadModule(const std::string& path, PeModule* module) {
  std::vector<uint8_t> bytes;
  return Read(path, &bytes) &&
         (module->Load(std::move(bytes)) ||
          Error(Named(path) + " is not a module with resources (a program or a DLL)"));
}

bool Tool::SelectCodec() {
  if (Has("--codepage")) {
    const std::string value = Get("--codepage");
    if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos ||
        value.size() > 5) {
      Usage("--codepage needs a number, such as 1252 or 936");
      return false;
    }
    codePage_ = static_cast<uint32_t>(std::stoul(value));
  }
  std::string why;
  return SelectCodePage(codePage_, &codec_, &why) || Error(why);
}

// named empty: the program (--program or the default); optional: a default
// that is not there is no error, only no module.
Opened Tool::OpenModules(const std::string& named, bool optional) {
  const std::string program = ProgramPath();
  if (named.empty()) {
    if (optional && !Has("--program") && !PathTaken(program)) {
      return Opened::kAbsent;
    }
    modules_.name = BaseName(program);
    return LoadModule(program, &modules_.dialogs) ? Opened::kYes : Opened::kFailed;
  }
  if (!LoadModule(named, &modules_.dialogs)) {
    return Opened::kFailed;
  }
  modules_.name = BaseName(named);
  if (!modules_.dialogs.IsDll()) {
    return Opened::kYes;
  }
  // A language module's dialogs are shown, but with a catalog loaded the
  // launcher fetches every string from its own English string table.
  if (Has("--program")) {
    modules_.haveProgram = LoadModule(program, &modules_.program);
    return modules_.haveProgram ? Opened::kYes : Opened::kFailed;
  }
  std::vector<uint8_t> probe;
  modules_.haveProgram = ReadWholeFile(program, &probe) && modules_.program.Load(std::move(probe));
  if (!modules_.haveProgram) {
    Warn("cannot read " + Named(program) +
         ", so the strings are taken from the language module; with a catalog "
         "loaded the launcher keys them by its own English strings instead");
  }
  return Opened::kYes;
}

// The code page, the modules and their texts; *have tells whether there are texts.
bool Tool::OpenTexts(const std::string& named, bool optional, bool* have) {
  if (!SelectCodec()) {
    return false;
  }
  const Opened opened = OpenModules(named, optional);
  *have = opened == Opened::kYes;
  if (*have) {
    std::vector<std::string> problems;
    texts_ = CollectProgramTexts(
        modules_.dialogs, modules_.haveProgram ? &modules_.program : nullptr, *codec_, &problems);
    for (const std::string& p : problems) {
      Warn(p);
    }
  }
  return opened != Opened::kFailed;
}

bool Tool::LoadCatalog(const std::string& path, CatalogFile* file) {
  std::vector<uint8_t> bytes;
  if (!Read(path, &bytes)) {
    return false;
  }
  file->Load(bytes);
  return true;
}

// Before any work: --out may not name an input (but replaceable), nor an
// existing file unless mayExist or --force.
bool Tool::OutAllowed(const std::vector<std::string>& inputs, const std::string& replaceable,
                      bool mayExist) {
  if (!Has("--out")) {
    return true;
  }
  const std::string out = Get("--out");
  for (const std::string& in : inputs) {
    if (!in.empty() && in != replaceable && SameFile(in, out)) {
      return Error("--out " + out + " names the input " + Named(in) +
                   "; nothing written (write to another file)");
    }
  }
  if (!mayExist && !Has("--force") && !SameFile(replaceable, out) && PathTaken(out)) {
    return Error(out + " exists; nothing written (give --force to replace it)");
  }
  return true;
}

bool Tool::Emit(const std::vector<uint8_t>& bytes) {
  if (!Has("--out")) {
    out_->append(bytes.begin(), bytes.end());
    return true;
  }
  std::string why;
  return WriteWholeFile(Get("--out"), bytes, &why) ||
         Error("cannot write " + Get("--out") + ": " + why + "; it is as it was");
}

bool Tool::EncodeWarned(const std::u16string& text, FileForm form, std::vector<uint8_t>* bytes,
                        const char* instead) {
  bool lossy = false;
  *bytes = EncodeCatalog(text, form, *codec_, &lossy);
  return !lossy || Error("some characters have no form in code page " + std::to_string(codePage_) +
                         "; nothing written (" + instead + ")");
}

}  // namespace lngtool
