#include "lngtool/cli/command_line.h"

#include <cstdint>

#include "lngtool/catalog/translator_checks.h"
#include "lngtool/cli/tool.h"

namespace lngtool {
namespace {

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
}  // namespace

std::string CommandHelp(const Command& command) {
  std::string text = std::string("usage: lngtool ") + command.name + " " + command.operands + "\n" +
                     command.summary + "\n\noptions:\n";
  for (const Option& o : command.options) {
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

const std::vector<Command>& Commands() {
  const Option po = {"--po", nullptr, "a PO file with the catalog's translations"};
  const Option pot = {"--pot", nullptr, "a POT template, without translations"};
  const Option xliff = {"--xliff", nullptr, "an XLIFF 1.2 file with the catalog's translations"};
  static const std::string kNoCheckHelp = [] {
    std::string names;
    for (const TranslatorCheck& c : TranslatorChecks()) {
      names += std::string(names.empty() ? "" : ", ") + c.name;
    }
    return "turn off these translators' checks (comma-separated): " + names;
  }();
  static const std::vector<Command> kCommands = {
      {"template",
       "[MODULE]",
       "a catalog of every text the launcher shows, each in English",
       0,
       1,
       {kAnsi, kCodePage, kOutFile, kForce, kProgram},
       &Tool::Template},
      {"check",
       "FILE...",
       "what the launcher will make of each FILE; exit 1 when it finds errors",
       1,
       SIZE_MAX,
       {kCodePage,
        kModule,
        kProgram,
        {"--untranslated", nullptr, "list the texts not yet done (untranslated or fuzzy)"},
        {"--statistics", nullptr, "count translated and untranslated texts, as msgfmt does"},
        {"--no-check", "NAMES", kNoCheckHelp.c_str()},
        {"--keep-names", "FILE",
         "the product names a translation keeps, one a line (default: Zentak, Baidu "
         "Antivirus)"}},
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
       "FILE... --out DIR",
       "both dialogs as the launcher shows them with each catalog (Windows build)",
       1,
       1000,
       {kDll,
        {"--out", "DIR",
         "the folder for the pictures (with several catalogs, a folder each in it)"},
        kProgram},
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
       "FILE.po|FILE.xlf...",
       "a checked catalog from each PO or XLIFF file; exit 1 when one has errors",
       1,
       1000,
       {kOutFile,
        {"--out-dir", "DIR",
         "write each catalog to DIR as NAME.lng (NAME: the file's, "
         "without its extension); needed for several files"},
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
       "FILE...",
       "texts cut, controls overlapping or outside the dialogs, for each catalog (Windows build)",
       1,
       1000,
       {kDll,
        kProgram,
        {"--fit", nullptr, "find each dialog's smallest scale entry"},
        {"--write", nullptr, "with --fit: put them in each FILE"},
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

bool ParseArguments(const Command& command, const std::vector<std::string>& args, Arguments* parsed,
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
    for (const Option& o : command.options) {
      option = a == o.name ? &o : option;
    }
    if (option == nullptr) {
      *why = "the option " + a + " is not one of " + command.name + "'s";
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
  if (parsed->operands.size() < command.minOperands) {
    *why =
        std::string("missing ") + (parsed->operands.empty() ? "" : "part of ") + command.operands;
    return false;
  }
  if (parsed->operands.size() > command.maxOperands) {
    *why = "one argument too many: " + parsed->operands[command.maxOperands];
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
}  // namespace lngtool
