// Unbuffered file object over one platform handle, reached through the
// SystemCalls table (base/system_calls.h).
#pragma once
#include <cstdint>

#include "base/bounded_text.h"
#include "base/system_calls.h"

class DiskFile {
 public:
  DiskFile() = default;
  virtual ~DiskFile();
  DiskFile(const DiskFile&) = delete;
  DiskFile& operator=(const DiskFile&) = delete;
  DiskFile(DiskFile&&) = delete;
  DiskFile& operator=(DiskFile&&) = delete;

  // Open's mode: these bits, or kModeRead.
  static constexpr uint32_t kModeRead = 0;
  static constexpr uint32_t kModeUpdate = 1;
  static constexpr uint32_t kModeWrite = 2;
  static constexpr uint32_t kModeShareWrite = 4;  // let others write meanwhile
  // handleType: an own file handle, or the process's standard input.
  static constexpr int32_t kFileHandle = 0;
  static constexpr int32_t kStdInputHandle = 1;
  // lastError after a failure.
  static constexpr int32_t kNoError = 0;
  static constexpr int32_t kErrorNotFound = 1;
  static constexpr int32_t kErrorRead = 2;

  virtual bool Open(const char16_t* name, uint32_t mode);
  // method: fileapi::kFileBegin, kFileCurrent or kFileEnd.
  virtual int32_t Read(void* buffer, uint64_t count);
  virtual void Seek(int64_t offset, int method);
  virtual int64_t Tell();

  bool Close();
  bool Delete();
  bool IsDevice();
  int32_t RawRead(void* buffer, uint64_t count);
  bool RawSeek(int64_t offset, int method);
  int64_t FileLength();
  bool IsOpen() const { return handle != InvalidPlatformHandle(); }

  PlatformHandle handle = InvalidPlatformHandle();
  int32_t handleType = kFileHandle;
  bool borrowedHandle = false;
  bool skipBadBlocks = false;
  bool deleteOnClose = false;
  bool allowDelete = true;
  bool reportErrors = true;
  bool noSequentialScan = false;
  bool shareWrite = false;
  char16_t fileName[kPathCapacity] = {};
  int32_t lastError = kNoError;

 private:
  int32_t ReadPastBadBlocks(void* buffer, uint64_t count, int64_t start);
};
