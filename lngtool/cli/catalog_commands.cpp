// The commands on catalogs: template, check, key, merge, convert, pseudo.
#include <algorithm>
#include <set>

#include "base/utf8.h"
#include "lngtool/catalog/catalog_check.h"
#include "lngtool/catalog/catalog_merge.h"
#include "lngtool/catalog/pseudo_translation.h"
#include "lngtool/catalog/translation_state.h"
#include "lngtool/cli/tool.h"
#include "lngtool/exchange/catalog_export.h"
#include "lngtool/exchange/translation_message.h"
#include "localization/catalog_text.h"

namespace lngtool {

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
  const std::u16string text = ComposeCatalog(TemplateHeader(modules_.name), entries, {});
  return EncodeWarned(text, Has("--ansi") ? FileForm::kAnsi : FileForm::kUtf16, &bytes,
                      "leave out --ansi") &&
                 Emit(bytes)
             ? kExitFine
             : kExitFailure;
}

// Several catalogs (a language set) in one call; each finding names its
// file, and the exit status is the worst of them.
int Tool::Check() {
  bool have = false;
  CheckOptions options;
  if (!ReadCheckOptions(&options) || !OpenTexts(Get("--module"), true, &have)) {
    return kExitFailure;
  }
  if ((Has("--untranslated") || Has("--statistics")) && !have) {
    return Usage("--untranslated and --statistics need the program's texts (give --module)");
  }
  int worst = kExitFine;
  for (const std::string& path : arguments_.operands) {
    worst = std::max(worst, CheckFile(path, have, options));
  }
  return worst;
}

bool Tool::ReadCheckOptions(CheckOptions* options) {
  std::string names = Get("--no-check");
  std::replace(names.begin(), names.end(), ',', ' ');
  for (size_t at = 0; (at = names.find_first_not_of(' ', at)) != std::string::npos;) {
    const size_t end = std::min(names.find(' ', at), names.size());
    const std::string name = names.substr(at, end - at);
    if (!IsTranslatorCheck(name)) {
      Usage("--no-check: there is no check " + name);
      return false;
    }
    options->skipped.insert(name);
    at = end;
  }
  if (!Has("--keep-names")) {
    return true;
  }
  std::vector<uint8_t> bytes;
  if (!SelectCodec() || !Read(Get("--keep-names"), &bytes)) {
    return false;
  }
  // One name a line, in whatever form the editor saved; '#' begins a comment.
  SavedForm form = SavedForm::kUtf8;
  const std::u16string text = DecodeAnyForm(bytes, *codec_, &form);
  options->productNames.clear();
  size_t at = 0;
  while (at <= text.size()) {
    const size_t end = std::min(text.find_first_of(u"\r\n", at), text.size());
    std::u16string name = text.substr(at, end - at);
    name.erase(0, std::min(name.find_first_not_of(u" \t"), name.size()));
    name.erase(std::min(name.find_last_not_of(u" \t") + 1, name.size()));
    if (!name.empty() && name[0] != u'#') {
      options->productNames.push_back(name);
    }
    at = end + 1;
  }
  return true;
}

int Tool::CheckFile(const std::string& path, bool have, const CheckOptions& options) {
  CatalogFile file(*codec_);
  if (!LoadCatalog(path, &file)) {
    return kExitFailure;
  }
  const CheckReport report =
      CheckCatalog(file, have ? &texts_ : nullptr, *codec_, codePage_, options);
  *out_ += report.Format(path);
  if (report.Count(Finding::kEncoding) != 0) {
    *out_ +=
        path + ": note: lngtool convert " + path + " --out " + path + " saves it as UTF-16 LE\n";
  }
  if (Has("--untranslated")) {
    ListUntranslated(path, file);
  }
  if (Has("--statistics")) {
    // msgfmt's line for each file; named when there are several.
    *err_ +=
        (arguments_.operands.size() > 1 ? path + ": " : std::string()) + StatisticsLine(report);
  }
  return report.HasErrors() ? kExitFindings : kExitFine;
}

// Every text export writes as untranslated or fuzzy, as the coverage counts.
void Tool::ListUntranslated(const std::string& path, const CatalogFile& file) {
  std::set<uint32_t> seen;
  for (const ProgramText& t : texts_) {
    if (!seen.insert(t.key).second) {
      continue;
    }
    const TranslationState state = StateOf(file, t);
    if (state == TranslationState::kTranslated) {
      continue;
    }
    const int64_t chosen = file.ChosenLine(FromUtf8(KeyText(t.key)));
    const bool scale = t.role == TextRole::kScale;
    *out_ += path +
             (chosen >= 0 ? ":" + std::to_string(file.lines[static_cast<size_t>(chosen)].fileLine)
                          : std::string()) +
             ": untranslated: " + KeyText(t.key) + " " +
             ContextLabel(t.kind, t.hasContext, t.context, scale) + " \"" +
             (scale ? std::string(kScaleSource) : ToUtf8(t.source)) + "\"" +
             (state == TranslationState::kFuzzy ? " (a fuzzy suggestion waits)" : "") + "\n";
  }
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
  const bool hasContext = arguments_.operands.size() == 3;
  const std::u16string context = hasContext ? text(Operand(1)) : u"";
  if (hasContext && context != kDialogNames[0] && context != kDialogNames[1] && context != u"LTR") {
    Warn("the context " + Operand(1) + " is no dialog of the launcher (" + ToUtf8(kDialogNames[0]) +
         ", " + ToUtf8(kDialogNames[1]) + ") nor LTR; are KIND, CONTEXT and TEXT in this order?");
  }
  const std::u16string source = text(arguments_.operands.back());
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
  const MergeResult merged = MergeCatalog(old, texts_, TemplateHeader(modules_.name));
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
  SavedForm form = SavedForm::kCodePage;
  const std::u16string text = DecodeAnyForm(bytes, *codec_, &form);
  if (form == SavedForm::kCodePage && std::find(bytes.begin(), bytes.end(), 0) != bytes.end()) {
    // The code page's conversion would end the text there.
    Error(in + " holds a NUL byte, which is no text of a code page; nothing written");
    return kExitFailure;
  }
  const FileForm to = Has("--ansi") ? FileForm::kAnsi : FileForm::kUtf16;
  std::vector<uint8_t> converted;
  if (!EncodeWarned(text, to, &converted, "leave out --ansi") || !Emit(converted)) {
    return kExitFailure;
  }
  *err_ += "lngtool: " + in + " read as " + SavedFormName(form) + ", written as " +
           (to == FileForm::kAnsi ? "code page " + std::to_string(codePage_) : "UTF-16 LE") + "\n";
  return kExitFine;
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
  std::vector<std::u16string> header = TemplateHeader(modules_.name);
  header.push_back(
      u"; A pseudo-translation made by \"lngtool pseudo\", to find texts that do not fit.");
  // Its brackets and accents change names, ending marks and leading line
  // breaks on purpose.
  header.push_back(std::u16string(kNoCheckPrefix) + u" newlines, endpunc, names");
  const std::u16string text = ComposeCatalog(header, PseudoEntries(texts_, options), {});
  bool lossy = false;
  return Emit(EncodeCatalog(text, FileForm::kUtf16, *codec_, &lossy)) ? kExitFine : kExitFailure;
}

}  // namespace lngtool
