// Real dialogs from this program's own test templates, localized with
// catalogs loaded from bytes: what the walk sets, moves and leaves alone.
#include "localization/localize_dialog.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "base/code_page.h"
#include "base/wide_bridge.h"
#include "localization/catalog_text.h"
#include "localization/common_dialog_handler.h"
#include "localization/message_catalog.h"
#include "module/resource_module.h"

namespace {

constexpr int kComboDropDown = 104;
constexpr int kComboSimple = 105;
constexpr int kPicture = 107;
constexpr int kTextIds[] = {101, 102, IDOK};
constexpr int kEmptyIds[] = {103, kComboDropDown, kComboSimple, 106};

struct Entry {
  const char16_t* context;
  const char16_t* source;
  const char16_t* value;
};

// A UTF-16 catalog file's bytes, each entry keyed as a dialog text.
std::u16string CatalogFile(std::initializer_list<Entry> entries) {
  std::u16string file = u"\xFEFF; test catalog\r\n***messages***\r\n";
  for (const Entry& e : entries) {
    char16_t key[kKeyCapacity];
    FormCatalogKey(SystemAnsi, kDialogText, e.context, e.source, key);
    file += key;
    file += u"=\"";
    file += e.value;
    file += u"\"\r\n";
  }
  return file;
}

void Load(MessageCatalog& catalog, std::initializer_list<Entry> entries) {
  const std::u16string file = CatalogFile(entries);
  ASSERT_TRUE(catalog.LoadFromBytes(file.data(), file.size() * sizeof(char16_t)));
  catalog.DetectTextDirection();
}

std::u16string TextOf(HWND window) {
  wchar_t text[1024] = {};
  GetWindowTextW(window, text, 1024);
  return AsUtf16(text);
}

RECT ScreenRect(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

// A control's rectangle in its dialog's client coordinates (from the right
// edge in a mirrored dialog).
RECT ClientRectOf(HWND control, HWND dialog) {
  RECT r = ScreenRect(control);
  MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

RECT ClientArea(HWND dialog) {
  RECT r{};
  GetClientRect(dialog, &r);
  return r;
}

std::vector<HWND> Children(HWND dialog) {
  std::vector<HWND> children;
  for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
    children.push_back(c);
  }
  return children;
}

// What the walk did to one window: texts set, and the moves and sizings asked
// of it, as the window saw them before it adjusted anything.
struct Watch {
  int setText = 0;
  std::vector<WINDOWPOS> sizings;
};
// Kept apart from the watches, which each test clears while its windows live.
std::map<HWND, WNDPROC> originalProcedures;

// The geometry before localization.
struct Snapshot {
  RECT window{};
  RECT client{};
  std::map<HWND, RECT> controls;  // screen coordinates
  std::map<HWND, RECT> dropped;   // drop-down combo boxes only
};

// The state the dialog procedure reads; one dialog is localized at a time.
struct Session {
  const MessageCatalog* catalog = nullptr;
  const char16_t* name = nullptr;
  bool page = false;
  int addedControls = 0;
  bool picture = false;  // a picture control is added
  Snapshot before;
  std::map<HWND, Watch> watches;
};
Session session;

void Record(Watch& watch, UINT message, LPARAM lParam) {
  if (message == WM_SETTEXT) {
    ++watch.setText;
  }
  if (message == WM_WINDOWPOSCHANGING) {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the message carries a pointer
    const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
    if ((pos->flags & SWP_NOSIZE) == 0) {
      watch.sizings.push_back(*pos);
    }
  }
}

LRESULT CALLBACK WatchedControl(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  Record(session.watches[control], message, lParam);
  return CallWindowProcW(originalProcedures.at(control), control, message, wParam, lParam);
}

void TakeSnapshot(HWND dialog) {
  Snapshot& s = session.before;
  GetWindowRect(dialog, &s.window);
  GetClientRect(dialog, &s.client);
  for (HWND c : Children(dialog)) {
    s.controls[c] = ScreenRect(c);
    if (GetDlgCtrlID(c) == kComboDropDown) {
      RECT d{};
      SendMessageW(c, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&d));
      s.dropped[c] = d;
    }
    session.watches[c] = Watch{};
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the window's procedure
    originalProcedures[c] = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(c, GWLP_WNDPROC));
    SetWindowLongPtrW(c, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchedControl));
  }
  session.watches[dialog] = Watch{};
}

