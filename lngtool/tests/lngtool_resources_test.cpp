// The PE resource reader on modules made by the resource compiler: the
// launcher's own resources and templates in the less common forms.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/byte_order.h"
#include "lngtool/io/lngtool_platform.h"
#include "lngtool/program/pe_resources.h"

namespace lngtool {
namespace {

std::vector<uint8_t> ReadFixture(const std::string& name) {
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(ReadWholeFile(std::string(LNGTOOL_FIXTURES) + "/" + name, &bytes)) << name;
  return bytes;
}

DialogTemplate Dialog(const PeModule& m, const char16_t* name) {
  std::vector<uint8_t> data;
  DialogTemplate d;
  EXPECT_TRUE(
      m.FindResource(ResourceName::Number(kResourceDialog), ResourceName::Text(name), &data));
  EXPECT_TRUE(ParseDialogTemplate(data, &d));
  return d;
}

class LauncherModule : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(module.Load(ReadFixture("Launcher.exe"))); }
  PeModule module;
};

TEST_F(LauncherModule, StringsAsLoadStringGivesThem) {
  const struct {
    uint16_t id;
    std::u16string text;
  } cases[] = {
      {5101, u"BavPro_Setup_Mini_240.exe"},
      {5102, u"First use info URL"},
      {5106, u"\r\n\r\nYou can close this window now."},
  };
  for (const auto& c : cases) {
    std::u16string text;
    EXPECT_TRUE(module.LoadString(c.id, &text)) << c.id;
    EXPECT_EQ(text, c.text) << c.id;
  }
  std::u16string none;
  EXPECT_FALSE(module.LoadString(5107, &none));  // same bundle, no text
  EXPECT_FALSE(module.LoadString(1, &none));     // no bundle at all
  EXPECT_FALSE(module.IsDll());
}

TEST_F(LauncherModule, OfferDialogInTemplateOrder) {
  const DialogTemplate d = Dialog(module, u"launchdlg");  // names compare without case
  EXPECT_FALSE(d.extended);
  EXPECT_EQ(d.style, 0x90C808C0u);
  EXPECT_EQ(d.exStyle, 0u);
  EXPECT_EQ(d.menu.form, TemplateText::kNone);
  EXPECT_EQ(d.windowClass.form, TemplateText::kNone);
  EXPECT_EQ(d.title, u"Zentak Setup");
  EXPECT_TRUE(d.hasFont);
  EXPECT_EQ(d.pointSize, 8);
  EXPECT_EQ(d.typeface, u"MS Shell Dlg 2");
  EXPECT_EQ((std::vector<int16_t>{d.x, d.y, d.cx, d.cy}), (std::vector<int16_t>{15, 29, 331, 252}));
  ASSERT_EQ(d.controls.size(), 10u);
  const struct {
    int32_t id;
    std::u16string className;
    int16_t x, y, cx, cy;
    bool image;
  } expected[] = {
      {-1, u"BUTTON", 7, 5, 317, 55, false},       {-1, u"STATIC", 16, 21, 297, 32, false},
      {-1, u"BUTTON", 7, 63, 317, 165, false},     {-1, u"STATIC", 16, 80, 10, 10, true},
      {-1, u"STATIC", 16, 116, 297, 24, false},    {5101, u"BUTTON", 16, 195, 200, 8, false},
      {-1, u"STATIC", 16, 172, 297, 16, false},    {5102, u"SYSLINK", 16, 145, 297, 14, false},
      {5103, u"SYSLINK", 16, 157, 297, 14, false}, {1, u"BUTTON", 130, 233, 70, 14, false},
  };
  for (size_t i = 0; i < 10; ++i) {
    const DialogControl& c = d.controls[i];
    std::u16string name = c.ClassName();
    for (char16_t& ch : name) {
      ch = ch >= u'a' && ch <= u'z' ? ch - 32 : ch;
    }
    EXPECT_EQ(static_cast<int32_t>(c.id), expected[i].id) << i;
    EXPECT_EQ(name, expected[i].className) << i;
    EXPECT_EQ((std::vector<int16_t>{c.x, c.y, c.cx, c.cy}),
              (std::vector<int16_t>{expected[i].x, expected[i].y, expected[i].cx, expected[i].cy}))
        << i;
    EXPECT_EQ(c.ShowsImage(), expected[i].image) << i;
    EXPECT_EQ(c.style & 0x50000000u, 0x50000000u) << i;  // WS_CHILD | WS_VISIBLE
  }
  EXPECT_EQ(d.controls[0].text.form, TemplateText::kNone);
  EXPECT_EQ(d.controls[3].text.text, u"LOGO");
  EXPECT_EQ(d.controls[9].text.text, u"OK");
}

