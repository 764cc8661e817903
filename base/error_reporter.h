// The process-wide receiver of file and memory failures. It shows and logs
// nothing; only MemoryError has an effect: it throws ZTK_EXIT 8.
#pragma once
#include <cstdint>

// The exit codes, thrown by value; the name is the system's own.
// NOLINTNEXTLINE(readability-identifier-naming)
enum ZTK_EXIT : int32_t { ZTK_SUCCESS = 0, ZTK_MEMORY = 8 };

// Message codes handed to the sink.
enum ReporterMessage : int32_t {
  kMessageGeneral = 1,
  kMessageOutOfMemory = 7,
  kMessageCloseError = 10,
  kMessageSeekError = 11,
};

class ErrorReporter {
 public:
  int32_t exitCode = 0;
  int32_t errorCount = 0;
  bool silent = false;

  void CloseError(const char16_t* fileName);
  void SeekError(const char16_t* fileName);
  void ReadError(const char16_t* fileName);
  bool AskRepeatRead(const char16_t* fileName);
  void GeneralMessage(const char16_t* format, ...);
  [[noreturn]] void MemoryError();

 private:
  void DeliverMessage(int32_t code, const char16_t* text);
};

// The one instance (launcher/process_frame.cpp).
extern ErrorReporter& TheErrorReporter;

// The sink shows nothing; a test may set this to watch what reaches it
// (text is null for messages without one). Never set in the product.
extern void (*DeliveredMessageObserver)(int32_t code, const char16_t* text);
