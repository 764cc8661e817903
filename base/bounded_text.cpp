// Bounded UTF-16 text. Nothing here writes past a capacity, and every result is
// terminated; cutting is silent because callers treat a cut text as usable.
#include "base/bounded_text.h"

namespace {
// Length of text, but never looking at more than cap units, so that a buffer
// that lost its terminator is not read past its end.
size_t BoundedLength(const char16_t* text, size_t cap) {
  size_t n = 0;
  while (n < cap && text[n] != 0) {
    ++n;
  }
  return n;
}
}  // namespace

size_t TextLength(const char16_t* text) {
  if (text == nullptr) {
    return 0;
  }
  size_t n = 0;
  while (text[n] != 0) {
    ++n;
  }
  return n;
}

bool TextEqual(const char16_t* a, const char16_t* b) {
  if (a == nullptr || b == nullptr) {
    return a == b;
  }
  while (*a != 0 && *a == *b) {
    ++a;
    ++b;
  }
  return *a == *b;
}

char16_t* CopyBounded(char16_t* dst, const char16_t* src, size_t cap) {
  if (cap == 0) {
    return dst;
  }
  size_t i = 0;
  for (; i + 1 < cap && src[i] != 0; ++i) {
    dst[i] = src[i];
  }
  // The whole capacity is written, however short src is.
  for (; i < cap; ++i) {
    dst[i] = 0;
  }
  return dst;
}

char16_t* AppendBounded(char16_t* dst, const char16_t* src, size_t cap) {
  size_t length = BoundedLength(dst, cap);
  if (length + 1 >= cap) {
    return dst;
  }
  for (; length + 1 < cap && *src != 0; ++src) {
    dst[length++] = *src;
  }
  dst[length] = 0;
  return dst;
}

char16_t UpperCaseChar(char16_t c) {
  return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - (u'a' - u'A')) : c;
}

int64_t ParseDecimal(const char16_t* text) {
  uint64_t value = 0;  // unsigned, so that overflow wraps instead of being undefined
  for (; *text >= u'0' && *text <= u'9'; ++text) {
    value = value * 10 + (*text - u'0');
  }
  return static_cast<int64_t>(value);
}

// --- FormatBounded ---------------------------------------------------------

namespace {
// Output cursor that drops everything past cap - 1 units.
struct FormatSink {
  char16_t* dst = nullptr;
  size_t cap = 0;
  size_t length = 0;

