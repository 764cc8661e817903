// The offer and information dialogs run modally from the product's own
// templates, driven by a thread timer from inside their message loops the
// way a user would drive them: what each end road leaves behind.
#include "launcher/offer_dialog_win.h"
// After <windows.h>.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "base/bounded_text.h"
#include "base/wide_bridge.h"
#include "launcher/offer_flow.h"
#include "launcher/progress_info_dialog_win.h"
#include "module/resource_module.h"
#include "resources/resource_ids.h"

// The flow's values, defined here: this program has no flow.
char16_t InstallerPath[kPathCapacity];
void* LauncherIcon = nullptr;

namespace {

constexpr wchar_t kOfferTitle[] = L"Zentak Setup";
constexpr wchar_t kInfoTitle[] = L"Baidu Antivirus installation is in progress...";
constexpr int kInstallBox = IDC_INSTALL_BOX;

// Runs once per timer tick inside whichever modal loop is running; a step
// returns true when it is done, and the next one takes over.
std::vector<std::function<bool()>> steps;
size_t nextStep = 0;
int ticks = 0;

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
  ++ticks;
  if (nextStep < steps.size() && steps[nextStep]()) ++nextStep;
  // A dialog the script failed to end would hang the suite: end it.
  if (ticks > 400) {
    for (const wchar_t* title : {kInfoTitle, kOfferTitle}) {
      if (HWND open = FindWindowW(nullptr, title)) EndDialog(open, -1);
    }
  }
}

INT_PTR RunOffer(std::vector<std::function<bool()>> script) {
  steps = std::move(script);
  nextStep = 0;
  ticks = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 25, Tick);
  const INT_PTR result =
      DialogBoxParamW(static_cast<HINSTANCE>(ActiveModule), L"LAUNCHDLG", nullptr, OfferDialog, 0);
  KillTimer(nullptr, timer);
  return result;
}

HWND Offer() { return FindWindowW(nullptr, kOfferTitle); }
HWND Info() { return FindWindowW(nullptr, kInfoTitle); }

std::u16string TextOf(HWND window) {
  wchar_t text[kDialogTextCapacity] = {};
  GetWindowTextW(window, text, kDialogTextCapacity);
  return AsUtf16(text);
}

bool FileExists(const char16_t* path) {
  return GetFileAttributesW(AsWide(path)) != INVALID_FILE_ATTRIBUTES;
}

void PostKey(HWND target, WPARAM key) {
  PostMessageW(target, WM_KEYDOWN, key, 1);
  PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

// Each step posts, so the dialog acts on it from its own loop.
std::function<bool()> Post(const std::function<void(HWND)>& action) {
  return [action] {
    HWND dialog = Offer();
    if (dialog == nullptr) return false;
    action(dialog);
    return true;
  };
}

class OfferDialogTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LINK_CLASS};
    InitCommonControlsEx(&controls);
    OwnModule = ActiveModule = GetModuleHandleW(nullptr);
  }

  void SetUp() override {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    std::wstring path = std::wstring(folder) + L"ztk_offer_test_installer.bin";
    CopyBounded(InstallerPath, AsUtf16(path.c_str()), kPathCapacity);
    HANDLE file = CreateFileW(AsWide(InstallerPath), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    LauncherIcon = LoadIconW(static_cast<HMODULE>(OwnModule), L"ZTKICON");
  }

  void TearDown() override { DeleteFileW(AsWide(InstallerPath)); }
};

TEST_F(OfferDialogTest, OpensTickedWithItsIconAndFocusOnTheBox) {
  bool ticked = false, focused = false;
  HICON icon = nullptr;
  const INT_PTR result = RunOffer({[&] {
    HWND dialog = Offer();
    if (dialog == nullptr) return false;
    ticked = IsDlgButtonChecked(dialog, kInstallBox) == BST_CHECKED;
    focused = GetFocus() == GetDlgItem(dialog, kInstallBox);
    icon = reinterpret_cast<HICON>(SendMessageW(dialog, WM_GETICON, ICON_BIG, 0));
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    return true;
  }});
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(ticked);
  EXPECT_TRUE(focused);
  ASSERT_NE(LauncherIcon, nullptr);
  EXPECT_EQ(icon, static_cast<HICON>(LauncherIcon));
}

