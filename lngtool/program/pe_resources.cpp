#include "lngtool/program/pe_resources.h"

#include <utility>

#include "base/byte_order.h"

namespace lngtool {
namespace {
constexpr uint32_t kSubdirectoryBit = 0x80000000u;
constexpr uint32_t kDirectoryBytes = 16;
constexpr uint32_t kEntryBytes = 8;
constexpr uint32_t kDataEntryBytes = 16;
constexpr uint32_t kResourceDirectoryIndex = 2;
constexpr uint16_t kFileDll = 0x2000;
// Directories of a damaged module might point at each other; the real tree
// is three levels deep and no directory holds more entries than this.
constexpr uint32_t kMaxEntries = 0x10000;

bool Fits(size_t total, uint64_t offset, uint64_t size) {
  return offset <= total && size <= total - offset;
}

char16_t AsciiUpper(char16_t c) { return c >= u'a' && c <= u'z' ? c - (u'a' - u'A') : c; }

bool SameNameText(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) {
      return false;
    }
  }
  return true;
}

// Reads a template's fields in order, failing for good at the first read
// past the end.
class TemplateReader {
 public:
  explicit TemplateReader(const std::vector<uint8_t>& data) : data_(data) {}
  bool Ok() const { return ok_; }

  uint16_t Word() {
    if (!Fits(data_.size(), at_, 2)) {
      return Fail16();
    }
    const uint16_t v = ReadLittleEndian16(data_.data() + at_);
    at_ += 2;
    return v;
  }
  uint32_t Dword() {
    const uint32_t low = Word();
    return low | (static_cast<uint32_t>(Word()) << 16);
  }
  uint8_t Byte() {
    if (!Fits(data_.size(), at_, 1)) {
      return static_cast<uint8_t>(Fail16());
    }
    return data_[at_++];
  }
  int16_t Short() { return static_cast<int16_t>(Word()); }

  std::u16string String() {
    std::u16string s;
    for (uint16_t c = Word(); ok_ && c != 0; c = Word()) {
      s.push_back(c);
    }
    return s;
  }
  // sz_Or_Ord: 0 none, 0xFFFF then an ordinal, else a text.
  TemplateText TextOrOrdinal() {
    TemplateText t;
    const uint16_t first = Word();
    if (!ok_ || first == 0) {
      return t;
    }
    if (first == 0xFFFF) {
      t.form = TemplateText::kOrdinal;
      t.ordinal = Word();
      return t;
    }
    t.form = TemplateText::kString;
    t.text.push_back(first);
    t.text += String();
    return t;
  }
  std::vector<uint8_t> Bytes(size_t n) {
    if (!Fits(data_.size(), at_, n)) {
      Fail16();
      return {};
    }
    std::vector<uint8_t> out(data_.begin() + static_cast<ptrdiff_t>(at_),
                             data_.begin() + static_cast<ptrdiff_t>(at_ + n));
    at_ += n;
    return out;
  }
  void AlignDword() { at_ = (at_ + 3) & ~size_t{3}; }

 private:
  uint16_t Fail16() {
    ok_ = false;
    at_ = data_.size();
    return 0;
  }
  const std::vector<uint8_t>& data_;
  size_t at_ = 0;
  bool ok_ = true;
};

void ReadControl(TemplateReader& r, bool extended, DialogControl* c) {
  r.AlignDword();
  if (extended) {
    r.Dword();  // help id
    c->exStyle = r.Dword();
    c->style = r.Dword();
  } else {
    c->style = r.Dword();
    c->exStyle = r.Dword();
  }
  c->x = r.Short();
  c->y = r.Short();
  c->cx = r.Short();
  c->cy = r.Short();
  // A classic id is 16 bits wide and signed: -1 marks a control never addressed.
  c->id = extended ? r.Dword() : static_cast<uint32_t>(static_cast<int32_t>(r.Short()));
  c->windowClass = r.TextOrOrdinal();
  c->text = r.TextOrOrdinal();
  // The count excludes its own word, as the dialog manager reads it.
  const uint16_t extra = r.Word();
  c->creationData = r.Bytes(extra);
}
}  // namespace

