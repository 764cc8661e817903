// The commands for translators' tools: export, import.
#include <algorithm>

#include "lngtool/cli/tool.h"
#include "lngtool/exchange/catalog_export.h"
#include "lngtool/exchange/catalog_import.h"

namespace lngtool {

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
  const bool withCatalog = arguments_.operands.size() == 2;
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
  options.moduleName = modules_.name;
  options.revisionDate = CurrentRevisionDate();
  options.keepIdentical = Has("--keep-identical");
  options.headerFields = CatalogHeaderFields(catalog);
  std::string document;
  if (!ExportTranslations(texts_, withCatalog ? &catalog : nullptr, options, &document, err_)) {
    return kExitFailure;
  }
  return Emit(std::vector<uint8_t>(document.begin(), document.end())) ? kExitFine : kExitFailure;
}

namespace {
std::string Stem(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string Count(uint32_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}
}  // namespace

int Tool::Import() {
  const std::vector<std::string>& ins = arguments_.operands;
  if (ins.size() > 1 && !Has("--out-dir")) {
    return Usage("several files need --out-dir DIR (each is written there as NAME.lng)");
  }
  if (Has("--out") && Has("--out-dir")) {
    return Usage("--out and --out-dir exclude each other");
  }
  std::vector<std::string> outs;
  std::vector<std::string> inputs = ins;
  inputs.push_back(Get("--module"));
  inputs.push_back(ProgramPath());
  for (const std::string& in : ins) {
    const std::string out = Has("--out-dir") ? Get("--out-dir") + "/" + Stem(in) + ".lng" : "";
    if (!out.empty() && std::find(outs.begin(), outs.end(), out) != outs.end()) {
      return Usage("two files would both be written as " + out);
    }
    for (const std::string& other : inputs) {
      if (!out.empty() && !other.empty() && SameFile(other, out)) {
        Error(out + " would replace the input " + Named(other) +
              "; nothing written (give another --out-dir)");
        return kExitFailure;
      }
    }
    outs.push_back(out);
  }
  bool have = false;
  if (!OutAllowed(inputs, "", true) || !OpenTexts(Get("--module"), true, &have)) {
    return kExitFailure;
  }
  int worst = kExitFine;
  for (size_t i = 0; i < ins.size(); ++i) {
    worst = std::max(worst, ImportOne(ins[i], outs[i], have));
  }
  return worst;
}

// One file into out (empty: --out or standard output); its exit status.
int Tool::ImportOne(const std::string& in, const std::string& out, bool have) {
  std::vector<uint8_t> bytes;
  if (!Read(in, &bytes)) {
    return kExitFailure;
  }
  ImportOptions options;
  options.codePage = codePage_;
  options.fileName = in;
  options.form = Has("--ansi") ? FileForm::kAnsi : FileForm::kUtf16;
  options.useFuzzy = Has("--use-fuzzy");
  ImportOutcome outcome;
  const bool made = ImportTranslations(std::string(bytes.begin(), bytes.end()), options,
                                       have ? &texts_ : nullptr, *codec_, &outcome);
  *err_ += outcome.messages;
  const std::string errors = Count(outcome.errors, "error", "errors");
  if (!made) {
    Error(in + ": nothing written: " + errors);
    return kExitFailure;
  }
  const std::string tally = " (" + std::to_string(outcome.untranslated) + " untranslated and " +
                            std::to_string(outcome.fuzzy) + " fuzzy messages left out, " +
                            Count(outcome.obsolete, "obsolete message", "obsolete messages") +
                            " kept)";
  if (outcome.taken == 0) {
    Error(in + ": nothing written: it holds no translation" +
          (outcome.fuzzy != 0 ? std::string(" but fuzzy ones (give --use-fuzzy)") : ""));
    return kExitFailure;
  }
  if (outcome.checkErrors && !Has("--force")) {
    Error(in + ": nothing written: the catalog would have " + errors +
          " (give --force to write it)");
    return kExitFindings;
  }
  std::string why;
  const bool written = out.empty()
                           ? Emit(outcome.catalog)
                           : WriteWholeFile(out, outcome.catalog, &why) ||
                                 Error("cannot write " + out + ": " + why + "; it is as it was");
  if (!written) {
    return kExitFailure;
  }
  const std::string target = !out.empty()   ? out
                             : Has("--out") ? Get("--out")
                                            : std::string("standard output");
  *err_ += "lngtool: " + in + ": " + Count(outcome.taken, "translation", "translations") +
           " written to " + target + tally +
           (outcome.checkErrors ? ", despite " + errors : std::string()) + "\n";
  return outcome.checkErrors ? kExitFindings : kExitFine;
}

}  // namespace lngtool