  void Put(char16_t c) {
    if (length + 1 < cap) {
      dst[length++] = c;
    }
  }
  void PutRepeated(char16_t c, size_t count) {
    for (size_t i = 0; i < count; ++i) {
      Put(c);
    }
  }
};

struct Conversion {
  bool zeroPad = false;
  bool leftAlign = false;
  size_t width = 0;
  int size = 0;  // 0 int, 1 long, 2 long long, 3 size_t
};

// Digits of value in base 10 or 16, most significant first; returns their count.
size_t ToDigits(uint64_t value, unsigned base, bool upper, char16_t* out) {
  const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  char16_t reversed[24];
  size_t n = 0;
  do {
    reversed[n++] = static_cast<char16_t>(digits[value % base]);
    value /= base;
  } while (value != 0);
  for (size_t i = 0; i < n; ++i) {
    out[i] = reversed[n - 1 - i];
  }
  return n;
}

void PutPadded(FormatSink& sink, const Conversion& conv, bool negative, const char16_t* body,
               size_t bodyLength) {
  const size_t length = bodyLength + (negative ? 1 : 0);
  const size_t pad = conv.width > length ? conv.width - length : 0;
  if (!conv.leftAlign && !conv.zeroPad) {
    sink.PutRepeated(u' ', pad);
  }
  if (negative) {
    sink.Put(u'-');
  }
  if (!conv.leftAlign && conv.zeroPad) {
    sink.PutRepeated(u'0', pad);
  }
  for (size_t i = 0; i < bodyLength; ++i) {
    sink.Put(body[i]);
  }
  if (conv.leftAlign) {
    sink.PutRepeated(u' ', pad);
  }
}

uint64_t TakeUnsigned(va_list& args, int size) {
  switch (size) {
    case 1:
      return va_arg(args, unsigned long);
    case 2:
      return va_arg(args, unsigned long long);
    case 3:
      return va_arg(args, size_t);
    default:
      return va_arg(args, unsigned int);
  }
}

int64_t TakeSigned(va_list& args, int size) {
  switch (size) {
    case 1:
      return va_arg(args, long);
    case 2:
      return va_arg(args, long long);
    case 3:
      return static_cast<int64_t>(va_arg(args, size_t));
    default:
      return va_arg(args, int);
  }
}

// Reads flags, width and size after a '%'; returns the position of the
// conversion character.
const char16_t* ParseConversion(const char16_t* p, Conversion& conv) {
  for (;; ++p) {
    if (*p == u'0') {
      conv.zeroPad = true;
    } else if (*p == u'-') {
      conv.leftAlign = true;
    } else {
      break;
    }
  }
  for (; *p >= u'0' && *p <= u'9'; ++p) {
    conv.width = conv.width * 10 + (*p - u'0');
  }
  if (*p == u'l') {
    conv.size = 1;
    if (*++p == u'l') {
      conv.size = 2;
      ++p;
    }
  } else if (*p == u'z') {
    conv.size = 3;
    ++p;
  }
  return p;
}

// Emits one conversion; false when the character is not one this formatter knows.
bool PutConversion(FormatSink& sink, char16_t kind, Conversion conv, va_list& args) {
  char16_t digits[24];
  switch (kind) {
    case u's': {
      const char16_t* text = va_arg(args, const char16_t*);
      if (text == nullptr) {
        text = u"(null)";
      }
      conv.zeroPad = false;
      PutPadded(sink, conv, false, text, TextLength(text));
      return true;
    }
    case u'c': {
      const char16_t c = static_cast<char16_t>(va_arg(args, int));
      conv.zeroPad = false;
      PutPadded(sink, conv, false, &c, 1);
      return true;
    }
    case u'u':
      PutPadded(sink, conv, false, digits,
                ToDigits(TakeUnsigned(args, conv.size), 10, false, digits));
      return true;
    case u'x':
    case u'X':
      PutPadded(sink, conv, false, digits,
                ToDigits(TakeUnsigned(args, conv.size), 16, kind == u'X', digits));
      return true;
    case u'd':
    case u'i': {
      const int64_t value = TakeSigned(args, conv.size);
      // Negating in unsigned arithmetic keeps INT64_MIN defined.
      const uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : value;
      PutPadded(sink, conv, value < 0, digits, ToDigits(magnitude, 10, false, digits));
      return true;
    }
    default:
      return false;
  }
}
}  // namespace

void FormatBoundedV(char16_t* dst, size_t cap, const char16_t* format, va_list args) {
  if (cap == 0) {
    return;
  }
  FormatSink sink{dst, cap};
  va_list rest;
  va_copy(rest, args);
  for (const char16_t* p = format; *p != 0; ++p) {
    if (*p != u'%') {
      sink.Put(*p);
      continue;
    }
    if (p[1] == u'%') {
      sink.Put(u'%');
      ++p;
      continue;
    }
    Conversion conv;
    const char16_t* kind = ParseConversion(p + 1, conv);
    if (*kind == 0) {
      break;  // a lone '%' at the end prints nothing
    }
    if (PutConversion(sink, *kind, conv, rest)) {
      p = kind;
    } else {
      sink.Put(u'%');  // an unknown conversion is shown as written
    }
  }
  va_end(rest);
  dst[sink.length] = 0;
}

void FormatBounded(char16_t* dst, size_t cap, const char16_t* format, ...) {
  va_list args;
  va_start(args, format);
  FormatBoundedV(dst, cap, format, args);
  va_end(args);
}