TEST_F(LauncherModule, InformationDialog) {
  const DialogTemplate d = Dialog(module, u"INFODLG");
  EXPECT_EQ(d.title, u"Baidu Antivirus installation is in progress...");
  ASSERT_EQ(d.controls.size(), 3u);
  EXPECT_EQ(d.controls[1].id, 5101u);
  EXPECT_EQ(d.controls[1].text.form, TemplateText::kNone);
  EXPECT_EQ(d.controls[2].text.text, u"OK");
}

TEST(PeResources, ExtendedAndUnusualTemplates) {
  PeModule m;
  ASSERT_TRUE(m.Load(ReadFixture("odd_dialogs.dll")));
  EXPECT_TRUE(m.IsDll());
  const DialogTemplate ex = Dialog(m, u"EXDLG");
  EXPECT_TRUE(ex.extended);
  EXPECT_EQ(ex.helpId, 77u);
  EXPECT_EQ(ex.exStyle, 0x80u);
  EXPECT_EQ(ex.menu.form, TemplateText::kString);
  EXPECT_EQ(ex.menu.text, u"ODDMENU");
  EXPECT_EQ(ex.windowClass.text, u"ODDDIALOGCLASS");
  EXPECT_EQ(ex.title, u"Extended");
  EXPECT_EQ(ex.weight, 700);
  EXPECT_EQ(ex.italic, 1);
  EXPECT_EQ(ex.typeface, u"Segoe UI");
  ASSERT_EQ(ex.controls.size(), 3u);
  EXPECT_EQ(ex.controls[0].ClassName(), u"ODDCONTROL");
  EXPECT_EQ(ex.controls[0].exStyle, 0x200u);
  EXPECT_EQ(ex.controls[1].creationData.size(), 6u);
  EXPECT_EQ(ex.controls[1].text.text, u"With data");  // the item after data is read in step
  EXPECT_EQ(ex.controls[2].text.form, TemplateText::kOrdinal);
  EXPECT_EQ(ex.controls[2].text.ordinal, 1);
  EXPECT_TRUE(ex.controls[2].ShowsImage());

  const DialogTemplate plain = Dialog(m, u"PLAIN");
  EXPECT_FALSE(plain.hasFont);
  EXPECT_TRUE(plain.title.empty());
  ASSERT_EQ(plain.controls.size(), 2u);
  EXPECT_EQ(plain.controls[0].text.text, u"Tab\tand \"quotes\"");
  EXPECT_EQ(plain.controls[1].ClassName(), u"COMBOBOX");
}

TEST(PeResources, EnglishPreferredThenFirstLanguage) {
  PeModule m;
  ASSERT_TRUE(m.Load(ReadFixture("odd_dialogs.dll")));
  std::u16string text;
  EXPECT_TRUE(m.LoadString(1, &text));
  EXPECT_EQ(text, u"one");
  EXPECT_FALSE(m.LoadString(2, &text));  // only the German bundle has it; the English one wins
  EXPECT_TRUE(m.LoadString(17, &text));
  EXPECT_EQ(text, u"seventeen");
  EXPECT_EQ(m.ListNames(ResourceName::Number(kResourceDialog)).size(), 2u);
}