void AddControls(HWND dialog, int count) {
  for (int i = 0; i < count; ++i) {
    // A child's menu handle is its control id.
    const auto id = reinterpret_cast<HMENU>(  // NOLINT(performance-no-int-to-ptr)
        static_cast<INT_PTR>(1000 + i));
    HWND control =
        CreateWindowExW(0, L"STATIC", L"Item", WS_CHILD | WS_VISIBLE, 4 + (i % 20) * 10, 4 + i / 20,
                        9, 8, dialog, id, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(control, nullptr);
  }
}

// A static that shows an (absent) icon: no text of its own to read.
void AddPicture(HWND dialog) {
  const auto id = reinterpret_cast<HMENU>(  // NOLINT(performance-no-int-to-ptr)
      static_cast<INT_PTR>(kPicture));
  ASSERT_NE(CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_ICON, 150, 60, 16, 16,
                            dialog, id, GetModuleHandleW(nullptr), nullptr),
            nullptr);
}

INT_PTR CALLBACK LocalizedDialog(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
  if (session.watches.count(dialog) != 0) {
    Record(session.watches[dialog], message, lParam);
  }
  switch (message) {
    case WM_SETFONT:
      ApplyTextDirection(*session.catalog, dialog);
      return FALSE;
    case WM_INITDIALOG:
      AddControls(dialog, session.addedControls);
      if (session.picture) {
        AddPicture(dialog);
      }
      TakeSnapshot(dialog);
      LocalizeDialog(*session.catalog, dialog, session.name, session.page);
      return TRUE;
    default:
      return FALSE;
  }
}

// The placement the walk must ask for, by the arithmetic in plain 32-bit
// ints (every value here is small).
struct Asked {
  int left, top, width, height;
};
Asked Expected(HWND control, int x, int y) {
  const Snapshot& s = session.before;
  const RECT& w = s.window;
  const RECT& r = s.controls.at(control);
  const int fw = (w.right - w.left + 1) - s.client.right;
  const int fh = (w.bottom - w.top + 1) - s.client.bottom;
  const int d = GetSystemMetrics(SM_CYDLGFRAME);
  Asked a = {(r.left - fw / 2 - w.left) * x / 100, (r.top - (fh - d) - w.top) * y / 100,
             (r.right - r.left + 1) * x / 100, (r.bottom - r.top + 1) * y / 100};
  const auto dropped = s.dropped.find(control);
  if (dropped != s.dropped.end()) {
    a.height += (dropped->second.bottom - dropped->second.top + 1) * y / 100;
  }
  return a;
}

class LocalizeDialogTest : public testing::Test {
 protected:
  void TearDown() override {
    for (HWND w : opened_) {
      DestroyWindow(w);
    }
    session = Session{};
  }

  HWND Open(const MessageCatalog& catalog, const char16_t* name, HWND parent = nullptr,
            bool page = false) {
    session = Session{};
    session.catalog = &catalog;
    session.name = name;
    session.page = page;
    session.addedControls = added_;
    session.picture = picture_;
    const HWND dialog =
        CreateDialogParamW(GetModuleHandleW(nullptr), AsWide(name), parent, LocalizedDialog, 0);
    EXPECT_NE(dialog, nullptr);
    opened_.push_back(dialog);
    return dialog;
  }

