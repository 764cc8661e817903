// Drives the launcher's dialogs from outside, as a person at the screen
// would, for the end-to-end scenarios: it finds a top-level window by its
// title, describes it and its controls, and acts on them. Every action is
// posted, never sent, so that a dialog that opens another modal dialog in
// response does not hold the driver up.
//
// Usage: dialog_driver.exe COMMAND "TITLE" [ARGS] [--timeout MS]
//   wait                    until the window exists (exit 0) or the time is up (exit 1)
//   gone                    until no window of that title is left
//   list [--json]           the dialog and its controls, one line each (or one JSON object)
//   click ID [--command]    BM_CLICK on the button (or WM_COMMAND from it to the dialog)
//   check ID on|off         set or clear a check box, then read its state back
//   esc [--command|--keys]  Esc: a posted VK_ESCAPE key to the focused control, or
//                           WM_COMMAND IDCANCEL, or a real key press (SendInput)
//   close [--wmclose]       the close box: WM_SYSCOMMAND SC_CLOSE (or WM_CLOSE)
//   link-click ID           mouse button down and up over the SysLink's first line
//   link-enter ID [--send]  focus the SysLink, then post (or send) VK_RETURN to it
//   focus ID                focus a control through the dialog manager
//   pending                 (no title) the pairs of PendingFileRenameOperations, as
//                           pending=<source> and target=<target, empty to delete> lines
// The title "-" means the foreground window. Output is UTF-8 on standard output.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "utf8_win.h"

namespace {

void Print(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

void Fail(const std::string& text) {
  std::fprintf(stderr, "dialog_driver: %s\n", text.c_str());
  std::exit(2);
}

// Text as a line of the listing: control characters escaped, so that one
// control stays one line.
std::string Escaped(const std::wstring& text, bool json) {
  std::string out;
  for (const char c : Utf8(text)) {
    switch (c) {
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += json ? "\\\"" : "\"";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char hex[8];
          std::snprintf(hex, sizeof(hex), "\\u%04x", c);
          out += hex;
        } else {
          out += c;
        }
    }
  }
  return out;
}

std::wstring WindowText(HWND window) {
  // WM_GETTEXT is marshalled between processes; GetWindowTextW would not ask
  // another process's window for its text.
  std::wstring text(4096, L'\0');
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                           SMTO_ABORTIFHUNG, 5000, &length)) {
    return L"";
  }
  text.resize(length);
  return text;
}

std::wstring ClassName(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

struct Options {
  std::string command;
  std::wstring title;
  std::vector<std::string> args;
  DWORD timeout = 20000;
  bool Flag(const char* name) const {
    for (const auto& a : args) {
      if (a == name) return true;
    }
    return false;
  }
  int Id() const {
    if (args.empty()) Fail("a control id is needed");
    char* end = nullptr;
    const long id = std::strtol(args[0].c_str(), &end, 10);
    if (end == args[0].c_str() || *end != 0) Fail("not a control id: " + args[0]);
    return static_cast<int>(id);
  }
};

HWND FindByTitle(const std::wstring& title) {
  if (title == L"-") return GetForegroundWindow();
  return FindWindowW(nullptr, title.c_str());
}

HWND WaitFor(const Options& options) {
  const DWORD start = GetTickCount();
  for (;;) {
    HWND window = FindByTitle(options.title);
    if (window != nullptr && IsWindowVisible(window)) return window;
    if (GetTickCount() - start >= options.timeout) return nullptr;
    Sleep(50);
  }
}

BOOL CALLBACK DescribeTopLevel(HWND window, LPARAM data) {
  auto* out = reinterpret_cast<std::string*>(data);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  *out += "\n  \"" + Utf8(WindowText(window)) + "\" class=" + Utf8(ClassName(window)) +
          " visible=" + (IsWindowVisible(window) ? "1" : "0") +
          " iconic=" + (IsIconic(window) ? "1" : "0") + " process=" + std::to_string(process);
  return TRUE;
}

// On failure, what there is instead: the top-level windows with a title.
HWND Dialog(const Options& options) {
  HWND dialog = WaitFor(options);
  if (dialog == nullptr) {
    std::string windows;
    EnumWindows(DescribeTopLevel, reinterpret_cast<LPARAM>(&windows));
    Fail("no window titled \"" + Utf8(options.title) + "\"; top-level windows:" + windows);
  }
  return dialog;
}

HWND Control(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  if (control == nullptr) Fail("the dialog has no control " + std::to_string(id));
  return control;
}

std::string RectText(const RECT& r, bool json) {
  char text[96];
  std::snprintf(text, sizeof(text), json ? "[%ld, %ld, %ld, %ld]" : "%ld,%ld,%ld,%ld", r.left,
                r.top, r.right, r.bottom);
  return text;
}

std::string Hex(LONG_PTR value) {
  char text[24];
  std::snprintf(text, sizeof(text), "0x%08lx", static_cast<unsigned long>(value));
  return text;
}

HWND FocusOf(HWND dialog) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

// -1: not a check box or radio button.
int CheckState(HWND control) {
  if (ClassName(control) != L"Button") return -1;
  const LONG type = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
  if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_GROUPBOX) return -1;
  return static_cast<int>(SendMessageW(control, BM_GETCHECK, 0, 0));
}

