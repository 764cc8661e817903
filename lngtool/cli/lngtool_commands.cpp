#include "lngtool/cli/lngtool_commands.h"

#include <map>
#include <memory>
#include <set>

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

const char kUsage[] =
    "usage: lngtool COMMAND ...\n"
    "  template [MODULE] [--ansi] [--codepage N] [--out FILE] [--program EXE]\n"
    "      a catalog of every text the launcher shows, each with its English text\n"
    "  check FILE [--codepage N] [--module MODULE] [--program EXE]\n"
    "      what the launcher will make of FILE; exit 1 when it finds errors\n"
    "  key KIND [CONTEXT] TEXT [--codepage N] [-e]\n"
    "      the key of a text; KIND is s (string), $ (dialog) or @ (menu);\n"
    "      -e resolves the catalog's escapes (\\r \\n \\t \\\" \\\\) in CONTEXT and TEXT\n"
    "  merge OLD [MODULE] [--out FILE] [--ansi | --utf16] [--codepage N] [--no-obsolete]\n"
    "      OLD brought up to the program's current texts, its translations kept\n"
    "  preview FILE [--dll ztklng.dll] --out DIR [--program EXE]\n"
    "      both dialogs as the launcher shows them with FILE (Windows build)\n"
    "  export MODULE [CATALOG] (--po | --pot | --xliff) [--language TAG] [--out FILE]\n"
    "      the texts, with CATALOG's translations, for translation tools\n"
    "  import FILE.po|FILE.xlf [--out FILE] [--ansi] [--codepage N] [--use-fuzzy]\n"
    "      [--module MODULE] [--program EXE]\n"
    "      a checked catalog from a PO or XLIFF file\n"
    "  pseudo [MODULE] --out FILE [--expand PERCENT] [--rtl]\n"
    "      a catalog whose texts are accented, lengthened and bracketed look-alikes\n"
    "  layout FILE [--dll ztklng.dll] [--program EXE] [--fit [--write]] [--dpi LIST]\n"
    "      [--results DIR]\n"
    "      texts cut, controls overlapping or outside the dialogs with FILE; --fit\n"
    "      finds each dialog's smallest scale entry, --write puts it in FILE;\n"
    "      --dpi: the display scales (the session's own by default), each\n"
    "      measured in a session of its own sharing DIR (Windows build)\n"
    "MODULE is Launcher.exe (default: the one beside lngtool) or a language module\n"
    "(ztklng.dll), whose dialogs are then used with the program's strings.\n";

// Options that take a value; the others are switches.
const std::set<std::string> kValued = {"--codepage", "--out",    "--program", "--module", "--dll",
                                       "--language", "--expand", "--dpi",     "--results"};
const std::set<std::string> kSwitches = {"--ansi", "--utf16", "--no-obsolete", "-e",
                                         "--po",   "--pot",   "--xliff",       "--use-fuzzy",
                                         "--rtl",  "--fit",   "--write"};

struct Arguments {
  std::vector<std::string> positional;
  std::map<std::string, std::string> options;
  bool Has(const std::string& name) const { return options.count(name) != 0; }
  std::string Get(const std::string& name) const {
    const auto it = options.find(name);
    return it == options.end() ? "" : it->second;
  }
};

bool ParseArguments(const std::vector<std::string>& args, Arguments* parsed, std::string* err) {
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--") {
      parsed->positional.insert(parsed->positional.end(),
                                args.begin() + static_cast<ptrdiff_t>(i) + 1, args.end());
      return true;
    }
    if (kValued.count(a) != 0) {
      if (i + 1 == args.size()) {
        *err += "lngtool: " + a + " needs a value\n";
        return false;
      }
      parsed->options[a] = args[++i];
    } else if (kSwitches.count(a) != 0) {
      parsed->options[a] = "";
    } else if (a.size() > 1 && a[0] == '-' && a != "-") {
      *err += "lngtool: unknown option " + a + "\n";
      return false;
    } else {
      parsed->positional.push_back(a);
    }
  }
  return true;
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The modules the launcher reads its texts from: the dialogs' module and the
// program, whose English strings key every string once a catalog is loaded.
struct Modules {
  PeModule dialogs;
  PeModule program;
  bool haveProgram = false;
  std::string name;
};