  HWND Host() {
    const HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP, 50, 50, 800, 600, nullptr,
                                      nullptr, GetModuleHandleW(nullptr), nullptr);
    opened_.push_back(host);
    return host;
  }

  static const Watch& WatchOf(HWND window) { return session.watches.at(window); }

  // Every control moved and sized exactly as the arithmetic says, once.
  static void ExpectControlsScaled(HWND dialog, int x, int y) {
    for (HWND c : Children(dialog)) {
      SCOPED_TRACE(GetDlgCtrlID(c));
      const std::vector<WINDOWPOS>& sizings = WatchOf(c).sizings;
      ASSERT_FALSE(sizings.empty());
      const Asked e = Expected(c, x, y);
      EXPECT_EQ(sizings[0].x, e.left);
      EXPECT_EQ(sizings[0].y, e.top);
      EXPECT_EQ(sizings[0].cx, e.width);
      EXPECT_EQ(sizings[0].cy, e.height);
      EXPECT_EQ(sizings[0].flags & (SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOMOVE),
                static_cast<UINT>(SWP_NOZORDER | SWP_NOOWNERZORDER));
      const RECT now = ClientRectOf(c, dialog);
      EXPECT_EQ(now.left, e.left);
      EXPECT_EQ(now.top, e.top);
      // Combo boxes fit their height to the font.
      if (GetDlgCtrlID(c) != kComboDropDown && GetDlgCtrlID(c) != kComboSimple) {
        EXPECT_EQ(now.right - now.left, e.width);
        EXPECT_EQ(now.bottom - now.top, e.height);
      }
    }
  }

  static void ExpectNothingMoved(HWND dialog) {
    EXPECT_TRUE(WatchOf(dialog).sizings.empty());
    const RECT window = ScreenRect(dialog);
    EXPECT_TRUE(EqualRect(&session.before.window, &window));
    for (HWND c : Children(dialog)) {
      EXPECT_TRUE(WatchOf(c).sizings.empty()) << GetDlgCtrlID(c);
      const RECT now = ScreenRect(c);
      EXPECT_TRUE(EqualRect(&session.before.controls.at(c), &now)) << GetDlgCtrlID(c);
    }
  }

  static void ExpectClientScaled(HWND dialog, int x, int y) {
    const RECT& before = session.before.client;
    const RECT after = ClientArea(dialog);
    // The window's extents count one more than its rectangle's, so the new
    // client area is one unit larger than the exact percentage.
    EXPECT_EQ(after.right, before.right * x / 100 + 1);
    EXPECT_EQ(after.bottom, before.bottom * y / 100 + 1);
  }

  int added_ = 0;
  bool picture_ = false;
  std::vector<HWND> opened_;
};

TEST_F(LocalizeDialogTest, WithoutCatalogTextsAreSetBackUnchanged) {
  const MessageCatalog none;
  const HWND dialog = Open(none, u"CENTERDLG");
  EXPECT_EQ(TextOf(dialog), u"Centred dialog");
  EXPECT_EQ(WatchOf(dialog).setText, 1);
  EXPECT_EQ(TextOf(GetDlgItem(dialog, 101)), u"First label");
  EXPECT_EQ(TextOf(GetDlgItem(dialog, 102)), u"Press");
  for (int id : kTextIds) {
    EXPECT_EQ(WatchOf(GetDlgItem(dialog, id)).setText, 1) << id;
  }
  for (int id : kEmptyIds) {
    EXPECT_EQ(WatchOf(GetDlgItem(dialog, id)).setText, 0) << id;
  }
  ExpectNothingMoved(dialog);
  EXPECT_EQ(GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_LAYOUTRTL, 0);
}

TEST_F(LocalizeDialogTest, HundredByHundredTranslatesButResizesNothing) {
  MessageCatalog catalog;
  Load(catalog, {{u"CENTERDLG", u"", u"100*100"},
                 {u"CENTERDLG", u"First label", u"\u05EA\u05D5\u05D5\u05D9\u05EA"},
                 {u"PLAINDLG", u"Press", u"not this dialog's"}});
  const HWND dialog = Open(catalog, u"CENTERDLG");
  EXPECT_EQ(TextOf(GetDlgItem(dialog, 101)), u"\u05EA\u05D5\u05D5\u05D9\u05EA");
  EXPECT_EQ(TextOf(GetDlgItem(dialog, 102)), u"Press");
  ExpectNothingMoved(dialog);
}

