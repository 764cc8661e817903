// The commands for translators' tools: export, import.
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

}  // namespace lngtool
