#include "lngtool/cli/lngtool_commands.h"

#include <algorithm>
#include <map>
#include <memory>

#include "base/utf8.h"
#include "lngtool/catalog/catalog_check.h"
#include "lngtool/catalog/catalog_file.h"
#include "lngtool/catalog/catalog_merge.h"
#include "lngtool/catalog/catalog_writer.h"
#include "lngtool/catalog/pseudo_translation.h"
#include "lngtool/exchange/catalog_export.h"
#include "lngtool/exchange/catalog_import.h"
#include "lngtool/io/lngtool_platform.h"
#include "lngtool/io/text_form.h"
#include "lngtool/program/pe_resources.h"
#include "lngtool/program/program_texts.h"
#include "lngtool/render/dialog_layout_check.h"
#include "lngtool/render/dialog_preview.h"
#include "localization/catalog_text.h"

namespace lngtool {
namespace {
constexpr uint32_t kDefaultCodePage = 1252;
constexpr char kProgramName[] = "Launcher.exe";
constexpr char kVersion[] = "lngtool (Zentak install launcher) " LNGTOOL_VERSION "\n";

struct Option {
  const char* name;
  const char* value;  // its placeholder, or null for a switch
  const char* help;
};

// The options several commands share, spelt once.
const Option kCodePage = {"--codepage", "N",
                          "the ANSI code page of 8-bit catalogs and of the keys (default 1252)"};
const Option kProgram = {"--program", "EXE",
                         "the program whose English strings key the strings (default: the "
                         "Launcher.exe beside lngtool)"};
const Option kModule = {"--module", "MODULE",
                        "compare the keys with this module's texts (default: the Launcher.exe "
                        "beside lngtool, when there is one)"};
const Option kOutFile = {"--out", "FILE", "write to FILE (default: standard output)"};
const Option kForce = {"--force", nullptr, "replace FILE when it exists"};
const Option kAnsi = {"--ansi", nullptr, "write the catalog in the code page (default: UTF-16)"};
const Option kUtf16 = {"--utf16", nullptr, "write the catalog as UTF-16 LE"};
const Option kDll = {"--dll", "MODULE", "show the dialogs of this language module"};

class Tool;
struct Command {
  const char* name;
  const char* operands;
  const char* summary;
  size_t minOperands;
  size_t maxOperands;
  std::vector<Option> options;
  int (Tool::*run)();
};

const std::vector<Command>& Commands();

struct Arguments {
  std::vector<std::string> operands;
  std::map<std::string, std::string> options;
};

std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

constexpr size_t kHelpIndent = 22;
constexpr size_t kHelpWidth = 79;

// Words after the option's column, broken before the screen's edge.
std::string Wrapped(const std::string& words) {
  std::string out;
  size_t column = kHelpIndent;
  size_t start = 0;
  while (start < words.size()) {
    size_t end = words.find(' ', start);
    end = end == std::string::npos ? words.size() : end;
    const size_t length = end - start;
    if (column > kHelpIndent && column + 1 + length > kHelpWidth) {
      out += "\n" + std::string(kHelpIndent, ' ');
      column = kHelpIndent;
    } else if (column > kHelpIndent) {
      out += ' ';
      ++column;
    }
    out += words.substr(start, length);
    column += length;
    start = end + 1;
  }
  return out;
}

std::string CommandHelp(const Command& c) {
  std::string text = std::string("usage: lngtool ") + c.name + " " + c.operands + "\n" + c.summary +
                     "\n\noptions:\n";
  for (const Option& o : c.options) {
    std::string left = std::string("  ") + o.name + (o.value != nullptr ? " " : "") +
                       (o.value != nullptr ? o.value : "");
    left.resize(left.size() < kHelpIndent ? kHelpIndent : left.size() + 1, ' ');
    text += left + Wrapped(o.help) + "\n";
  }
  return text + "  --help              show this help\n";
}

std::string Overview() {
  std::string text = "usage: lngtool COMMAND [ARGUMENTS] [OPTIONS]\n\ncommands:\n";
  for (const Command& c : Commands()) {
    text += std::string("  ") + c.name + " " + c.operands + "\n      " + c.summary + "\n";
  }
  return text +
         "\nMODULE is Launcher.exe (default: the one beside lngtool) or a language module\n"
         "(ztklng.dll), whose dialogs are then used with the program's strings.\n"
         "Exit status: 0 fine, 1 the catalog has errors (the launcher would show\n"
         "something else than meant), 2 lngtool could not do what was asked.\n"
         "'lngtool help COMMAND' or 'lngtool COMMAND --help' tells more.\n";
}

// The modules the launcher reads its texts from: the dialogs' module and the
// program, whose English strings key every string once a catalog is loaded.
struct Modules {
  PeModule dialogs;
  PeModule program;
  bool haveProgram = false;
  std::string name;
};

enum class Opened : uint8_t { kYes, kAbsent, kFailed };

class Tool {
 public:
  Tool(const Command& command, Arguments args, std::string folder, std::string* out,
       std::string* err)
      : c_(command), a_(std::move(args)), folder_(std::move(folder)), out_(out), err_(err) {}