TEST_F(LocalizeDialogTest, CentredDialogGrowsAboutItsCentre) {
  MessageCatalog catalog;
  Load(catalog, {{u"CENTERDLG", u"", u"120*110"},
                 {u"CENTERDLG", u"Centred dialog", u"Translated title"},
                 {u"CENTERDLG", u"OK", u"Fine"}});
  const HWND dialog = Open(catalog, u"CENTERDLG");
  EXPECT_EQ(TextOf(dialog), u"Translated title");
  EXPECT_EQ(TextOf(GetDlgItem(dialog, IDOK)), u"Fine");
  ExpectClientScaled(dialog, 120, 110);

  const RECT& before = session.before.window;
  const RECT after = ScreenRect(dialog);
  EXPECT_LE(std::abs((after.left + after.right) - (before.left + before.right)), 2);
  EXPECT_LE(std::abs((after.top + after.bottom) - (before.top + before.bottom)), 2);
  ASSERT_EQ(WatchOf(dialog).sizings.size(), 1u);
  EXPECT_EQ(WatchOf(dialog).sizings[0].flags & SWP_NOMOVE, 0u);

  ExpectControlsScaled(dialog, 120, 110);
  // Only the drop-down kind adds its list; the simple kind's list is part of
  // its window already.
  const HWND dropDown = GetDlgItem(dialog, kComboDropDown);
  const HWND simple = GetDlgItem(dialog, kComboSimple);
  const RECT& closed = session.before.controls.at(dropDown);
  EXPECT_GT(WatchOf(dropDown).sizings[0].cy, (closed.bottom - closed.top + 1) * 110 / 100);
  const RECT& simpleBefore = session.before.controls.at(simple);
  EXPECT_EQ(WatchOf(simple).sizings[0].cy,
            (simpleBefore.bottom - simpleBefore.top + 1) * 110 / 100);
}

TEST_F(LocalizeDialogTest, WithoutDsCenterOnlyTheSizeChanges) {
  MessageCatalog catalog;
  Load(catalog, {{u"PLAINDLG", u"", u"120*110"}});
  const HWND dialog = Open(catalog, u"PLAINDLG");
  const RECT after = ScreenRect(dialog);
  EXPECT_EQ(after.left, session.before.window.left);
  EXPECT_EQ(after.top, session.before.window.top);
  ExpectClientScaled(dialog, 120, 110);
  ExpectControlsScaled(dialog, 120, 110);
}

TEST_F(LocalizeDialogTest, PageKeepsItsSizeAndTitleButScalesItsControls) {
  MessageCatalog catalog;
  Load(catalog, {{u"PAGEDLG", u"", u"120*110"},
                 {u"PAGEDLG", u"Page title", u"Not for pages"},
                 {u"PAGEDLG", u"Press", u"Pressed"}});
  const HWND dialog = Open(catalog, u"PAGEDLG", Host(), true);
  EXPECT_EQ(TextOf(dialog), u"Page title");
  EXPECT_EQ(WatchOf(dialog).setText, 0);
  EXPECT_TRUE(WatchOf(dialog).sizings.empty());
  const RECT window = ScreenRect(dialog);
  EXPECT_TRUE(EqualRect(&session.before.window, &window));
  EXPECT_EQ(TextOf(GetDlgItem(dialog, 102)), u"Pressed");
  ExpectControlsScaled(dialog, 120, 110);
}

TEST_F(LocalizeDialogTest, ControlsAfterThe512thAreLeftAlone) {
  MessageCatalog catalog;
  Load(catalog, {{u"EMPTYDLG", u"", u"120*110"}, {u"EMPTYDLG", u"Item", u"Done"}});
  added_ = 600;
  const HWND dialog = Open(catalog, u"EMPTYDLG");
  const std::vector<HWND> children = Children(dialog);
  ASSERT_EQ(children.size(), 600u);
  for (size_t i = 0; i < children.size(); ++i) {
    const bool visited = i < 512;
    ASSERT_EQ(TextOf(children[i]), visited ? u"Done" : u"Item") << i;
    ASSERT_EQ(WatchOf(children[i]).setText, visited ? 1 : 0) << i;
    ASSERT_EQ(WatchOf(children[i]).sizings.size(), visited ? 1u : 0u) << i;
  }
}