struct Listing {
  HWND dialog;
  bool json;
  std::string out;
  HWND focus;
};

BOOL CALLBACK ListControl(HWND control, LPARAM data) {
  auto* listing = reinterpret_cast<Listing*>(data);
  if (GetParent(control) != listing->dialog) return TRUE;  // only the dialog's own controls
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, listing->dialog, reinterpret_cast<POINT*>(&r), 2);
  const bool json = listing->json;
  const std::string id = std::to_string(static_cast<short>(GetDlgCtrlID(control)));
  const std::string cls = Escaped(ClassName(control), json);
  const std::string text = Escaped(WindowText(control), json);
  const std::string style = Hex(GetWindowLongW(control, GWL_STYLE));
  const std::string exstyle = Hex(GetWindowLongW(control, GWL_EXSTYLE));
  const int check = CheckState(control);
  const bool visible = IsWindowVisible(control) != FALSE;
  const bool focused = control == listing->focus;
  if (json) {
    if (listing->out.back() != '[') listing->out += ", ";
    listing->out += "{\"id\": " + id + ", \"class\": \"" + cls + "\", \"text\": \"" + text +
                    "\", \"style\": \"" + style + "\", \"exstyle\": \"" + exstyle +
                    "\", \"rect\": " + RectText(r, true) + ", \"check\": " + std::to_string(check) +
                    ", \"visible\": " + (visible ? "true" : "false") +
                    ", \"focused\": " + (focused ? "true" : "false") + "}";
  } else {
    listing->out += "control id=" + id + " class=" + cls + " style=" + style +
                    " exstyle=" + exstyle + " rect=" + RectText(r, false) +
                    " check=" + std::to_string(check) + " visible=" + (visible ? "1" : "0") +
                    " focused=" + (focused ? "1" : "0") + " text=" + text + "\n";
  }
  return TRUE;
}

