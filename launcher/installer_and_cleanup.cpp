#include "launcher/installer_and_cleanup.h"

#include "base/bounded_text.h"
#include "base/path_text.h"
#include "base/system_calls.h"
#include "launcher/offer_text.h"
#include "launcher/shell_open.h"

namespace {
// Without a blank between the uninstaller and its switch, as the uninstaller
// has always been called.
constexpr char16_t kCleanupFormat[] = u"%s /d /e:on /v:off /c .\\uninstall.exe/wait & del \"%s\"";
// An interpreter path with a blank in quotes, so that it stays one word.
constexpr char16_t kQuotedCleanupFormat[] =
    u"\"%s\" /d /e:on /v:off /c .\\uninstall.exe/wait & del \"%s\"";
// The format's own units, both "%s" left out.
constexpr size_t kCleanupFixedLength = sizeof(kCleanupFormat) / sizeof(char16_t) - 1 - 4;

// The longest current directory a start can be given: MAX_PATH less the
// backslash the system appends and the terminator. (A longer one makes
// CreateProcessW fail on Windows and crash the caller under Wine.)
constexpr size_t kCurrentDirectoryLimit = 258;

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

bool HoldsBlank(const char16_t* text) {
  for (; *text != 0; ++text) {
    if (*text == u' ') return true;
  }
  return false;
}
}  // namespace

const char16_t* ChooseInstallerName(const char16_t* fetched, const char16_t* builtIn) {
  if (IsPlainFileName(fetched)) return fetched;
  return IsPlainFileName(builtIn) ? builtIn : nullptr;
}

const char16_t* InstallerName(bool fromLanguageFolder, const char16_t* (*fetch)(int32_t id),
                              const char16_t* (*fetchBuiltIn)(int32_t id)) {
  const char16_t* builtIn = fetchBuiltIn(kInstallerNameId);
  return ChooseInstallerName(fromLanguageFolder ? builtIn : fetch(kInstallerNameId), builtIn);
}

bool ComposeInstallerPath(char16_t* path, const char16_t* installerName) {
  if (installerName == nullptr) {
    path[0] = 0;
    return false;
  }
  const size_t folderLength = static_cast<size_t>(FindNamePart(path) - path);
  if (folderLength + TextLength(installerName) >= kPathCapacity) {
    path[0] = 0;
    return false;
  }
  ReplaceNamePart(path, installerName, kPathCapacity);
  return true;
}

bool FormatCleanupCommand(char16_t* dst, const char16_t* interpreter, const char16_t* ownPath) {
  dst[0] = 0;
  if (interpreter[0] == 0) {
    return false;
  }
  const bool quoted = HoldsBlank(interpreter);
  if (kCleanupFixedLength + (quoted ? 2 : 0) + TextLength(interpreter) + TextLength(ownPath) >=
      kCleanupCommandCapacity) {
    return false;
  }
  FormatBounded(dst, kCleanupCommandCapacity, quoted ? kQuotedCleanupFormat : kCleanupFormat,
                interpreter, ownPath);
  return true;
}

bool FolderOfFile(const char16_t* path, char16_t* dst) {
  dst[0] = 0;
  size_t length = static_cast<size_t>(FindNamePart(path) - path);
  if (length == 0 || length >= kPathCapacity) return false;
  const bool driveRoot = length == 3 && path[1] == u':';
  if (length > 1 && IsSeparator(path[length - 1]) && !driveRoot) --length;
  if (length > kCurrentDirectoryLimit) return false;
  CopyBounded(dst, path, length + 1);
  return true;
}

bool StartInstaller(const char16_t* path) {
  char16_t commandLine[kPathCapacity + 2];
  const size_t length = TextLength(path);
  if (length == 0 || length >= kPathCapacity) return false;
  char16_t folder[kPathCapacity];
  if (!FolderOfFile(path, folder)) return false;
  commandLine[0] = u'"';
  CopyBounded(commandLine + 1, path, kPathCapacity);
  commandLine[length + 1] = u'"';
  commandLine[length + 2] = 0;
  ProcessHandles started{};
  if (!Sys.createProcess(path, commandLine, false, procapi::kShowNormal, folder, &started)) {
    return false;
  }
  Sys.closeHandle(started.thread);
  Sys.closeHandle(started.process);
  return true;
}

void CarryOutAcceptedOffer(const char16_t* installerPath, const char16_t* (*fetch)(int32_t id),
                           void (*showInformation)(void* owner), void* owner) {
  StartInstaller(installerPath);
  Sys.deleteAtRestart(installerPath);
  showInformation(owner);
  const char16_t* page = fetch(kFirstUsePageId);
  if (IsWebAddress(page)) OpenAsUser(page, ShellShow::kNormal);
}
