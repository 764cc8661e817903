#include "base/utf8.h"

#include <cstdint>

namespace {
void AppendCodePoint(uint32_t c, std::string* out) {
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (c >> 6)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (c >> 12)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (c >> 18)));
    out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

void AppendUnits(uint32_t c, std::u16string* out) {
  if (c >= 0x10000) {
    out->push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
    out->push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
  } else {
    out->push_back(static_cast<char16_t>(c));
  }
}

// Length of the sequence led by lead, 0 for a byte that leads none.
size_t SequenceLength(uint8_t lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// The second byte's range narrows for the leads that could otherwise form
// overlong sequences, surrogates or values past U+10FFFF.
bool SecondByteFits(uint8_t lead, uint8_t second) {
  uint8_t low = 0x80;
  uint8_t high = 0xBF;
  if (lead == 0xE0) {
    low = 0xA0;
  } else if (lead == 0xED) {
    high = 0x9F;
  } else if (lead == 0xF0) {
    low = 0x90;
  } else if (lead == 0xF4) {
    high = 0x8F;
  }
  return second >= low && second <= high;
}

// The well-formed sequence at text[i]: its length, or 0.
size_t WellFormedAt(const char* text, size_t length, size_t i) {
  const uint8_t lead = static_cast<uint8_t>(text[i]);
  const size_t n = SequenceLength(lead);
  if (n == 0 || i + n > length) return 0;
  for (size_t k = 1; k < n; ++k) {
    const uint8_t b = static_cast<uint8_t>(text[i + k]);
    if (k == 1 ? !SecondByteFits(lead, b) : (b & 0xC0) != 0x80) return 0;
  }
  return n;
}
}  // namespace

std::string Utf16ToUtf8(const char16_t* text, size_t length) {
  std::string out;
  for (size_t i = 0; i < length; ++i) {
    uint32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < length && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00u);
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;
    }
    AppendCodePoint(c, &out);
  }
  return out;
}

std::u16string Utf8ToUtf16(const char* text, size_t length) {
  static constexpr uint8_t kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  std::u16string out;
  for (size_t i = 0; i < length;) {
    const size_t n = WellFormedAt(text, length, i);
    if (n == 0) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    uint32_t c = static_cast<uint8_t>(text[i]) & kLeadMask[n];
    for (size_t k = 1; k < n; ++k) c = (c << 6) | (static_cast<uint8_t>(text[i + k]) & 0x3Fu);
    AppendUnits(c, &out);
    i += n;
  }
  return out;
}

bool IsValidUtf8(const char* text, size_t length, size_t* faultAt) {
  for (size_t i = 0; i < length;) {
    const size_t n = WellFormedAt(text, length, i);
    if (n == 0) {
      *faultAt = i;
      return false;
    }
    i += n;
  }
  return true;
}