bool ReadsRightToLeft(HWND window) {
  return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0;
}

// Mirroring alone leaves every text in left-to-right reading order; the
// dialog and each control that shows text (an empty one may get a text
// later) read right to left, a picture does not.
TEST_F(LocalizeDialogTest, RightToLeftCatalogMirrorsTheDialogAndItsReadingOrder) {
  MessageCatalog rtl;
  Load(rtl, {{u"LTR", u"LTR", u"RTL"}});
  ASSERT_TRUE(rtl.RightToLeft());
  picture_ = true;
  const HWND dialog = Open(rtl, u"CENTERDLG");
  EXPECT_NE(GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_LAYOUTRTL, 0);
  EXPECT_TRUE(ReadsRightToLeft(dialog));
  for (HWND c : Children(dialog)) {
    EXPECT_EQ(ReadsRightToLeft(c), GetDlgCtrlID(c) != kPicture) << GetDlgCtrlID(c);
  }
  ExpectNothingMoved(dialog);

  MessageCatalog lowerCase;
  Load(lowerCase, {{u"LTR", u"LTR", u"rtl"}});
  EXPECT_FALSE(lowerCase.RightToLeft());
  const HWND plain = Open(lowerCase, u"CENTERDLG");
  EXPECT_EQ(GetWindowLongW(plain, GWL_EXSTYLE) & (WS_EX_LAYOUTRTL | WS_EX_RTLREADING), 0);
  for (HWND c : Children(plain)) {
    EXPECT_FALSE(ReadsRightToLeft(c)) << GetDlgCtrlID(c);
  }
}

// Controls drawn already in left-to-right order, whose text is not set anew
// (so nothing else would repaint them), are repainted.
TEST_F(LocalizeDialogTest, ReadingOrderRepaintsWhatWasDrawn) {
  const MessageCatalog none;
  const HWND dialog = Open(none, u"CENTERDLG");
  ShowWindow(dialog, SW_SHOWNOACTIVATE);
  UpdateWindow(dialog);
  const int unset[] = {103, 106};
  for (int id : unset) {
    ASSERT_FALSE(GetUpdateRect(GetDlgItem(dialog, id), nullptr, FALSE)) << id;
  }
  MessageCatalog rtl;
  Load(rtl, {{u"LTR", u"LTR", u"RTL"}});
  LocalizeDialog(rtl, dialog, u"CENTERDLG", false);
  for (int id : unset) {
    EXPECT_TRUE(ReadsRightToLeft(GetDlgItem(dialog, id))) << id;
    EXPECT_TRUE(GetUpdateRect(GetDlgItem(dialog, id), nullptr, FALSE)) << id;
  }
}

// A mirrored dialog scales like its unmirrored twin, mirrored: each control
// keeps its place counted from the client area's right edge instead of its
// left, and stays inside the client area.
TEST_F(LocalizeDialogTest, MirroredAndScaledIsTheMirrorImageOfScaled) {
  MessageCatalog ltr;
  Load(ltr, {{u"CENTERDLG", u"", u"120*110"}});
  MessageCatalog rtl;
  Load(rtl, {{u"CENTERDLG", u"", u"120*110"}, {u"LTR", u"LTR", u"RTL"}});

  struct Layout {
    RECT client{};
    POINT clientOrigin{};  // screen position of the client area's left and top
    std::map<int, RECT> screen;
    std::map<int, RECT> inClient;
  };
  auto measure = [](HWND dialog) {
    Layout l;
    l.client = ClientArea(dialog);
    RECT area = l.client;
    MapWindowPoints(dialog, HWND_DESKTOP, reinterpret_cast<POINT*>(&area), 2);
    l.clientOrigin = {area.left, area.top};
    for (HWND c : Children(dialog)) {
      l.screen[GetDlgCtrlID(c)] = ScreenRect(c);
      l.inClient[GetDlgCtrlID(c)] = ClientRectOf(c, dialog);
    }
    return l;
  };
  const Layout plain = measure(Open(ltr, u"CENTERDLG"));
  const HWND dialog = Open(rtl, u"CENTERDLG");
  ASSERT_NE(GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_LAYOUTRTL, 0);
  ExpectClientScaled(dialog, 120, 110);
  const Layout mirrored = measure(dialog);
  ASSERT_TRUE(EqualRect(&plain.client, &mirrored.client));
  const int width = mirrored.client.right;

  for (const auto& [id, p] : plain.screen) {
    SCOPED_TRACE(id);
    const RECT& m = mirrored.screen.at(id);
    // Screen position from the client area's right edge equals the twin's
    // from its left edge.
    EXPECT_EQ(mirrored.clientOrigin.x + width - m.right, p.left - plain.clientOrigin.x);
    EXPECT_EQ(m.right - m.left, p.right - p.left);
    EXPECT_EQ(m.top - mirrored.clientOrigin.y, p.top - plain.clientOrigin.y);
    EXPECT_EQ(m.bottom - m.top, p.bottom - p.top);
    EXPECT_TRUE(EqualRect(&mirrored.inClient.at(id), &plain.inClient.at(id)));

    EXPECT_GE(m.left, mirrored.clientOrigin.x);
    EXPECT_LE(m.right, mirrored.clientOrigin.x + width);
    EXPECT_GE(m.top, mirrored.clientOrigin.y);
    EXPECT_LE(m.bottom, mirrored.clientOrigin.y + mirrored.client.bottom);
  }
}