bool LoadModule(const std::string& path, PeModule* module, std::string* err) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, &bytes)) {
    *err += "lngtool: cannot read " + path + "\n";
    return false;
  }
  if (!module->Load(std::move(bytes))) {
    *err += "lngtool: " + path + " is not a module with resources\n";
    return false;
  }
  return true;
}

bool OpenModules(const std::string& named, const Arguments& a, const std::string& defaultFolder,
                 Modules* m, std::string* err, bool quietWhenAbsent) {
  const std::string program =
      a.Has("--program") ? a.Get("--program") : defaultFolder + "Launcher.exe";
  if (named.empty()) {
    std::vector<uint8_t> probe;
    if (!a.Has("--program") && quietWhenAbsent && !ReadWholeFile(program, &probe)) {
      return false;
    }
    if (!LoadModule(program, &m->dialogs, err)) {
      return false;
    }
    m->name = BaseName(program);
    return true;
  }
  if (!LoadModule(named, &m->dialogs, err)) {
    return false;
  }
  m->name = BaseName(named);
  if (!m->dialogs.IsDll()) {
    return true;
  }
  // A language module's dialogs are shown, but with a catalog loaded the
  // launcher fetches every string from its own English string table.
  std::vector<uint8_t> probe;
  if (ReadWholeFile(program, &probe) && m->program.Load(std::move(probe))) {
    m->haveProgram = true;
  } else {
    *err += "lngtool: warning: " + program +
            " not found, so the strings are taken from the language module; with a catalog "
            "loaded the launcher keys them by its own English strings instead (give --program)\n";
  }
  return true;
}

std::vector<ProgramText> Texts(const Modules& m, const AnsiCodec& codec, std::string* err) {
  std::vector<std::string> problems;
  std::vector<ProgramText> texts =
      CollectProgramTexts(m.dialogs, m.haveProgram ? &m.program : nullptr, codec, &problems);
  for (const std::string& p : problems) {
    *err += "lngtool: warning: " + p + "\n";
  }
  return texts;
}

bool Codec(const Arguments& a, const AnsiCodec** codec, uint32_t* codePage, std::string* err) {
  *codePage = kDefaultCodePage;
  if (a.Has("--codepage")) {
    const std::string value = a.Get("--codepage");
    if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos ||
        value.size() > 5) {
      *err += "lngtool: --codepage needs a number\n";
      return false;
    }
    *codePage = static_cast<uint32_t>(std::stoul(value));
  }
  std::string why;
  if (!SelectCodePage(*codePage, codec, &why)) {
    *err += "lngtool: " + why + "\n";
    return false;
  }
  return true;
}

bool Emit(const Arguments& a, const std::vector<uint8_t>& bytes, std::string* out,
          std::string* err) {
  if (!a.Has("--out")) {
    out->append(bytes.begin(), bytes.end());
    return true;
  }
  if (WriteWholeFile(a.Get("--out"), bytes)) {
    return true;
  }
  *err += "lngtool: cannot write " + a.Get("--out") + "\n";
  return false;
}

bool LoadCatalogFile(const std::string& path, CatalogFile* file, std::string* err) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, &bytes)) {
    *err += "lngtool: cannot read " + path + "\n";
    return false;
  }
  file->Load(bytes);
  return true;
}

// The code page the options name, and the catalog at path read in it.
struct OpenedCatalog {
  const AnsiCodec* codec = nullptr;
  uint32_t codePage = 0;
  std::unique_ptr<CatalogFile> file;
};

bool OpenCatalog(const Arguments& a, const std::string& path, OpenedCatalog* opened,
                 std::string* err) {
  if (!Codec(a, &opened->codec, &opened->codePage, err)) {
    return false;
  }
  opened->file = std::make_unique<CatalogFile>(*opened->codec);
  return LoadCatalogFile(path, opened->file.get(), err);
}

// The code page the options name, and the program or module named (empty:
// the program beside lngtool).
bool OpenProgram(const Arguments& a, const std::string& named, const std::string& folder,
                 const AnsiCodec** codec, uint32_t* codePage, Modules* m, std::string* err) {
  return Codec(a, codec, codePage, err) && OpenModules(named, a, folder, m, err, false);
}