ResourceName ResourceName::Number(uint16_t n) {
  ResourceName r;
  r.number = n;
  return r;
}

ResourceName ResourceName::Text(const std::u16string& t) {
  ResourceName r;
  r.isNumber = false;
  r.text = t;
  return r;
}

bool PeModule::Load(std::vector<uint8_t> bytes) {
  bytes_ = std::move(bytes);
  sections_.clear();
  resourceRva_ = resourceSize_ = 0;
  isDll_ = false;
  const size_t n = bytes_.size();
  const uint8_t* b = bytes_.data();
  if (!Fits(n, 0, 64) || b[0] != 'M' || b[1] != 'Z') {
    return false;
  }
  const uint32_t pe = ReadLittleEndian32(b + 0x3C);
  if (!Fits(n, pe, 24) || ReadLittleEndian32(b + pe) != 0x00004550u) {
    return false;
  }
  const uint16_t sectionCount = ReadLittleEndian16(b + pe + 6);
  const uint16_t optionalSize = ReadLittleEndian16(b + pe + 20);
  isDll_ = (ReadLittleEndian16(b + pe + 22) & kFileDll) != 0;
  const uint64_t optional = pe + 24ull;
  if (!Fits(n, optional, optionalSize) || optionalSize < 2) {
    return false;
  }
  const uint16_t magic = ReadLittleEndian16(b + optional);
  const uint64_t directories = optional + (magic == 0x20B ? 112 : 96);
  const uint64_t countField = directories - 4;
  if (magic != 0x10B && magic != 0x20B) {
    return false;
  }
  if (countField + 4 > optional + optionalSize) {
    return false;
  }
  const uint32_t directoryCount = ReadLittleEndian32(b + countField);
  const uint64_t resourceEntry = directories + 8ull * kResourceDirectoryIndex;
  if (directoryCount <= kResourceDirectoryIndex || resourceEntry + 8 > optional + optionalSize) {
    return false;
  }
  const uint64_t table = optional + optionalSize;
  if (!Fits(n, table, 40ull * sectionCount)) {
    return false;
  }
  for (uint16_t i = 0; i < sectionCount; ++i) {
    const uint8_t* s = b + table + 40ull * i;
    sections_.push_back({ReadLittleEndian32(s + 12), ReadLittleEndian32(s + 8),
                         ReadLittleEndian32(s + 20), ReadLittleEndian32(s + 16)});
  }
  resourceRva_ = ReadLittleEndian32(b + resourceEntry);
  resourceSize_ = ReadLittleEndian32(b + resourceEntry + 4);
  if (resourceRva_ == 0 || AtRva(resourceRva_, kDirectoryBytes) == nullptr) {
    resourceRva_ = resourceSize_ = 0;
    return false;
  }
  return true;
}

const uint8_t* PeModule::AtRva(uint32_t rva, uint32_t size) const {
  for (const Section& s : sections_) {
    const uint32_t extent = s.size > s.fileSize ? s.size : s.fileSize;
    if (rva < s.rva || rva - s.rva >= extent) {
      continue;
    }
    const uint64_t inSection = rva - s.rva;
    // Bytes past the section's raw data are zeros in memory, not in the file.
    if (inSection + size > s.fileSize) {
      return nullptr;
    }
    const uint64_t offset = s.fileOffset + inSection;
    if (!Fits(bytes_.size(), offset, size)) {
      return nullptr;
    }
    return bytes_.data() + offset;
  }
  return nullptr;
}

bool PeModule::ReadDirectory(uint32_t offset, uint16_t* named, uint16_t* numbered) const {
  const uint8_t* d = AtRva(resourceRva_ + offset, kDirectoryBytes);
  if (d == nullptr) {
    return false;
  }
  *named = ReadLittleEndian16(d + 12);
  *numbered = ReadLittleEndian16(d + 14);
  const uint32_t count = static_cast<uint32_t>(*named) + *numbered;
  return count <= kMaxEntries &&
         AtRva(resourceRva_ + offset + kDirectoryBytes, count * kEntryBytes) != nullptr;
}

