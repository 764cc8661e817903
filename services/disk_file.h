// Unbuffered file object over one platform handle, reached through the
// SystemCalls table (support/system_calls.h).
#pragma once
#include <cstdint>

#include "support/bounded_text.h"
#include "support/system_calls.h"

class DiskFile {
 public:
  DiskFile() = default;
  virtual ~DiskFile();
  DiskFile(const DiskFile&) = delete;
  DiskFile& operator=(const DiskFile&) = delete;
  DiskFile(DiskFile&&) = delete;
  DiskFile& operator=(DiskFile&&) = delete;

  // mode bits: 1 update, 2 write, 4 let others write; 0 read.
  virtual bool Open(const char16_t* name, uint32_t mode);
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
  int32_t handleType = 0;
  bool borrowedHandle = false;
  bool skipBadBlocks = false;
  bool deleteOnClose = false;
  bool allowDelete = true;
  bool reportErrors = true;
  bool noSequentialScan = false;
  bool shareWrite = false;
  char16_t fileName[kPathCapacity] = {};
  int32_t lastError = 0;

 private:
  int32_t ReadPastBadBlocks(void* buffer, uint64_t count, int64_t start);
};