int Template(const Arguments& a, const std::string& folder, std::string* out, std::string* err) {
  if (a.positional.size() > 1) {
    *err += kUsage;
    return kExitFailure;
  }
  const AnsiCodec* codec = nullptr;
  uint32_t codePage = 0;
  Modules m;
  if (!OpenProgram(a, a.positional.empty() ? "" : a.positional[0], folder, &codec, &codePage, &m,
                   err)) {
    return kExitFailure;
  }
  std::vector<CatalogEntry> entries;
  for (const ProgramText& t : Texts(m, *codec, err)) {
    entries.push_back({t, DefaultValue(t)});
  }
  const std::u16string text = ComposeCatalog(TemplateHeader(m.name), entries, {});
  bool lossy = false;
  const std::vector<uint8_t> bytes =
      EncodeCatalog(text, a.Has("--ansi") ? FileForm::kAnsi : FileForm::kUtf16, *codec, &lossy);
  if (lossy) {
    *err += "lngtool: warning: some characters have no form in code page " +
            std::to_string(codePage) + "; write UTF-16 instead (leave out --ansi)\n";
  }
  return Emit(a, bytes, out, err) ? kExitFine : kExitFailure;
}

int Check(const Arguments& a, const std::string& folder, std::string* out, std::string* err) {
  if (a.positional.size() != 1) {
    *err += kUsage;
    return kExitFailure;
  }
  OpenedCatalog c;
  if (!OpenCatalog(a, a.positional[0], &c, err)) {
    return kExitFailure;
  }
  Modules m;
  std::vector<ProgramText> texts;
  const bool haveTexts = OpenModules(a.Get("--module"), a, folder, &m, err, true);
  if (haveTexts) {
    texts = Texts(m, *c.codec, err);
  }
  const CheckReport report =
      CheckCatalog(*c.file, haveTexts ? &texts : nullptr, *c.codec, c.codePage);
  *out += report.Format(a.positional[0]);
  return report.HasErrors() ? kExitFindings : kExitFine;
}

int Key(const Arguments& a, std::string* out, std::string* err) {
  if (a.positional.size() < 2 || a.positional.size() > 3) {
    *err += kUsage;
    return kExitFailure;
  }
  const int kind = ParseKind(a.positional[0]);
  if (kind < 0) {
    *err += "lngtool: unknown kind " + a.positional[0] + " (s, $ or @)\n";
    return kExitFailure;
  }
  const AnsiCodec* codec = nullptr;
  uint32_t codePage = 0;
  if (!Codec(a, &codec, &codePage, err)) {
    return kExitFailure;
  }
  auto text = [&](const std::string& s) {
    const std::u16string t = FromUtf8(s);
    return a.Has("-e") ? ResolveEscapes(t) : t;
  };
  const bool hasContext = a.positional.size() == 3;
  const std::u16string context = hasContext ? text(a.positional[1]) : u"";
  const std::u16string source = text(a.positional.back());
  *out +=
      KeyText(CatalogKeyCrc(*codec, kind, hasContext ? context.c_str() : nullptr, source.c_str())) +
      "\n";
  return kExitFine;
}

int Merge(const Arguments& a, const std::string& folder, std::string* out, std::string* err) {
  if (a.positional.empty() || a.positional.size() > 2 || (a.Has("--ansi") && a.Has("--utf16"))) {
    *err += kUsage;
    return kExitFailure;
  }
  OpenedCatalog c;
  if (!OpenCatalog(a, a.positional[0], &c, err)) {
    return kExitFailure;
  }
  const AnsiCodec* codec = c.codec;
  const uint32_t codePage = c.codePage;
  const CatalogFile& old = *c.file;
  if (!old.markerFound) {
    *err += "lngtool: warning: " + a.positional[0] +
            " has no marker the launcher finds; no translation can be kept\n";
  }
  Modules m;
  if (!OpenModules(a.positional.size() == 2 ? a.positional[1] : "", a, folder, &m, err, false)) {
    return kExitFailure;
  }
  const MergeResult merged = MergeCatalog(old, Texts(m, *codec, err), TemplateHeader(m.name));
  for (const ObsoleteEntry& o : merged.obsolete) {
    *err += a.positional[0] + ":" + std::to_string(o.line) + ": obsolete: " + ToUtf8(o.key) + "=" +
            Quoted(o.value) + " (" + o.reason + ")\n";
  }
  *err += "lngtool: " + std::to_string(merged.kept) + " translations kept, " +
          std::to_string(merged.added) + " new texts with their English text, " +
          std::to_string(merged.obsolete.size()) + " obsolete entries\n";
  const std::vector<std::u16string> trailer =
      a.Has("--no-obsolete") ? std::vector<std::u16string>() : ObsoleteLines(merged.obsolete);
  const std::u16string text = ComposeCatalog(merged.header, merged.entries, trailer);
  FileForm form =
      old.markerFound && old.form == CatalogForm::kAnsi ? FileForm::kAnsi : FileForm::kUtf16;
  if (a.Has("--ansi")) {
    form = FileForm::kAnsi;
  }
  if (a.Has("--utf16")) {
    form = FileForm::kUtf16;
  }
  bool lossy = false;
  const std::vector<uint8_t> bytes = EncodeCatalog(text, form, *codec, &lossy);
  if (lossy) {
    *err += "lngtool: warning: some characters have no form in code page " +
            std::to_string(codePage) + "; write UTF-16 instead (--utf16)\n";
  }
  return Emit(a, bytes, out, err) ? kExitFine : kExitFailure;
}