bool PeModule::ReadName(uint32_t entry, ResourceName* name) const {
  const uint8_t* e = AtRva(resourceRva_ + entry, kEntryBytes);
  if (e == nullptr) {
    return false;
  }
  const uint32_t field = ReadLittleEndian32(e);
  if ((field & kSubdirectoryBit) == 0) {
    *name = ResourceName::Number(static_cast<uint16_t>(field));
    return true;
  }
  const uint32_t at = resourceRva_ + (field & ~kSubdirectoryBit);
  const uint8_t* length = AtRva(at, 2);
  if (length == nullptr) {
    return false;
  }
  const uint16_t units = ReadLittleEndian16(length);
  const uint8_t* chars = AtRva(at + 2, 2u * units);
  if (chars == nullptr) {
    return false;
  }
  std::u16string text;
  for (uint16_t i = 0; i < units; ++i) {
    text.push_back(ReadLittleEndian16(chars + 2 * static_cast<size_t>(i)));
  }
  *name = ResourceName::Text(text);
  return true;
}

bool PeModule::EntryMatches(uint32_t entry, const ResourceName& name) const {
  ResourceName found;
  if (!ReadName(entry, &found) || found.isNumber != name.isNumber) {
    return false;
  }
  return name.isNumber ? found.number == name.number : SameNameText(found.text, name.text);
}

bool PeModule::FindEntry(uint32_t directory, const ResourceName& name, uint32_t* target) const {
  uint16_t named = 0;
  uint16_t numbered = 0;
  if (!ReadDirectory(directory, &named, &numbered)) {
    return false;
  }
  const uint32_t count = static_cast<uint32_t>(named) + numbered;
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t entry = directory + kDirectoryBytes + i * kEntryBytes;
    if (!EntryMatches(entry, name)) {
      continue;
    }
    *target = ReadLittleEndian32(AtRva(resourceRva_ + entry + 4, 4));
    return true;
  }
  return false;
}

bool PeModule::LeafData(uint32_t languages, std::vector<uint8_t>* data) const {
  uint16_t named = 0;
  uint16_t numbered = 0;
  if (!ReadDirectory(languages, &named, &numbered)) {
    return false;
  }
  const uint32_t count = static_cast<uint32_t>(named) + numbered;
  if (count == 0) {
    return false;
  }
  uint32_t chosen = ReadLittleEndian32(AtRva(resourceRva_ + languages + kDirectoryBytes + 4, 4));
  uint32_t english = 0;
  if (FindEntry(languages, ResourceName::Number(kEnglishUs), &english)) {
    chosen = english;
  }
  if ((chosen & kSubdirectoryBit) != 0) {
    return false;  // a fourth level: not a module's tree
  }
  const uint8_t* leaf = AtRva(resourceRva_ + chosen, kDataEntryBytes);
  if (leaf == nullptr) {
    return false;
  }
  const uint32_t rva = ReadLittleEndian32(leaf);
  const uint32_t size = ReadLittleEndian32(leaf + 4);
  const uint8_t* bytes = AtRva(rva, size);
  if (bytes == nullptr) {
    return false;
  }
  data->assign(bytes, bytes + size);
  return true;
}

bool PeModule::FindResource(const ResourceName& type, const ResourceName& name,
                            std::vector<uint8_t>* data) const {
  if (!HasResources()) {
    return false;
  }
  uint32_t names = 0;
  uint32_t languages = 0;
  if (!FindEntry(0, type, &names) || (names & kSubdirectoryBit) == 0) {
    return false;
  }
  if (!FindEntry(names & ~kSubdirectoryBit, name, &languages)) {
    return false;
  }
  if ((languages & kSubdirectoryBit) == 0) {
    return false;
  }
  return LeafData(languages & ~kSubdirectoryBit, data);
}