TEST(TextDirection, LanguageModuleWithRtlDialogMarksRightToLeft) {
  const char* fixtures = std::getenv("ZTK_FIXTURES");
  ASSERT_NE(fixtures, nullptr);
  std::u16string path;
  for (const char* p = fixtures; *p != 0; ++p) {
    path += static_cast<char16_t>(*p == '/' ? '\\' : *p);
  }
  path += u"\\lang_rtl\\Launcher.exe";

  TheResourceModule.Load(GetModuleHandleW(nullptr), path.c_str());
  ASSERT_TRUE(TheResourceModule.loaded);
  ASSERT_NE(ActiveModule, OwnModule);
  MessageCatalog none;
  none.DetectTextDirection();
  EXPECT_TRUE(none.RightToLeft());
  MessageCatalog saysLtr;
  Load(saysLtr, {{u"LTR", u"LTR", u"LTR"}});
  EXPECT_TRUE(saysLtr.RightToLeft());

  TheResourceModule.Release();
  ActiveModule = OwnModule;
  none.DetectTextDirection();
  EXPECT_FALSE(none.RightToLeft());
}

// --- CommonDialogHandler -----------------------------------------------------

const char16_t* handlerTopic = nullptr;
uint32_t handlerFlags = 0;
int helpAtOwner = 0;

INT_PTR CALLBACK HandledDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return CommonDialogHandler(dialog, message, wParam, lParam, u"CENTERDLG", handlerTopic,
                             handlerFlags)
             ? TRUE
             : FALSE;
}