int Export(const Arguments& a, const std::string& folder, std::string* out, std::string* err) {
  const int formats =
      (a.Has("--po") ? 1 : 0) + (a.Has("--pot") ? 1 : 0) + (a.Has("--xliff") ? 1 : 0);
  if (a.positional.empty() || a.positional.size() > 2 || formats != 1) {
    *err += kUsage;
    return kExitFailure;
  }
  const AnsiCodec* codec = nullptr;
  uint32_t codePage = 0;
  Modules m;
  if (!OpenProgram(a, a.positional[0], folder, &codec, &codePage, &m, err)) {
    return kExitFailure;
  }
  CatalogFile catalog(*codec);
  const bool withCatalog = a.positional.size() == 2;
  if (withCatalog && !LoadCatalogFile(a.positional[1], &catalog, err)) {
    return kExitFailure;
  }
  if (withCatalog && !catalog.markerFound) {
    *err +=
        "lngtool: " + a.positional[1] + " has no marker the launcher finds (run lngtool check)\n";
    return kExitFailure;
  }
  ExportOptions options;
  options.format = a.Has("--po")    ? ExportFormat::kPo
                   : a.Has("--pot") ? ExportFormat::kPot
                                    : ExportFormat::kXliff;
  options.language = a.Has("--language") ? a.Get("--language") : CatalogLanguage(catalog);
  if (!options.language.empty() && !IsLanguageTag(options.language)) {
    *err += "lngtool: --language needs a BCP 47 tag such as de or pt-BR\n";
    return kExitFailure;
  }
  options.moduleName = m.name;
  options.revisionDate = CurrentRevisionDate();
  std::string document;
  if (!ExportTranslations(Texts(m, *codec, err), withCatalog ? &catalog : nullptr, options,
                          &document, err)) {
    return kExitFailure;
  }
  return Emit(a, std::vector<uint8_t>(document.begin(), document.end()), out, err) ? kExitFine
                                                                                   : kExitFailure;
}

int Import(const Arguments& a, const std::string& folder, std::string* out, std::string* err) {
  if (a.positional.size() != 1 || (a.Has("--ansi") && a.Has("--utf16"))) {
    *err += kUsage;
    return kExitFailure;
  }
  const AnsiCodec* codec = nullptr;
  ImportOptions options;
  if (!Codec(a, &codec, &options.codePage, err)) {
    return kExitFailure;
  }
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(a.positional[0], &bytes)) {
    *err += "lngtool: cannot read " + a.positional[0] + "\n";
    return kExitFailure;
  }
  Modules m;
  std::vector<ProgramText> texts;
  const bool haveTexts = OpenModules(a.Get("--module"), a, folder, &m, err, true);
  if (haveTexts) {
    texts = Texts(m, *codec, err);
  }
  options.fileName = a.positional[0];
  options.form = a.Has("--ansi") ? FileForm::kAnsi : FileForm::kUtf16;
  options.useFuzzy = a.Has("--use-fuzzy");
  ImportOutcome outcome;
  const bool made = ImportTranslations(std::string(bytes.begin(), bytes.end()), options,
                                       haveTexts ? &texts : nullptr, *codec, &outcome);
  *err += outcome.messages;
  if (!made) {
    *err += "lngtool: nothing written\n";
    return kExitFailure;
  }
  *err += "lngtool: " + std::to_string(outcome.taken) + " translations imported, " +
          std::to_string(outcome.untranslated) + " untranslated and " +
          std::to_string(outcome.fuzzy) + " fuzzy messages left out\n";
  if (!Emit(a, outcome.catalog, out, err)) {
    return kExitFailure;
  }
  return outcome.checkErrors ? kExitFindings : kExitFine;
}

