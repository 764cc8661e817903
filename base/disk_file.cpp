// Every operation goes straight to the platform through Sys, into the
// caller's buffer; the object keeps no buffer and allocates nothing.
#include "base/disk_file.h"

#include "base/error_reporter.h"
#include "base/file_system.h"

namespace {
constexpr uint32_t kStdInputReadLimit = 20000;  // consoles and pipes refuse larger reads
constexpr uint32_t kLockRetryCount = 0x8000;    // a locked range may still give this much
constexpr uint32_t kBadBlockPiece = 512;
// The result is a signed 32-bit count, so one read never asks for more.
constexpr uint64_t kMaxReadCount = 0x7FFFFFFF;

uint32_t ShareFor(uint32_t mode, bool shareWrite) {
  if (shareWrite || (mode & DiskFile::kModeShareWrite) != 0) {
    return fileapi::kShareRead | fileapi::kShareWrite;
  }
  return fileapi::kShareRead;
}

uint32_t AccessFor(uint32_t mode) {
  if ((mode & DiskFile::kModeWrite) != 0) {
    return fileapi::kGenericWrite;
  }
  if ((mode & DiskFile::kModeUpdate) != 0) {
    return fileapi::kGenericRead | fileapi::kGenericWrite;
  }
  return fileapi::kGenericRead;
}
}  // namespace

DiskFile::~DiskFile() {
  if (!IsOpen() || borrowedHandle) {
    return;
  }
  if (deleteOnClose) {
    Delete();
  } else {
    Close();
  }
}

bool DiskFile::Open(const char16_t* name, uint32_t mode) {
  lastError = kNoError;
  const uint32_t share = ShareFor(mode, shareWrite);
  const uint32_t access = AccessFor(mode);
  const uint32_t flags = noSequentialScan ? 0 : fileapi::kFlagSequentialScan;

  PlatformHandle opened = Sys.createFile(name, access, share, flags);
  if (opened == InvalidPlatformHandle()) {
    uint32_t error = Sys.getLastError();
    char16_t longName[kPathCapacity];
    if (MakeLongPath(name, longName, kPathCapacity)) {
      opened = Sys.createFile(longName, access, share, flags);
      if (opened == InvalidPlatformHandle() && Sys.getLastError() == fileapi::kErrorFileNotFound) {
        error = fileapi::kErrorFileNotFound;
      }
    }
    if (opened == InvalidPlatformHandle() && error == fileapi::kErrorFileNotFound) {
      lastError = kErrorNotFound;
    }
  }

  handleType = kFileHandle;
  deleteOnClose = false;
  borrowedHandle = false;
  if (opened == InvalidPlatformHandle()) {
    return false;
  }
  handle = opened;
  CopyBounded(fileName, name, kPathCapacity);
  return true;
}

bool DiskFile::IsDevice() {
  if (!IsOpen()) {
    return false;
  }
  const uint32_t type = Sys.getFileType(handle);
  return type == fileapi::kFileTypeChar || type == fileapi::kFileTypePipe;
}

int32_t DiskFile::RawRead(void* buffer, uint64_t count) {
  if (count > kMaxReadCount) {
    count = kMaxReadCount;
  }
  if (handleType == kStdInputHandle) {
    handle = Sys.getStdInput();
    if (count > kStdInputReadLimit) {
      count = kStdInputReadLimit;
    }
  }
  uint32_t done = 0;
  if (Sys.readFile(handle, buffer, static_cast<uint32_t>(count), &done)) {
    return static_cast<int32_t>(done);
  }
  const uint32_t error = Sys.getLastError();
  if (IsDevice() && count > kStdInputReadLimit) {
    return RawRead(buffer, kStdInputReadLimit);
  }
  if (handleType == kStdInputHandle && error == fileapi::kErrorBrokenPipe) {
    return 0;
  }
  if (handleType == kFileHandle && count > kLockRetryCount &&
      error == fileapi::kErrorLockViolation) {
    return RawRead(buffer, kLockRetryCount);
  }
  return -1;
}

