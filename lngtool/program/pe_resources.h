// A reader of a PE module's resource section that works on the file's bytes
// alone, so that the texts of Launcher.exe or of a language module can be
// read on any system: string tables and classic (and extended) dialog
// templates. Every read is bounds-checked; a damaged module gives "not found",
// never a read outside the bytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lngtool {

constexpr uint16_t kResourceDialog = 5;
constexpr uint16_t kResourceString = 6;
constexpr uint16_t kEnglishUs = 0x0409;

// A resource's type or name: a number, or a text (compared without regard to
// ASCII case, as the resource compiler stores names upper-cased).
struct ResourceName {
  bool isNumber = true;
  uint16_t number = 0;
  std::u16string text;

  static ResourceName Number(uint16_t n);
  static ResourceName Text(const std::u16string& t);
};

class PeModule {
 public:
  // False when the bytes are not a PE image with a resource section the
  // reader can follow; the module then finds nothing.
  bool Load(std::vector<uint8_t> bytes);

  bool IsDll() const { return isDll_; }
  bool HasResources() const { return resourceRva_ != 0; }

  // The data of a resource; English (United States) when the module has it,
  // else the first language. False when absent or outside the file.
  bool FindResource(const ResourceName& type, const ResourceName& name,
                    std::vector<uint8_t>* data) const;
  // The names of every resource of a type, in directory order.
  std::vector<ResourceName> ListNames(const ResourceName& type) const;

  // A string-table text as LoadStringW would give it; false when the module
  // lacks it (an empty entry counts as absent, as for LoadStringW).
  bool LoadString(uint16_t id, std::u16string* text) const;

 private:
  const uint8_t* AtRva(uint32_t rva, uint32_t size) const;
  bool ReadDirectory(uint32_t offset, uint16_t* named, uint16_t* numbered) const;
  bool EntryMatches(uint32_t entry, const ResourceName& name) const;
  bool FindEntry(uint32_t directory, const ResourceName& name, uint32_t* target) const;
  bool ReadName(uint32_t entry, ResourceName* name) const;
  bool LeafData(uint32_t languages, std::vector<uint8_t>* data) const;

  struct Section {
    uint32_t rva;
    uint32_t size;
    uint32_t fileOffset;
    uint32_t fileSize;
  };
  std::vector<uint8_t> bytes_;
  std::vector<Section> sections_;
  uint32_t resourceRva_ = 0;
  uint32_t resourceSize_ = 0;
  bool isDll_ = false;
};

// A dialog template's text or class: absent, a number (an ordinal), or a text.
struct TemplateText {
  enum Form : uint8_t { kNone, kOrdinal, kString };
  Form form = kNone;
  uint16_t ordinal = 0;
  std::u16string text;
};

struct DialogControl {
  uint32_t style = 0;
  uint32_t exStyle = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  uint32_t id = 0;
  TemplateText windowClass;  // ordinal 0x80 button ... 0x85 combo box
  TemplateText text;
  std::vector<uint8_t> creationData;

  // The class by name ("BUTTON" for ordinal 0x80 and so on).
  std::u16string ClassName() const;
  // A static control that shows a bitmap or an icon: its text names a resource.
  bool ShowsImage() const;
};

struct DialogTemplate {
  bool extended = false;
  uint32_t style = 0;
  uint32_t exStyle = 0;
  uint32_t helpId = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  TemplateText menu;
  TemplateText windowClass;
  std::u16string title;
  bool hasFont = false;
  uint16_t pointSize = 0;
  uint16_t weight = 0;
  uint8_t italic = 0;
  uint8_t charset = 0;
  std::u16string typeface;
  std::vector<DialogControl> controls;
};

constexpr uint32_t kDsSetFont = 0x40;
constexpr uint32_t kDsCenter = 0x0800;

// Parses a DLGTEMPLATE (or DLGTEMPLATEEX) with its items; false when the data
// ends before the template does.
bool ParseDialogTemplate(const std::vector<uint8_t>& data, DialogTemplate* dialog);

}  // namespace lngtool