TEST_F(OfferDialogTest, WithoutAnIconTheOfferStillWorks) {
  LauncherIcon = nullptr;
  HICON icon = reinterpret_cast<HICON>(1);
  bool ticked = false;
  const INT_PTR result = RunOffer({Post([&](HWND d) {
    icon = reinterpret_cast<HICON>(SendMessageW(d, WM_GETICON, ICON_BIG, 0));
    ticked = IsDlgButtonChecked(d, kInstallBox) == BST_CHECKED;
    CheckDlgButton(d, kInstallBox, BST_UNCHECKED);
    PostMessageW(GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
  })});
  EXPECT_EQ(result, 0);
  EXPECT_EQ(icon, nullptr);
  EXPECT_TRUE(ticked);
  EXPECT_FALSE(FileExists(InstallerPath));
}

TEST_F(OfferDialogTest, EveryRoadButAcceptanceDeletesTheInstallerAndEndsWithZero) {
  const struct {
    const char* name;
    std::function<void(HWND)> action;
  } roads[] = {
      {"OK with the box cleared",
       [](HWND d) {
         CheckDlgButton(d, kInstallBox, BST_UNCHECKED);
         PostMessageW(GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
       }},
      {"Esc", [](HWND d) { PostKey(GetDlgItem(d, kInstallBox), VK_ESCAPE); }},
      {"close box", [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},
      {"IDCANCEL with the box ticked", [](HWND d) { PostMessageW(d, WM_COMMAND, IDCANCEL, 0); }},
  };
  for (const auto& road : roads) {
    SetUp();
    ASSERT_TRUE(FileExists(InstallerPath));
    EXPECT_EQ(RunOffer({Post(road.action)}), 0) << road.name;
    EXPECT_FALSE(FileExists(InstallerPath)) << road.name;
    EXPECT_EQ(Info(), nullptr) << road.name;
  }
}

TEST_F(OfferDialogTest, OtherMessagesLeaveTheDialogOpen) {
  bool openAfter = false, helpHandled = false, linkHandled = true;
  const INT_PTR result = RunOffer({
      Post([](HWND d) {
        // The box's own click, and a link notification for an index no link has.
        PostMessageW(d, WM_COMMAND, MAKEWPARAM(kInstallBox, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(d, kInstallBox)));
      }),
      [&] {
        HWND d = Offer();
        HELPINFO help = {sizeof(help)};
        helpHandled = OfferDialog(d, WM_HELP, 0, reinterpret_cast<LPARAM>(&help)) == TRUE;
        NMLINK link = {};
        link.hdr.hwndFrom = GetDlgItem(d, IDC_PRIVACY_LINK);
        link.hdr.idFrom = IDC_PRIVACY_LINK;
        link.hdr.code = NM_CLICK;
        link.item.iLink = 1;
        linkHandled =
            OfferDialog(d, WM_NOTIFY, IDC_PRIVACY_LINK, reinterpret_cast<LPARAM>(&link)) != FALSE;
        openAfter = IsWindowVisible(d) != FALSE && FileExists(InstallerPath);
        PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
        return true;
      },
  });
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(openAfter);
  EXPECT_TRUE(helpHandled);
  EXPECT_FALSE(linkHandled);
}

// The installer's start is asked for whether or not it can succeed; here it
// cannot (no such file), which must not keep the rest from happening.
TEST_F(OfferDialogTest, AcceptanceShowsTheInformationOwnedByTheOfferAndEndsWithOne) {
  DeleteFileW(AsWide(InstallerPath));
  AppendBounded(InstallerPath, u".absent", kPathCapacity);
  std::u16string infoText;
  HWND owner = nullptr, offer = nullptr;
  bool helpHandled = false;
  const INT_PTR result = RunOffer({
      Post([&](HWND d) {
        offer = d;
        PostMessageW(GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
      }),
      [&] {
        HWND info = Info();
        if (info == nullptr) return false;
        owner = GetWindow(info, GW_OWNER);
        infoText = TextOf(GetDlgItem(info, IDC_INFO_TEXT));
        HELPINFO help = {sizeof(help)};
        helpHandled = ProgressInfoDialog(info, WM_HELP, 0, reinterpret_cast<LPARAM>(&help)) == TRUE;
        PostKey(GetDlgItem(info, IDOK), VK_ESCAPE);
        return true;
      },
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(owner, offer);
  EXPECT_TRUE(helpHandled);
  EXPECT_EQ(infoText,
            u"It may take a few minutes to finish the installation of Baidu Antivirus. "
            u"You will see the Baidu Antivirus icon on your desktop and in the system tray when "
            u"done. Baidu Antivirus will protect your system when you surf the Internet and "
            u"download files. \r\n\r\nYou can close this window now. ");
  EXPECT_EQ(Offer(), nullptr);
}

// A language module's template may carry controls of any class: only a
// SysLink's notification is read as an NMLINK, and only a web address in it
// is opened. The button's NM_CLICK is a bare NMHDR in the real world; here it
// is a full NMLINK naming a page, so that only the class check can refuse it.
TEST_F(OfferDialogTest, OnlyALinkControlsWebAddressIsOpened) {
  struct Case {
    int sender;
    UINT code;
    int index;
    const wchar_t* url;
    const char16_t* opened;
  };
  const Case cases[] = {
      {IDC_PRIVACY_LINK, NM_CLICK, 0, L"http://example.com/pt/policy.php",
       u"http://example.com/pt/policy.php"},
      {IDC_LICENSE_LINK, NM_RETURN, 0, L"HTTPS://example.com/", u"HTTPS://example.com/"},
      {kInstallBox, NM_CLICK, 0, L"http://example.com/", nullptr},
      {IDOK, NM_RETURN, 0, L"http://example.com/", nullptr},
      {IDC_PRIVACY_LINK, NM_CLICK, 1, L"http://example.com/", nullptr},
      {IDC_PRIVACY_LINK, NM_CLICK, 0, L"C:\\users\\Public\\evil.exe", nullptr},
      {IDC_PRIVACY_LINK, NM_RETURN, 0, L"file:///C:/users/Public/evil.exe", nullptr},
      {IDC_PRIVACY_LINK, NM_SETFOCUS, 0, L"http://example.com/", nullptr},
  };
  std::vector<std::u16string> results;
  RunOffer({Post([&](HWND d) {
    for (const Case& c : cases) {
      NMLINK link = {};
      link.hdr.hwndFrom = GetDlgItem(d, c.sender);
      link.hdr.idFrom = static_cast<UINT_PTR>(c.sender);
      link.hdr.code = c.code;
      link.item.iLink = c.index;
      lstrcpynW(link.item.szUrl, c.url, L_MAX_URL_LENGTH);
      char16_t url[L_MAX_URL_LENGTH];
      results.push_back(LinkToOpen(&link.hdr, url, L_MAX_URL_LENGTH) ? url : u"(none)");
    }
    PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
  })});
  ASSERT_EQ(results.size(), sizeof(cases) / sizeof(cases[0]));
  for (size_t i = 0; i < results.size(); ++i) {
    EXPECT_EQ(results[i], cases[i].opened != nullptr ? cases[i].opened : u"(none)") << "case " << i;
  }
}

}  // namespace