INT_PTR CALLBACK UnhandledDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// A property sheet's stand-in: answers PSM_GETTABCONTROL with its tab row,
// and counts the help requests that reach it.
HWND sheetTabs = nullptr;
LRESULT CALLBACK SheetWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == 0x0474) {
    return reinterpret_cast<LRESULT>(sheetTabs);
  }
  if (message == WM_HELP) {
    ++helpAtOwner;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

class CommonDialogHandlerTest : public testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW sheetClass{};
    sheetClass.lpfnWndProc = SheetWindow;
    sheetClass.hInstance = GetModuleHandleW(nullptr);
    sheetClass.lpszClassName = L"ZtkTestSheet";
    RegisterClassW(&sheetClass);
    sheet_ = CreateWindowExW(0, L"ZtkTestSheet", L"sheet", WS_POPUP, 40, 40, 700, 500, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    sheetTabs = CreateWindowExW(0, L"STATIC", L"tabs", WS_CHILD, 0, 0, 700, 20, sheet_, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    helpAtOwner = 0;
  }
  void TearDown() override {
    if (dialog_ != nullptr) {
      DestroyWindow(dialog_);
    }
    DestroyWindow(sheet_);
    TheCatalog.SetRightToLeft(false);
    handlerTopic = nullptr;
    handlerFlags = 0;
  }

  HWND Create(const wchar_t* name, DLGPROC procedure) {
    dialog_ = CreateDialogParamW(GetModuleHandleW(nullptr), name, sheet_, procedure, 0);
    EXPECT_NE(dialog_, nullptr);
    return dialog_;
  }

  static bool Mirrored(HWND window) {
    return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0;
  }

  HWND sheet_ = nullptr;
  HWND dialog_ = nullptr;
};

TEST_F(CommonDialogHandlerTest, OnlyHelpIsDealtWithCompletely) {
  const HWND dialog = Create(L"CENTERDLG", UnhandledDialog);
  NMHDR pageHelp{};
  pageHelp.hwndFrom = sheet_;
  pageHelp.code = static_cast<UINT>(-205);
  HELPINFO help{};
  help.cbSize = sizeof(help);
  struct Case {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  const Case cases[] = {
      {WM_SETFONT, 0, FALSE}, {WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&pageHelp)},
      {WM_NOTIFY, 0, 0},      {WM_HELP, 0, reinterpret_cast<LPARAM>(&help)},
      {WM_INITDIALOG, 0, 0},  {WM_COMMAND, MAKEWPARAM(IDHELP, BN_CLICKED), 0},
      {WM_COMMAND, IDOK, 0},  {WM_PAINT, 0, 0},
      {WM_CLOSE, 0, 0},
  };
  for (const char16_t* topic : {static_cast<const char16_t*>(nullptr), u"topic"}) {
    for (uint32_t flags : {0u, kPropertySheetPage, 0xFFFFFFFEu}) {
      for (const Case& c : cases) {
        EXPECT_EQ(
            CommonDialogHandler(dialog, c.message, c.wParam, c.lParam, u"CENTERDLG", topic, flags),
            c.message == WM_HELP)
            << std::hex << c.message << " flags " << flags;
      }
    }
  }
}

TEST_F(CommonDialogHandlerTest, HelpRequestGoesNoFurther) {
  HELPINFO help{};
  help.cbSize = sizeof(help);
  SendMessageW(Create(L"CENTERDLG", UnhandledDialog), WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
  EXPECT_EQ(helpAtOwner, 1);  // the platform passes unanswered help up
  DestroyWindow(dialog_);
  SendMessageW(Create(L"CENTERDLG", HandledDialog), WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
  handlerTopic = u"topic";
  SendMessageW(dialog_, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
  EXPECT_EQ(helpAtOwner, 1);
}

TEST_F(CommonDialogHandlerTest, SetFontMirrorsOnlyForRightToLeft) {
  EXPECT_FALSE(Mirrored(Create(L"CENTERDLG", HandledDialog)));
  DestroyWindow(dialog_);

  TheCatalog.SetRightToLeft(true);
  EXPECT_TRUE(Mirrored(Create(L"CENTERDLG", HandledDialog)));
  // Not a page: the owner is none of its business.
  EXPECT_FALSE(Mirrored(sheet_));
  EXPECT_FALSE(Mirrored(sheetTabs));
}

TEST_F(CommonDialogHandlerTest, RightToLeftPageMirrorsItsSheetAndTabs) {
  TheCatalog.SetRightToLeft(true);
  handlerFlags = kPropertySheetPage;
  EXPECT_TRUE(Mirrored(Create(L"PAGEDLG", HandledDialog)));
  EXPECT_TRUE(Mirrored(sheet_));
  EXPECT_TRUE(Mirrored(sheetTabs));
  for (HWND w : {dialog_, sheet_, sheetTabs}) {
    EXPECT_NE(GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_RTLREADING, 0);
  }
}

TEST_F(CommonDialogHandlerTest, LeftToRightPageLeavesTheSheetAlone) {
  handlerFlags = kPropertySheetPage;
  EXPECT_FALSE(Mirrored(Create(L"PAGEDLG", HandledDialog)));
  EXPECT_FALSE(Mirrored(sheet_));
  EXPECT_FALSE(Mirrored(sheetTabs));
}

}  // namespace