  int Run() { return (this->*c_.run)(); }

  int Template();
  int Check();
  int Key();
  int Merge();
  int Convert();
  int Preview();
  int Export();
  int Import();
  int Pseudo();
  int Layout();

 private:
  bool Has(const char* name) const { return a_.options.count(name) != 0; }
  std::string Get(const char* name) const {
    const auto it = a_.options.find(name);
    return it == a_.options.end() ? "" : it->second;
  }
  std::string Operand(size_t i) const { return i < a_.operands.size() ? a_.operands[i] : ""; }

  // A wrong or missing argument: the reason, then where help is.
  int Usage(const std::string& reason) {
    *err_ += "lngtool " + std::string(c_.name) + ": " + reason + "\nTry 'lngtool " + c_.name +
             " --help'.\n";
    return kExitFailure;
  }
  bool Error(const std::string& message) {
    *err_ += "lngtool: " + message + "\n";
    return false;
  }
  void Warn(const std::string& message) { *err_ += "lngtool: warning: " + message + "\n"; }

  std::string DefaultProgram() const { return folder_ + kProgramName; }
  std::string ProgramPath() const { return Has("--program") ? Get("--program") : DefaultProgram(); }
  // The catalog, the language module and the program both dialogs come from.
  void SetSources(DialogSources* sources) const {
    sources->catalog = Operand(0);
    sources->languageModule = Get("--dll");
    sources->program = ProgramPath();
  }
  // How a path is named in messages: a default the user did not give says so.
  std::string Named(const std::string& path) const {
    return !Has("--program") && path == DefaultProgram()
               ? "the default program " + path + " (the one beside lngtool; give --program)"
               : path;
  }

  bool Read(const std::string& path, std::vector<uint8_t>* bytes) {
    std::string why;
    return ReadWholeFile(path, bytes, &why) || Error("cannot read " + Named(path) + ": " + why);
  }
  bool LoadModule(const std::string& path, PeModule* module) {
    std::vector<uint8_t> bytes;
    return Read(path, &bytes) &&
           (module->Load(std::move(bytes)) ||
            Error(Named(path) + " is not a module with resources (a program or a DLL)"));
  }
  bool SelectCodec();
  Opened OpenModules(const std::string& named, bool optional);
  bool OpenTexts(const std::string& named, bool optional, bool* have);
  bool LoadCatalog(const std::string& path, CatalogFile* file);
  bool OutAllowed(const std::vector<std::string>& inputs, const std::string& replaceable,
                  bool mayExist);
  bool Emit(const std::vector<uint8_t>& bytes);
  bool EncodeWarned(const std::u16string& text, FileForm form, std::vector<uint8_t>* bytes,
                    const char* instead);

  const Command& c_;
  Arguments a_;
  std::string folder_;
  std::string* out_;
  std::string* err_;

