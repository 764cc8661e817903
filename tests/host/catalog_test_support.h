// Catalog bodies for the catalog tests, in both file forms.
#pragma once
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "localization/catalog_text.h"
#include "localization/message_catalog.h"

constexpr char kMarkerLine[] = "***messages***";

// The bytes of a UTF-16LE file holding text (ASCII and Latin-1 only here).
inline std::string Utf16File(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    out += static_cast<char>(c);
    out += '\0';
  }
  return out;
}

inline std::string MarkerFile(const std::string& entries) {
  return std::string(kMarkerLine) + "\r\n" + entries;
}

// The key of an entry, as the file spells it.
inline std::string KeyOf(int kind, const char16_t* context, const char16_t* source) {
  char16_t key[kKeyCapacity];
  FormCatalogKey(SystemAnsi, kind, context, source, key);
  return std::string(key, key + 8);
}

inline std::u16string Translated(const MessageCatalog& catalog, const char16_t* source,
                                 LookupKind kind, const char16_t* context, size_t capacity = 1024) {
  std::u16string result(capacity, u'#');
  catalog.Translate(source, &result[0], capacity, kind, context);
  return std::u16string(result.c_str());
}

// A temporary folder that removes itself and its files.
class TempFolder {
 public:
  TempFolder() {
    char pattern[] = "/tmp/ztk_catalog_XXXXXX";
    path_ = mkdtemp(pattern);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  TempFolder(TempFolder&&) = delete;
  TempFolder& operator=(TempFolder&&) = delete;
  ~TempFolder() {
    const std::string command = "rm -rf '" + path_ + "'";
    if (std::system(command.c_str()) != 0) {
      std::perror("rm");
    }
  }
  std::string Write(const std::string& name, const std::string& bytes) const {
    std::string full = path_ + "/" + name;
    FILE* file = std::fopen(full.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    return full;
  }
  // The backslash form the core is given (the native table turns it back).
  static std::u16string Windows(const std::string& path) {
    std::u16string out;
    for (char c : path) {
      out += c == '/' ? u'\\' : static_cast<char16_t>(c);
    }
    return out;
  }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};