std::vector<ResourceName> PeModule::ListNames(const ResourceName& type) const {
  std::vector<ResourceName> out;
  uint32_t names = 0;
  if (!HasResources() || !FindEntry(0, type, &names) || (names & kSubdirectoryBit) == 0) {
    return out;
  }
  const uint32_t directory = names & ~kSubdirectoryBit;
  uint16_t named = 0;
  uint16_t numbered = 0;
  if (!ReadDirectory(directory, &named, &numbered)) {
    return out;
  }
  const uint32_t count = static_cast<uint32_t>(named) + numbered;
  for (uint32_t i = 0; i < count; ++i) {
    ResourceName name;
    if (ReadName(directory + kDirectoryBytes + i * kEntryBytes, &name)) {
      out.push_back(name);
    }
  }
  return out;
}

bool PeModule::LoadString(uint16_t id, std::u16string* text) const {
  std::vector<uint8_t> block;
  const uint16_t bundle = static_cast<uint16_t>((id >> 4) + 1);
  if (!FindResource(ResourceName::Number(kResourceString), ResourceName::Number(bundle), &block)) {
    return false;
  }
  size_t at = 0;
  for (uint16_t i = 0; i < 16; ++i) {
    if (!Fits(block.size(), at, 2)) {
      return false;
    }
    const uint16_t units = ReadLittleEndian16(block.data() + at);
    at += 2;
    if (!Fits(block.size(), at, 2ull * units)) {
      return false;
    }
    if (i == (id & 15)) {
      text->clear();
      for (uint16_t k = 0; k < units; ++k) {
        text->push_back(ReadLittleEndian16(block.data() + at + 2 * static_cast<size_t>(k)));
      }
      return units != 0;
    }
    at += 2ull * units;
  }
  return false;
}

std::u16string DialogControl::ClassName() const {
  if (windowClass.form == TemplateText::kString) {
    return windowClass.text;
  }
  switch (windowClass.ordinal) {
    case 0x80:
      return u"BUTTON";
    case 0x81:
      return u"EDIT";
    case 0x82:
      return u"STATIC";
    case 0x83:
      return u"LISTBOX";
    case 0x84:
      return u"SCROLLBAR";
    case 0x85:
      return u"COMBOBOX";
    default:
      return u"";
  }
}

bool DialogControl::ShowsImage() const {
  std::u16string name = ClassName();
  for (char16_t& c : name) {
    c = AsciiUpper(c);
  }
  if (name != u"STATIC") {
    return false;
  }
  const uint32_t kind = style & 0x1F;                   // SS_TYPEMASK
  return kind == 0x03 || kind == 0x0E || kind == 0x0F;  // icon, bitmap, enhanced metafile
}

bool ParseDialogTemplate(const std::vector<uint8_t>& data, DialogTemplate* dialog) {
  TemplateReader r(data);
  *dialog = DialogTemplate();
  const uint16_t version = r.Word();
  const uint16_t signature = r.Word();
  dialog->extended = version == 1 && signature == 0xFFFF;
  if (dialog->extended) {
    dialog->helpId = r.Dword();
    dialog->exStyle = r.Dword();
    dialog->style = r.Dword();
  } else {
    dialog->style = version | (static_cast<uint32_t>(signature) << 16);
    dialog->exStyle = r.Dword();
  }
  const uint16_t count = r.Word();
  dialog->x = r.Short();
  dialog->y = r.Short();
  dialog->cx = r.Short();
  dialog->cy = r.Short();
  dialog->menu = r.TextOrOrdinal();
  dialog->windowClass = r.TextOrOrdinal();
  dialog->title = r.String();
  // DS_SETFONT, or DS_SHELLFONT (which includes it) in the extended form.
  dialog->hasFont = (dialog->style & kDsSetFont) != 0;
  if (dialog->hasFont) {
    dialog->pointSize = r.Word();
    if (dialog->extended) {
      dialog->weight = r.Word();
      dialog->italic = r.Byte();
      dialog->charset = r.Byte();
    }
    dialog->typeface = r.String();
  }
  for (uint16_t i = 0; i < count && r.Ok(); ++i) {
    DialogControl control;
    ReadControl(r, dialog->extended, &control);
    if (r.Ok()) {
      dialog->controls.push_back(std::move(control));
    }
  }
  return r.Ok();
}

}  // namespace lngtool
