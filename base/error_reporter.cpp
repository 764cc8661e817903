// Reports reach the sink and go no further: the launcher never shows an error.
// Only running out of memory stops the operation, by throwing ZTK_EXIT.
#include "base/error_reporter.h"

#include <cstdarg>

#include "base/bounded_text.h"

void (*DeliveredMessageObserver)(int32_t code, const char16_t* text) = nullptr;

void ErrorReporter::CloseError(const char16_t* fileName) {
  if (!silent) {
    DeliverMessage(kMessageCloseError, fileName);
  }
}

void ErrorReporter::SeekError(const char16_t* fileName) {
  if (!silent) {
    DeliverMessage(kMessageSeekError, fileName);
  }
}

void ErrorReporter::ReadError(const char16_t*) {}

bool ErrorReporter::AskRepeatRead(const char16_t*) { return false; }

void ErrorReporter::GeneralMessage(const char16_t* format, ...) {
  char16_t text[kDialogTextCapacity];
  va_list args;
  va_start(args, format);
  FormatBoundedV(text, kDialogTextCapacity, format, args);
  va_end(args);
  DeliverMessage(kMessageGeneral, text);
}

// Reporting and throwing each count the error, so one memory failure counts
// twice.
void ErrorReporter::MemoryError() {
  DeliverMessage(kMessageOutOfMemory, nullptr);
  ++errorCount;
  exitCode = ZTK_MEMORY;

  ++errorCount;
  exitCode = ZTK_MEMORY;
  throw ZTK_MEMORY;
}

void ErrorReporter::DeliverMessage(int32_t code, const char16_t* text) {
  if (DeliveredMessageObserver != nullptr) {
    DeliveredMessageObserver(code, text);
  }
}