int32_t DiskFile::Read(void* buffer, uint64_t count) {
  if (count > kMaxReadCount) {
    count = kMaxReadCount;
  }
  const int64_t start = skipBadBlocks ? Tell() : 0;
  for (;;) {
    const int32_t n = RawRead(buffer, count);
    if (n != -1) {
      return n;
    }
    lastError = kErrorRead;
    if (!reportErrors) {
      return -1;
    }
    if (skipBadBlocks) {
      return ReadPastBadBlocks(buffer, count, start);
    }
    if (handleType != kFileHandle || !TheErrorReporter.AskRepeatRead(fileName)) {
      break;
    }
  }
  TheErrorReporter.ReadError(fileName);
  return -1;
}

// Unreadable pieces are counted by their own size, so the total never
// exceeds the count asked for; the buffer keeps what it held in their place.
int32_t DiskFile::ReadPastBadBlocks(void* buffer, uint64_t count, int64_t start) {
  unsigned char* bytes = static_cast<unsigned char*>(buffer);
  int64_t total = 0;
  for (uint64_t off = 0; off < count; off += kBadBlockPiece) {
    Seek(start + static_cast<int64_t>(off), fileapi::kFileBegin);
    const uint64_t piece = count - off < kBadBlockPiece ? count - off : kBadBlockPiece;
    const int32_t r = RawRead(bytes + off, piece);
    total += r == -1 ? static_cast<int64_t>(piece) : r;
  }
  return static_cast<int32_t>(total);
}

bool DiskFile::RawSeek(int64_t offset, int method) {
  if (!IsOpen()) {
    return true;
  }
  if (offset < 0 && method != fileapi::kFileBegin) {
    offset += method == fileapi::kFileCurrent ? Tell() : FileLength();
    method = fileapi::kFileBegin;
  }
  const uint64_t bits = static_cast<uint64_t>(offset);
  int32_t high = static_cast<int32_t>(static_cast<uint32_t>(bits >> 32));
  const int32_t low = static_cast<int32_t>(static_cast<uint32_t>(bits));
  const uint32_t result = Sys.setFilePointer(handle, low, &high, static_cast<uint32_t>(method));
  return !(result == fileapi::kInvalidSetFilePointer && Sys.getLastError() != 0);
}

void DiskFile::Seek(int64_t offset, int method) {
  if (!RawSeek(offset, method) && reportErrors) {
    TheErrorReporter.SeekError(fileName);
  }
}

// A failed query gives -1 whether or not it was reported: the low part of a
// failed query is no position.
int64_t DiskFile::Tell() {
  if (!IsOpen()) {
    if (reportErrors) {
      TheErrorReporter.SeekError(fileName);
    }
    return -1;
  }
  int32_t high = 0;
  const uint32_t low =
      Sys.setFilePointer(handle, 0, &high, static_cast<uint32_t>(fileapi::kFileCurrent));
  if (low == fileapi::kInvalidSetFilePointer && Sys.getLastError() != 0) {
    if (reportErrors) {
      TheErrorReporter.SeekError(fileName);
    }
    return -1;
  }
  return static_cast<int64_t>(static_cast<uint64_t>(static_cast<int64_t>(high)) << 32) +
         static_cast<int64_t>(low);
}

int64_t DiskFile::FileLength() {
  const int64_t saved = Tell();
  Seek(0, fileapi::kFileEnd);
  const int64_t length = Tell();
  Seek(saved, fileapi::kFileBegin);
  return length;
}

bool DiskFile::Close() {
  bool ok = true;
  if (IsOpen()) {
    if (!borrowedHandle && handleType == kFileHandle) {
      ok = Sys.closeHandle(handle);
    }
    handle = InvalidPlatformHandle();
  }
  handleType = kFileHandle;
  if (!ok && reportErrors) {
    TheErrorReporter.CloseError(fileName);
  }
  return ok;
}

bool DiskFile::Delete() {
  if (handleType != kFileHandle) {
    return false;
  }
  if (IsOpen()) {
    Close();
  }
  if (!allowDelete) {
    return false;
  }
  return RemoveFile(fileName);
}
