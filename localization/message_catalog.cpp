// Placeholder until the catalog loader lands: an honest empty catalog with the
// final interface. Nothing is ever loaded, so every lookup hands back its source.
#include "localization/message_catalog.h"

#include "support/bounded_text.h"

GrowArray::~GrowArray() = default;
void GrowArray::Grow(uint64_t n) { count += n; }
void GrowArray::Append(uint64_t) { Grow(1); }

MessageCatalog::~MessageCatalog() = default;
void MessageCatalog::LoadCatalog(const char16_t*) { DetectTextDirection(); }
void MessageCatalog::ReadCatalogFile(const char16_t*) {}
void MessageCatalog::Translate(const char16_t* source, char16_t* result, size_t capacity, int,
                               const char16_t*) const {
  if (result != source) CopyBounded(result, source, capacity);
}
bool MessageCatalog::GetDialogScale(const char16_t*, int32_t* x, int32_t* y) const {
  *x = 100;
  *y = 100;
  return false;
}
void MessageCatalog::DetectTextDirection() { rightToLeft = false; }