  const AnsiCodec* codec_ = nullptr;
  uint32_t codePage_ = kDefaultCodePage;
  Modules m_;
  std::vector<ProgramText> texts_;
};

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
    m_.name = BaseName(program);
    return LoadModule(program, &m_.dialogs) ? Opened::kYes : Opened::kFailed;
  }
  if (!LoadModule(named, &m_.dialogs)) {
    return Opened::kFailed;
  }
  m_.name = BaseName(named);
  if (!m_.dialogs.IsDll()) {
    return Opened::kYes;
  }
  // A language module's dialogs are shown, but with a catalog loaded the
  // launcher fetches every string from its own English string table.
  if (Has("--program")) {
    m_.haveProgram = LoadModule(program, &m_.program);
    return m_.haveProgram ? Opened::kYes : Opened::kFailed;
  }
  std::vector<uint8_t> probe;
  m_.haveProgram = ReadWholeFile(program, &probe) && m_.program.Load(std::move(probe));
  if (!m_.haveProgram) {
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
    texts_ =
        CollectProgramTexts(m_.dialogs, m_.haveProgram ? &m_.program : nullptr, *codec_, &problems);
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

int Tool::Template() {
  bool have = false;
  if (!OutAllowed({Operand(0), ProgramPath()}, "", false) || !OpenTexts(Operand(0), false, &have)) {
    return kExitFailure;
  }
  std::vector<CatalogEntry> entries;
  for (const ProgramText& t : texts_) {
    entries.push_back({t, DefaultValue(t)});
  }
  std::vector<uint8_t> bytes;
  const std::u16string text = ComposeCatalog(TemplateHeader(m_.name), entries, {});
  return EncodeWarned(text, Has("--ansi") ? FileForm::kAnsi : FileForm::kUtf16, &bytes,
                      "leave out --ansi") &&
                 Emit(bytes)
             ? kExitFine
             : kExitFailure;
}

// gettext's tally of the messages an export gives.
std::string Statistics(const std::vector<TranslationMessage>& messages) {
  uint32_t translated = 0;
  uint32_t fuzzy = 0;
  for (const TranslationMessage& m : messages) {
    translated += m.translated && !m.fuzzy ? 1 : 0;
    fuzzy += m.fuzzy ? 1 : 0;
  }
  const auto untranslated = static_cast<uint32_t>(messages.size()) - translated - fuzzy;
  auto count = [](uint32_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
  };
  std::string line = count(translated, "translated message", "translated messages");
  if (fuzzy != 0) {
    line += ", " + count(fuzzy, "fuzzy translation", "fuzzy translations");
  }
  if (untranslated != 0) {
    line += ", " + count(untranslated, "untranslated message", "untranslated messages");
  }
  return line + ".\n";
}

int Tool::Check() {
  const std::string path = Operand(0);
  bool have = false;
  if (!OpenTexts(Get("--module"), true, &have)) {
    return kExitFailure;
  }
  CatalogFile file(*codec_);
  if (!LoadCatalog(path, &file)) {
    return kExitFailure;
  }
  const bool listing = Has("--untranslated") || Has("--statistics");
  if (listing && !have) {
    Usage("--untranslated and --statistics need the program's texts (give --module)");
    return kExitFailure;
  }
  const CheckReport report = CheckCatalog(file, have ? &texts_ : nullptr, *codec_, codePage_);
  *out_ += report.Format(path);
  if (report.Count(Finding::kEncoding) != 0) {
    *out_ +=
        path + ": note: lngtool convert " + path + " --out " + path + " saves it as UTF-16 LE\n";
  }
  if (listing) {
    std::vector<std::string> problems;
    const std::vector<TranslationMessage> messages = ExportMessages(texts_, &file, &problems);
    for (const TranslationMessage& m : messages) {
      if (Has("--untranslated") && (!m.translated || m.fuzzy)) {
        *out_ += path + (m.line != 0 ? ":" + std::to_string(m.line) : std::string()) +
                 ": untranslated: " + m.id + " " + m.context + " \"" + m.source + "\"" +
                 (m.fuzzy ? " (a fuzzy suggestion waits)" : "") + "\n";
      }
    }
    if (Has("--statistics")) {
      *err_ += Statistics(messages);
    }
  }
  return report.HasErrors() ? kExitFindings : kExitFine;
}

int Tool::Key() {
  const int kind = ParseKind(Operand(0));
  if (kind < 0) {
    return Usage("unknown kind " + Operand(0) + " (s, $ or @)");
  }
  if (!SelectCodec()) {
    return kExitFailure;
  }
  auto text = [&](const std::string& s) {
    const std::u16string t = FromUtf8(s);
    return Has("-e") ? ResolveEscapes(t) : t;
  };
  const bool hasContext = a_.operands.size() == 3;
  const std::u16string context = hasContext ? text(Operand(1)) : u"";
  if (hasContext && context != kDialogNames[0] && context != kDialogNames[1] && context != u"LTR") {
    Warn("the context " + Operand(1) + " is no dialog of the launcher (" + ToUtf8(kDialogNames[0]) +
         ", " + ToUtf8(kDialogNames[1]) + ") nor LTR; are KIND, CONTEXT and TEXT in this order?");
  }
  const std::u16string source = text(a_.operands.back());
  *out_ += KeyText(CatalogKeyCrc(*codec_, kind, hasContext ? context.c_str() : nullptr,
                                 source.c_str())) +
           "\n";
  return kExitFine;
}

int Tool::Merge() {
  if (Has("--ansi") && Has("--utf16")) {
    return Usage("--ansi and --utf16 exclude each other");
  }
  const std::string oldPath = Operand(0);
  bool have = false;
  if (!OutAllowed({oldPath, Operand(1), ProgramPath()}, oldPath, true) ||
      !OpenTexts(Operand(1), false, &have)) {
    return kExitFailure;
  }
  CatalogFile old(*codec_);
  if (!LoadCatalog(oldPath, &old)) {
    return kExitFailure;
  }
  if (old.bigEndian || (old.looksLikeUtf8 && !Has("--codepage"))) {
    Error(oldPath + " is " + (old.bigEndian ? "UTF-16 big-endian" : "UTF-8 by the look of it") +
          ", which the launcher garbles; nothing written (convert it first: lngtool convert " +
          oldPath + " --out " + oldPath +
          (old.bigEndian ? ")" : "; or give --codepage to take it as that code page)"));
    return kExitFailure;
  }
  if (!old.markerFound) {
    Warn(oldPath + " has no marker the launcher finds; no translation can be kept");
  }
  const MergeResult merged = MergeCatalog(old, texts_, TemplateHeader(m_.name));
  for (const ObsoleteEntry& o : merged.obsolete) {
    *err_ += oldPath + ":" + std::to_string(o.line) + ": obsolete: " + ToUtf8(o.key) + "=" +
             Quoted(o.value) + " (" + o.reason + ")\n";
  }
  const std::vector<std::u16string> trailer =
      Has("--no-obsolete") ? std::vector<std::u16string>() : ObsoleteLines(merged.obsolete);
  FileForm form =
      old.markerFound && old.form == CatalogForm::kAnsi ? FileForm::kAnsi : FileForm::kUtf16;
  form = Has("--ansi") ? FileForm::kAnsi : Has("--utf16") ? FileForm::kUtf16 : form;
  std::vector<uint8_t> bytes;
  if (!EncodeWarned(ComposeCatalog(merged.header, merged.entries, trailer), form, &bytes,
                    "write UTF-16 instead: --utf16") ||
      !Emit(bytes)) {
    return kExitFailure;
  }
  *err_ += "lngtool: " + std::to_string(merged.kept) + " translations kept, " +
           std::to_string(merged.added) + " new texts with their English text (" +
           std::to_string(merged.fuzzy) + " with a fuzzy suggestion), " +
           std::to_string(merged.obsolete.size()) + " obsolete entries\n";
  return kExitFine;
}

// The catalog's text in whatever form it was saved: UTF-16 of either byte
// order, UTF-8 with or without a byte-order mark, else the code page.
std::u16string DecodeAnyForm(const std::vector<uint8_t>& b, const AnsiCodec& codec,
                             std::string* form) {
  const bool le = b.size() >= 2 && b[0] == 0xFF && b[1] == 0xFE;
  const bool be = b.size() >= 2 && b[0] == 0xFE && b[1] == 0xFF;
  if (le || be) {
    *form = le ? "UTF-16 LE" : "UTF-16 BE";
    std::u16string text;
    for (size_t i = 2; i + 1 < b.size(); i += 2) {
      text.push_back(static_cast<char16_t>(le ? b[i] | (b[i + 1] << 8) : (b[i] << 8) | b[i + 1]));
    }
    return text;
  }
  const bool bom = b.size() >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF;
  const char* bytes = reinterpret_cast<const char*>(b.data());
  size_t fault = 0;
  bool high = false;
  for (const uint8_t c : b) {
    high = high || c >= 0x80;
  }
  if (bom || (high && ::IsValidUtf8(bytes, b.size(), &fault))) {
    *form = "UTF-8";
    const size_t skip = bom ? 3 : 0;
    return Utf8ToUtf16(bytes + skip, b.size() - skip);
  }
  *form = "the code page";
  return DecodeAnsi(codec, b.data(), b.size());
}

int Tool::Convert() {
  if (Has("--ansi") && Has("--utf16")) {
    return Usage("--ansi and --utf16 exclude each other");
  }
  if (!Has("--out")) {
    return Usage("--out FILE is needed (it may name the input, which is then replaced)");
  }
  const std::string in = Operand(0);
  std::vector<uint8_t> bytes;
  if (!SelectCodec() || !OutAllowed({in}, in, true) || !Read(in, &bytes)) {
    return kExitFailure;
  }
  std::string form;
  const std::u16string text = DecodeAnyForm(bytes, *codec_, &form);
  if (form == "the code page" && std::find(bytes.begin(), bytes.end(), 0) != bytes.end()) {
    // The code page's conversion would end the text there.
    Error(in + " holds a NUL byte, which is no text of a code page; nothing written");
    return kExitFailure;
  }
  const FileForm to = Has("--ansi") ? FileForm::kAnsi : FileForm::kUtf16;
  std::vector<uint8_t> converted;
  if (!EncodeWarned(text, to, &converted, "leave out --ansi") || !Emit(converted)) {
    return kExitFailure;
  }
  *err_ += "lngtool: " + in + " read as " + form + ", written as " +
           (to == FileForm::kAnsi ? "code page " + std::to_string(codePage_) : "UTF-16 LE") + "\n";
  return kExitFine;
}

int Tool::Preview() {
  if (!Has("--out")) {
    return Usage("--out DIR is needed: the folder for the pictures");
  }
  PreviewRequest request;
  SetSources(&request);
  request.outDir = Get("--out");
  return RunPreview(request, out_, err_);
}

int Tool::Export() {
  const int formats = (Has("--po") ? 1 : 0) + (Has("--pot") ? 1 : 0) + (Has("--xliff") ? 1 : 0);
  if (formats != 1) {
    return Usage("give one of --po, --pot and --xliff");
  }
  ExportOptions options;
  options.language = NormalizeLanguage(Get("--language"));
  if (!options.language.empty() && !IsLanguageTag(options.language)) {
    return Usage("--language needs a language tag such as de, pt-BR or gettext's pt_BR");
  }
  const bool withCatalog = a_.operands.size() == 2;
  bool have = false;
  if (!OutAllowed({Operand(0), Operand(1), ProgramPath()}, "", false) ||
      !OpenTexts(Operand(0), false, &have)) {
    return kExitFailure;
  }
  CatalogFile catalog(*codec_);
  if (withCatalog && !LoadCatalog(Operand(1), &catalog)) {
    return kExitFailure;
  }
  if (withCatalog && !catalog.markerFound) {
    Error(Operand(1) + " has no marker the launcher finds (run lngtool check)");
    return kExitFailure;
  }
  options.format = Has("--po")    ? ExportFormat::kPo
                   : Has("--pot") ? ExportFormat::kPot
                                  : ExportFormat::kXliff;
  if (options.language.empty()) {
    options.language = CatalogLanguage(catalog);
  }
  options.moduleName = m_.name;
  options.revisionDate = CurrentRevisionDate();
  options.keepIdentical = Has("--keep-identical");
  options.headerFields = CatalogHeaderFields(catalog);
  std::string document;
  if (!ExportTranslations(texts_, withCatalog ? &catalog : nullptr, options, &document, err_)) {
    return kExitFailure;
  }
  return Emit(std::vector<uint8_t>(document.begin(), document.end())) ? kExitFine : kExitFailure;
}

int Tool::Import() {
  const std::string in = Operand(0);
  ImportOptions options;
  bool have = false;
  std::vector<uint8_t> bytes;
  if (!OutAllowed({in, Get("--module"), ProgramPath()}, "", true) ||
      !OpenTexts(Get("--module"), true, &have) || !Read(in, &bytes)) {
    return kExitFailure;
  }
  options.codePage = codePage_;
  options.fileName = in;
  options.form = Has("--ansi") ? FileForm::kAnsi : FileForm::kUtf16;
  options.useFuzzy = Has("--use-fuzzy");
  ImportOutcome outcome;
  const bool made = ImportTranslations(std::string(bytes.begin(), bytes.end()), options,
                                       have ? &texts_ : nullptr, *codec_, &outcome);
  *err_ += outcome.messages;
  if (!made) {
    Error("nothing written");
    return kExitFailure;
  }
  *err_ += "lngtool: " + std::to_string(outcome.taken) + " translations imported, " +
           std::to_string(outcome.untranslated) + " untranslated and " +
           std::to_string(outcome.fuzzy) + " fuzzy messages left out\n";
  if (outcome.taken == 0) {
    Error(in + " holds no translation" +
          (outcome.fuzzy != 0 ? std::string(" but fuzzy ones (give --use-fuzzy)") : "") +
          "; nothing written");
    return kExitFailure;
  }
  if (outcome.checkErrors && !Has("--force")) {
    Error("the catalog would have the errors above; nothing written (give --force to write it)");
    return kExitFindings;
  }
  if (!Emit(outcome.catalog)) {
    return kExitFailure;
  }
  return outcome.checkErrors ? kExitFindings : kExitFine;
}

int Tool::Pseudo() {
  const std::string expand = Get("--expand");
  if (!Has("--out")) {
    return Usage("--out FILE is needed");
  }
  if (Has("--expand") && (expand.empty() || expand.size() > 3 ||
                          expand.find_first_not_of("0123456789") != std::string::npos)) {
    return Usage("--expand needs a percentage from 0 to 999");
  }
  bool have = false;
  if (!OutAllowed({Operand(0), ProgramPath()}, "", false) || !OpenTexts(Operand(0), false, &have)) {
    return kExitFailure;
  }
  PseudoOptions options;
  options.expandPercent = Has("--expand") ? std::stoi(expand) : -1;
  options.rightToLeft = Has("--rtl");
  std::vector<std::u16string> header = TemplateHeader(m_.name);
  header.push_back(
      u"; A pseudo-translation made by \"lngtool pseudo\", to find texts that do not fit.");
  const std::u16string text = ComposeCatalog(header, PseudoEntries(texts_, options), {});
  bool lossy = false;
  return Emit(EncodeCatalog(text, FileForm::kUtf16, *codec_, &lossy)) ? kExitFine : kExitFailure;
}

int Tool::Layout() {
  if (Has("--write") && !Has("--fit")) {
    return Usage("--write goes with --fit");
  }
  LayoutRequest request;
  SetSources(&request);
  request.fit = Has("--fit");
  request.write = Has("--write");
  request.results = Get("--results");
  if (Has("--dpi") && !ParseDpiList(Get("--dpi"), &request.dpis)) {
    return Usage("--dpi takes display scales such as 96,120,144,192");
  }
  return RunLayout(request, out_, err_);
}

const std::vector<Command>& Commands() {
  const Option po = {"--po", nullptr, "a PO file with the catalog's translations"};
  const Option pot = {"--pot", nullptr, "a POT template, without translations"};
  const Option xliff = {"--xliff", nullptr, "an XLIFF 1.2 file with the catalog's translations"};
  static const std::vector<Command> kCommands = {
      {"template",
       "[MODULE]",
       "a catalog of every text the launcher shows, each in English",
       0,
       1,
       {kAnsi, kCodePage, kOutFile, kForce, kProgram},
       &Tool::Template},
      {"check",
       "FILE",
       "what the launcher will make of FILE; exit 1 when it finds errors",
       1,
       1,
       {kCodePage,
        kModule,
        kProgram,
        {"--untranslated", nullptr, "list the texts still in English"},
        {"--statistics", nullptr, "count translated and untranslated texts, as msgfmt does"}},
       &Tool::Check},
      {"key",
       "KIND [CONTEXT] TEXT",
       "the key of a text; KIND is s (string), $ (dialog) or @ (menu)",
       2,
       3,
       {kCodePage, {"-e", nullptr, "resolve the catalog's escapes (\\r \\n \\t \\\" \\\\)"}},
       &Tool::Key},
      {"merge",
       "OLD [MODULE]",
       "OLD brought up to the program's texts; like texts get fuzzy suggestions",
       1,
       2,
       {{"--out", "FILE", "write to FILE, which may be OLD (default: standard output)"},
        kAnsi,
        kUtf16,
        kCodePage,
        {"--no-obsolete", nullptr, "leave out the entries no text uses"},
        kProgram},
       &Tool::Merge},
      {"convert",
       "IN --out OUT",
       "IN, in whatever form it was saved, in the form the launcher reads",
       1,
       1,
       {{"--out", "OUT", "write to OUT, which may be IN"}, kUtf16, kAnsi, kCodePage},
       &Tool::Convert},
      {"preview",
       "FILE --out DIR",
       "both dialogs as the launcher shows them (Windows build)",
       1,
       1,
       {kDll, {"--out", "DIR", "the folder for the pictures"}, kProgram},
       &Tool::Preview},
      {"export",
       "MODULE [CATALOG]",
       "the texts, with CATALOG's translations, for translation tools",
       1,
       2,
       {po,
        pot,
        xliff,
        {"--language", "TAG", "the translation's language: de, pt-BR or pt_BR"},
        kOutFile,
        kForce,
        {"--keep-identical", nullptr, "export entries equal to their English text as translated"},
        kCodePage,
        kProgram},
       &Tool::Export},
      {"import",
       "FILE.po|FILE.xlf",
       "a checked catalog from a PO or XLIFF file",
       1,
       1,
       {kOutFile,
        kAnsi,
        kCodePage,
        {"--use-fuzzy", nullptr, "take fuzzy translations too"},
        kModule,
        kProgram,
        {"--force", nullptr, "write the catalog even when the checks find errors"}},
       &Tool::Import},
      {"pseudo",
       "[MODULE] --out FILE",
       "a catalog of accented, lengthened, bracketed look-alikes of the texts",
       0,
       1,
       {{"--out", "FILE", "write to FILE"},
        kForce,
        {"--expand", "PERCENT", "lengthen each text by this much (default: by its length)"},
        {"--rtl", nullptr, "right to left"},
        kCodePage,
        kProgram},
       &Tool::Pseudo},
      {"layout",
       "FILE",
       "texts cut, controls overlapping or outside the dialogs (Windows build)",
       1,
       1,
       {kDll,
        kProgram,
        {"--fit", nullptr, "find each dialog's smallest scale entry"},
        {"--write", nullptr, "with --fit: put them in FILE"},
        {"--dpi", "LIST",
         "the display scales to measure at, such as 96,120,144,192 (default: the session's "
         "own), each in a session of its own"},
        {"--results", "DIR", "the folder those sessions share"}},
       &Tool::Layout},
  };
  return kCommands;
}

const Command* FindCommand(const std::string& name) {
  for (const Command& c : Commands()) {
    if (name == c.name) {
      return &c;
    }
  }
  return nullptr;
}

// The command's arguments by its own option table; false with the reason.
bool Parse(const Command& c, const std::vector<std::string>& args, Arguments* parsed,
           std::string* why) {
  bool operandsOnly = false;
  for (size_t i = 1; i < args.size(); ++i) {
    std::string a = args[i];
    if (operandsOnly || a == "-" || a.size() < 2 || a[0] != '-') {
      parsed->operands.push_back(a);
      continue;
    }
    if (a == "--") {
      operandsOnly = true;
      continue;
    }
    std::string value;
    const size_t equals = a.find('=');
    const bool attached = a.compare(0, 2, "--") == 0 && equals != std::string::npos;
    if (attached) {
      value = a.substr(equals + 1);
      a.resize(equals);
    }
    const Option* option = nullptr;
    for (const Option& o : c.options) {
      option = a == o.name ? &o : option;
    }
    if (option == nullptr) {
      *why = "the option " + a + " is not one of " + c.name + "'s";
      return false;
    }
    if (option->value == nullptr && attached) {
      *why = "the option " + a + " takes no value";
      return false;
    }
    if (option->value != nullptr && !attached) {
      if (i + 1 == args.size()) {
        *why = "the option " + a + " needs a value (" + option->value + ")";
        return false;
      }
      value = args[++i];
    }
    parsed->options[a] = value;
  }
  if (parsed->operands.size() < c.minOperands) {
    *why = std::string("missing ") + (parsed->operands.empty() ? "" : "part of ") + c.operands;
    return false;
  }
  if (parsed->operands.size() > c.maxOperands) {
    *why = "one argument too many: " + parsed->operands[c.maxOperands];
    return false;
  }
  return true;
}

bool AsksForHelp(const std::vector<std::string>& args) {
  for (const std::string& a : args) {
    if (a == "--") {
      return false;
    }
    if (a == "--help" || a == "-h") {
      return true;
    }
  }
  return false;
}
}  // namespace

int RunLngtool(const std::vector<std::string>& args, const std::string& defaultFolder,
               std::string* out, std::string* err) {
  if (args.empty()) {
    *err += "lngtool: no command given\nTry 'lngtool --help'.\n";
    return kExitFailure;
  }
  const std::string& first = args[0];
  if (first == "--version" || first == "-V") {
    *out += kVersion;
    return kExitFine;
  }
  if (first == "--help" || first == "-h" || first == "help") {
    if (first != "help" || args.size() == 1) {
      *out += Overview();
      return kExitFine;
    }
    const Command* c = FindCommand(args[1]);
    if (c == nullptr) {
      *err += "lngtool: no command " + args[1] + "\nTry 'lngtool --help'.\n";
      return kExitFailure;
    }
    *out += CommandHelp(*c);
    return kExitFine;
  }
  const Command* c = FindCommand(first);
  if (c == nullptr) {
    *err += "lngtool: unknown command " + first + "\nTry 'lngtool --help'.\n";
    return kExitFailure;
  }
  if (AsksForHelp(args)) {
    *out += CommandHelp(*c);
    return kExitFine;
  }
  Arguments parsed;
  std::string why;
  if (!Parse(*c, args, &parsed, &why)) {
    *err += "lngtool " + first + ": " + why + "\nTry 'lngtool " + first + " --help'.\n";
    return kExitFailure;
  }
  Tool tool(*c, std::move(parsed), defaultFolder, out, err);
  return tool.Run();
}

}  // namespace lngtool
