#include "lngtool/program/program_texts.h"

#include <set>

#include "base/bounded_text.h"
#include "localization/catalog_text.h"
#include "localization/message_catalog.h"

namespace lngtool {

namespace {
std::string Narrow(const std::u16string& s) {
  std::string out;
  for (char16_t c : s) {
    out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  }
  return out;
}

ProgramText Make(LookupKind kind, const char16_t* context, const std::u16string& source,
                 TextRole role, const AnsiCodec& codec) {
  ProgramText t;
  t.kind = kind;
  t.hasContext = context != nullptr;
  if (context != nullptr) {
    t.context = context;
  }
  // The launcher reads window texts into 1024 units, so a longer text is
  // looked up by its first 1023.
  t.source = source.substr(0, kDialogTextCapacity - 1);
  t.role = role;
  t.key = CatalogKeyCrc(codec, kind, context, t.source.c_str());
  return t;
}

void AddDialog(const PeModule& module, const char16_t* name, const AnsiCodec& codec,
               std::vector<ProgramText>* out, std::vector<std::string>* problems) {
  std::vector<uint8_t> data;
  DialogTemplate dialog;
  if (!module.FindResource(ResourceName::Number(kResourceDialog), ResourceName::Text(name),
                           &data)) {
    problems->push_back("the module has no dialog " + Narrow(name));
    return;
  }
  if (!ParseDialogTemplate(data, &dialog)) {
    problems->push_back("the dialog template " + Narrow(name) +
                        " is damaged; texts read so far kept");
  }
  std::set<uint32_t> seen;
  auto add = [&](ProgramText t) {
    // One key, one entry: a second "OK" in the same dialog is the same text.
    if (seen.insert(t.key).second) {
      out->push_back(std::move(t));
    }
  };
  if (!dialog.title.empty()) {
    add(Make(kDialogText, name, dialog.title, TextRole::kTitle, codec));
  }
  for (const DialogControl& c : dialog.controls) {
    if (c.text.form != TemplateText::kString || c.text.text.empty()) {
      continue;
    }
    ProgramText t = Make(kDialogText, name, c.text.text,
                         c.ShowsImage() ? TextRole::kImageName : TextRole::kControl, codec);
    t.id = c.id;
    t.className = c.ClassName();
    t.style = c.style;
    t.width = c.cx;
    t.height = c.cy;
    add(std::move(t));
  }
  ProgramText scale = Make(kDialogText, name, u"", TextRole::kScale, codec);
  add(std::move(scale));
}
}  // namespace

size_t ProgramText::Capacity() const {
  switch (role) {
    case TextRole::kString:
    case TextRole::kScale:
      return kFetchCapacity;
    default:
      return kDialogTextCapacity;
  }
}

bool ProgramText::Translatable() const {
  return role == TextRole::kString || role == TextRole::kTitle || role == TextRole::kControl;
}

std::vector<ProgramText> CollectProgramTexts(const PeModule& dialogs, const PeModule* strings,
                                             const AnsiCodec& codec,
                                             std::vector<std::string>* problems) {
  std::vector<ProgramText> out;
  const PeModule& stringModule = strings != nullptr ? *strings : dialogs;
  for (uint16_t id = kFirstStringId; id <= kLastStringId; ++id) {
    std::u16string text;
    if (!stringModule.LoadString(id, &text)) {
      problems->push_back("the module has no string " + std::to_string(id));
      continue;
    }
    ProgramText t =
        Make(kStringText, nullptr, text.substr(0, kFetchCapacity - 1), TextRole::kString, codec);
    t.id = id;
    out.push_back(std::move(t));
  }
  for (const char16_t* name : kDialogNames) {
    AddDialog(dialogs, name, codec, &out, problems);
  }
  out.push_back(Make(kDialogText, u"LTR", u"LTR", TextRole::kDirection, codec));
  return out;
}

const char* KindLetter(LookupKind kind) {
  const LookupKindName* name = FindLookupKindName(kind);
  return name != nullptr ? name->letter : "?";
}

int ParseKind(const std::string& name) {
  for (const LookupKindName& k : kLookupKindNames) {
    if (name == k.letter || name == k.word) {
      return k.kind;
    }
  }
  return -1;
}

}  // namespace lngtool