int List(const Options& options) {
  const HWND dialog = Dialog(options);
  const bool json = options.Flag("--json");
  RECT window, client;
  GetWindowRect(dialog, &window);
  GetClientRect(dialog, &client);
  const std::string title = Escaped(WindowText(dialog), json);
  const std::string style = Hex(GetWindowLongW(dialog, GWL_STYLE));
  const std::string exstyle = Hex(GetWindowLongW(dialog, GWL_EXSTYLE));
  const std::string cls = Escaped(ClassName(dialog), json);
  const bool foreground = GetForegroundWindow() == dialog;
  const LRESULT bigIcon = SendMessageW(dialog, WM_GETICON, ICON_BIG, 0);
  const HWND ownerWindow = GetWindow(dialog, GW_OWNER);
  const std::string owner = ownerWindow != nullptr ? Escaped(WindowText(ownerWindow), json) : "";
  Listing listing{dialog, json, "", FocusOf(dialog)};
  if (json) {
    listing.out = "{\"title\": \"" + title + "\", \"class\": \"" + cls + "\", \"style\": \"" +
                  style + "\", \"exstyle\": \"" + exstyle +
                  "\", \"rect\": " + RectText(window, true) +
                  ", \"client\": " + RectText(client, true) +
                  ", \"foreground\": " + (foreground ? "true" : "false") +
                  ", \"big_icon\": " + (bigIcon != 0 ? "true" : "false") + ", \"owner\": \"" +
                  owner + "\", \"controls\": [";
  } else {
    listing.out = "dialog title=" + title + " class=" + cls + " style=" + style +
                  " exstyle=" + exstyle + " rect=" + RectText(window, false) +
                  " client=" + RectText(client, false) + " foreground=" + (foreground ? "1" : "0") +
                  " big_icon=" + (bigIcon != 0 ? "1" : "0") + " owner=" + owner + "\n";
  }
  EnumChildWindows(dialog, ListControl, reinterpret_cast<LPARAM>(&listing));
  if (json) listing.out += "]}\n";
  Print(listing.out);
  return 0;
}

int Click(const Options& options) {
  const HWND dialog = Dialog(options);
  const int id = options.Id();
  const HWND button = Control(dialog, id);
  if (options.Flag("--command")) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  } else {
    PostMessageW(button, BM_CLICK, 0, 0);
  }
  return 0;
}

int Check(const Options& options) {
  const HWND dialog = Dialog(options);
  if (options.args.size() < 2) Fail("check needs an id and on or off");
  const HWND box = Control(dialog, options.Id());
  const WPARAM wanted = options.args[1] == "on" ? BST_CHECKED : BST_UNCHECKED;
  SendMessageW(box, BM_SETCHECK, wanted, 0);
  const LRESULT state = SendMessageW(box, BM_GETCHECK, 0, 0);
  Print("check=" + std::to_string(state) + "\n");
  return static_cast<WPARAM>(state) == wanted ? 0 : 1;
}

void PressKey(WORD key) {
  INPUT input[2] = {};
  input[0].type = INPUT_KEYBOARD;
  input[0].ki.wVk = key;
  input[1] = input[0];
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, input, sizeof(INPUT));
}

// A key as the message loop would receive it: the dialog manager of the
// dialog's own thread then interprets it (IsDialogMessage).
void PostKey(HWND target, WORD key) {
  const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
  PostMessageW(target, WM_KEYDOWN, key, 1 | (scan << 16));
  PostMessageW(target, WM_KEYUP, key, 1 | (scan << 16) | (3u << 30));
}

int Escape(const Options& options) {
  const HWND dialog = Dialog(options);
  if (options.Flag("--command")) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  } else if (options.Flag("--keys")) {
    SetForegroundWindow(dialog);
    PressKey(VK_ESCAPE);
  } else {
    const HWND focus = FocusOf(dialog);
    PostKey(focus != nullptr ? focus : dialog, VK_ESCAPE);
  }
  return 0;
}

int Close(const Options& options) {
  const HWND dialog = Dialog(options);
  if (options.Flag("--wmclose")) {
    PostMessageW(dialog, WM_CLOSE, 0, 0);
  } else {
    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  }
  return 0;
}

// The link text starts at the control's top left; a point a few pixels in
// lies on the first characters of the anchor.
int LinkClick(const Options& options) {
  const HWND dialog = Dialog(options);
  const HWND link = Control(dialog, options.Id());
  const LPARAM point = MAKELPARAM(8, 6);
  PostMessageW(link, WM_MOUSEMOVE, 0, point);
  PostMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, point);
  PostMessageW(link, WM_LBUTTONUP, 0, point);
  return 0;
}