// Every cut of a real module, and every byte of its header and resource
// directory turned over: the reader may find nothing, but never reads
// outside the bytes (the sanitizer build watches that).
TEST(PeResources, DamagedModulesFindNothingSafely) {
  const std::vector<uint8_t> whole = ReadFixture("Launcher.exe");
  ASSERT_GT(whole.size(), 4096u);
  size_t loaded = 0;
  for (size_t size = 0; size < whole.size(); size += size < 4096 ? 7 : 509) {
    PeModule m;
    if (m.Load(std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<ptrdiff_t>(size)))) {
      ++loaded;
      std::u16string text;
      m.LoadString(5103, &text);
      std::vector<uint8_t> data;
      DialogTemplate d;
      if (m.FindResource(ResourceName::Number(kResourceDialog), ResourceName::Text(u"LAUNCHDLG"),
                         &data)) {
        ParseDialogTemplate(data, &d);
      }
    }
  }
  EXPECT_GT(loaded, 0u);
  for (size_t at = 0; at < 4096 && at < whole.size(); ++at) {
    std::vector<uint8_t> bytes = whole;
    bytes[at] ^= 0xFF;
    PeModule m;
    if (!m.Load(bytes)) {
      continue;
    }
    std::u16string text;
    m.LoadString(5101, &text);
    m.ListNames(ResourceName::Number(kResourceDialog));
  }
  PeModule m;
  ASSERT_TRUE(m.Load(whole));
  std::vector<uint8_t> data;
  ASSERT_TRUE(m.FindResource(ResourceName::Number(kResourceDialog),
                             ResourceName::Text(u"LAUNCHDLG"), &data));
  // The data may be padded to a multiple of 4 after the last item's count.
  for (size_t size = 0; size + 4 <= data.size(); ++size) {
    DialogTemplate d;
    EXPECT_FALSE(ParseDialogTemplate(
        std::vector<uint8_t>(data.begin(), data.begin() + static_cast<ptrdiff_t>(size)), &d))
        << size;
  }
}

// The launcher's module with one field of its headers or resource tree
// changed: what the reader still finds, and what it refuses.
TEST(PeResources, HeaderFieldsTheReaderFollows) {
  const std::vector<uint8_t> whole = ReadFixture("Launcher.exe");
  ASSERT_GT(whole.size(), 1024u);
  auto at16 = [&](size_t at) -> size_t { return ReadLittleEndian16(whole.data() + at); };
  auto at32 = [&](size_t at) -> size_t { return ReadLittleEndian32(whole.data() + at); };
  const size_t pe = at32(0x3C);
  const size_t optional = pe + 24;
  const size_t directories = optional + (at16(optional) == 0x20B ? 112 : 96);
  const size_t resources = directories + 16;
  // The file offset of the resource tree's root, through the section that holds it.
  const size_t table = optional + at16(pe + 20);
  const size_t rva = at32(resources);
  size_t root = 0;
  for (size_t s = table; s < table + 40 * at16(pe + 6) && s + 40 <= whole.size(); s += 40) {
    if (rva >= at32(s + 12) && rva - at32(s + 12) < at32(s + 16)) {
      root = at32(s + 20) + (rva - at32(s + 12));
    }
  }
  ASSERT_NE(root, 0u);
  const struct {
    const char* what;
    size_t at;
    uint32_t value;
    size_t width;
    bool loads;
    bool finds;  // string 5101 and the dialog LAUNCHDLG
  } cases[] = {
      {"the module as built", 0, 'M', 1, true, true},
      {"no MZ", 0, 'Z', 1, false, false},
      {"the PE header past the end", 0x3C, static_cast<uint32_t>(whole.size()), 4, false, false},
      {"no PE signature", pe, 0x4550 + 1, 4, false, false},
      {"an optional header of unknown kind", optional, 0x10C, 2, false, false},
      {"an optional header too short for its magic", pe + 20, 1, 2, false, false},
      {"too few data directories", directories - 4, 2, 4, false, false},
      {"no resource directory", resources, 0, 4, false, false},
      {"a resource directory in no section", resources, 0x7FFFFFF0, 4, false, false},
      {"a section table past the end", pe + 6, 0xFFFF, 2, false, false},
      {"a root that claims more entries than it holds", root + 14, 0xFFFF, 2, true, false},
      {"a root with no entries", root + 14, 0, 2, true, false},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> bytes = whole;
    for (size_t i = 0; i < c.width; ++i) {
      bytes[c.at + i] = static_cast<uint8_t>(c.value >> (8 * i));
    }
    PeModule m;
    EXPECT_EQ(m.Load(bytes), c.loads) << c.what;
    std::u16string text;
    std::vector<uint8_t> data;
    EXPECT_EQ(m.LoadString(5101, &text), c.finds) << c.what;
    EXPECT_EQ(m.FindResource(ResourceName::Number(kResourceDialog),
                             ResourceName::Text(u"launchdlg"), &data),
              c.finds)
        << c.what;
  }
}

TEST(PeResources, NotAModule) {
  PeModule m;
  EXPECT_FALSE(m.Load({}));
  EXPECT_FALSE(m.Load(std::vector<uint8_t>(200, 'M')));
  std::u16string text;
  EXPECT_FALSE(m.LoadString(5101, &text));
}

}  // namespace
}  // namespace lngtool