int Preview(const Arguments& a, const std::string& folder, std::string* out, std::string* err) {
  if (a.positional.size() != 1 || !a.Has("--out")) {
    *err += kUsage;
    return kExitFailure;
  }
  PreviewRequest request;
  request.catalog = a.positional[0];
  request.languageModule = a.Get("--dll");
  request.program = a.Has("--program") ? a.Get("--program") : folder + "Launcher.exe";
  request.outDir = a.Get("--out");
  return RunPreview(request, out, err);
}
int Pseudo(const Arguments& a, const std::string& folder, std::string* out, std::string* err) {
  const std::string expand = a.Get("--expand");
  if (a.positional.size() > 1 || !a.Has("--out") ||
      (a.Has("--expand") && (expand.empty() || expand.size() > 3 ||
                             expand.find_first_not_of("0123456789") != std::string::npos))) {
    *err += kUsage;
    return kExitFailure;
  }
  const AnsiCodec* codec = nullptr;
  uint32_t codePage = 0;
  Modules m;
  if (!OpenProgram(a, a.positional.empty() ? "" : a.positional[0], folder, &codec, &codePage, &m,
                   err)) {
    return kExitFailure;
  }
  PseudoOptions options;
  options.expandPercent = a.Has("--expand") ? std::stoi(expand) : -1;
  options.rightToLeft = a.Has("--rtl");
  std::vector<std::u16string> header = TemplateHeader(m.name);
  header.push_back(
      u"; A pseudo-translation made by \"lngtool pseudo\", to find texts that do not fit.");
  const std::u16string text =
      ComposeCatalog(header, PseudoEntries(Texts(m, *codec, err), options), {});
  bool lossy = false;
  return Emit(a, EncodeCatalog(text, FileForm::kUtf16, *codec, &lossy), out, err) ? kExitFine
                                                                                  : kExitFailure;
}

int Layout(const Arguments& a, const std::string& folder, std::string* out, std::string* err) {
  if (a.positional.size() != 1 || (a.Has("--write") && !a.Has("--fit"))) {
    *err += kUsage;
    return kExitFailure;
  }
  LayoutRequest request;
  request.catalog = a.positional[0];
  request.languageModule = a.Get("--dll");
  request.program = a.Has("--program") ? a.Get("--program") : folder + "Launcher.exe";
  request.fit = a.Has("--fit");
  request.write = a.Has("--write");
  request.results = a.Get("--results");
  if (a.Has("--dpi") && !ParseDpiList(a.Get("--dpi"), &request.dpis)) {
    *err += "lngtool: --dpi takes display scales such as 96,120,144,192\n";
    return kExitFailure;
  }
  return RunLayout(request, out, err);
}
}  // namespace

int RunLngtool(const std::vector<std::string>& args, const std::string& defaultFolder,
               std::string* out, std::string* err) {
  if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    (args.empty() ? *err : *out) += kUsage;
    return args.empty() ? kExitFailure : kExitFine;
  }
  Arguments a;
  if (!ParseArguments(args, &a, err)) {
    return kExitFailure;
  }
  const std::string& command = args[0];
  if (command == "template") {
    return Template(a, defaultFolder, out, err);
  }
  if (command == "check") {
    return Check(a, defaultFolder, out, err);
  }
  if (command == "key") {
    return Key(a, out, err);
  }
  if (command == "merge") {
    return Merge(a, defaultFolder, out, err);
  }
  if (command == "preview") {
    return Preview(a, defaultFolder, out, err);
  }
  if (command == "export") {
    return Export(a, defaultFolder, out, err);
  }
  if (command == "import") {
    return Import(a, defaultFolder, out, err);
  }
  if (command == "pseudo") {
    return Pseudo(a, defaultFolder, out, err);
  }
  if (command == "layout") {
    return Layout(a, defaultFolder, out, err);
  }
  *err += "lngtool: unknown command " + command + "\n" + kUsage;
  return kExitFailure;
}

}  // namespace lngtool