// Moves the focus the way Tab does; the dialog's own thread carries it out.
void FocusControl(HWND dialog, HWND control, DWORD timeout) {
  PostMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
  const DWORD start = GetTickCount();
  while (FocusOf(dialog) != control && GetTickCount() - start < timeout) Sleep(20);
}

int Focus(const Options& options) {
  const HWND dialog = Dialog(options);
  const HWND control = Control(dialog, options.Id());
  FocusControl(dialog, control, options.timeout);
  return FocusOf(dialog) == control ? 0 : 1;
}

int LinkEnter(const Options& options) {
  const HWND dialog = Dialog(options);
  const HWND link = Control(dialog, options.Id());
  FocusControl(dialog, link, options.timeout);
  if (FocusOf(dialog) != link) Fail("the link did not take the focus");
  if (options.Flag("--send")) {
    const UINT scan = MapVirtualKeyW(VK_RETURN, MAPVK_VK_TO_VSC);
    SendMessageW(link, WM_KEYDOWN, VK_RETURN, 1 | (scan << 16));
  } else {
    PostKey(link, VK_RETURN);
  }
  return 0;
}

int Wait(const Options& options) {
  const HWND window = WaitFor(options);
  if (window == nullptr) return 1;
  Print("window=" + Hex(reinterpret_cast<LONG_PTR>(window)) + "\n");
  return 0;
}

int Gone(const Options& options) {
  const DWORD start = GetTickCount();
  while (FindByTitle(options.title) != nullptr) {
    if (GetTickCount() - start >= options.timeout) return 1;
    Sleep(50);
  }
  return 0;
}

int Pending() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Session Manager", 0,
                    KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    Fail("no Session Manager key");
  }
  std::vector<wchar_t> data(65536);
  DWORD size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
  DWORD type = 0;
  const LONG status = RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, &type,
                                       reinterpret_cast<BYTE*>(data.data()), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return 0;  // nothing scheduled: no lines
  // A multi-string: pairs of old name and new name, an empty new name deletes.
  const wchar_t* p = data.data();
  const wchar_t* end = p + size / sizeof(wchar_t);
  std::string out;
  while (p < end && *p != 0) {
    const std::wstring item(p);
    out += "pending=" + Utf8(item) + "\n";
    p += item.size() + 1;
    if (p < end) {
      const std::wstring target(p);
      out += "target=" + Utf8(target) + "\n";
      p += target.size() + 1;
    }
  }
  Print(out);
  return 0;
}

Options Parse(int argc, wchar_t** argv) {
  Options options;
  if (argc < 2) Fail("usage: dialog_driver COMMAND \"TITLE\" [ARGS] [--timeout MS]");
  options.command = Utf8(argv[1]);
  int i = 2;
  if (options.command != "pending") {
    if (argc < 3) Fail("a window title is needed");
    options.title = argv[2];
    i = 3;
  }
  for (; i < argc; ++i) {
    const std::string arg = Utf8(argv[i]);
    if (arg == "--timeout" && i + 1 < argc) {
      options.timeout = static_cast<DWORD>(std::wcstoul(argv[++i], nullptr, 10));
    } else {
      options.args.push_back(arg);
    }
  }
  return options;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const Options options = Parse(argc, argv);
  const std::string& c = options.command;
  if (c == "wait") return Wait(options);
  if (c == "gone") return Gone(options);
  if (c == "list") return List(options);
  if (c == "click") return Click(options);
  if (c == "check") return Check(options);
  if (c == "esc") return Escape(options);
  if (c == "close") return Close(options);
  if (c == "link-click") return LinkClick(options);
  if (c == "link-enter") return LinkEnter(options);
  if (c == "focus") return Focus(options);
  if (c == "pending") return Pending();
  Fail("unknown command " + c);
  return 2;
}
