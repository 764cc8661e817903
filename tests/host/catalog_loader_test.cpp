// The loader: marker search, both file forms, escapes, the line index, the
// limits, growth of the index and reading real files through the Sys table.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/error_reporter.h"
#include "base/system_calls.h"
#include "localization/catalog_text.h"
#include "localization/message_catalog.h"
#include "tests/host/catalog_test_support.h"

namespace {
const std::u16string kMarker16 = u"***messages***";

bool Loads(const std::string& bytes, MessageCatalog* catalog) {
  return catalog->LoadFromBytes(bytes.data(), bytes.size());
}

TEST(CatalogLoader, FindsTheMarkerInEitherForm) {
  const std::string entry = "ad441f3e=\"Gut \xE9\"\r\n";
  const struct {
    const char* name;
    std::string file;
  } cases[] = {
      {"8-bit", MarkerFile(entry)},
      {"UTF-16", Utf16File(MarkerFile(entry))},
      {"UTF-16 after a byte-order mark", "\xFF\xFE" + Utf16File(MarkerFile(entry))},
      {"UTF-16 at an odd offset", "x" + Utf16File(MarkerFile(entry))},
      {"8-bit after a long header", std::string(5000, 'h') + "\r\n" + MarkerFile(entry)},
      {"8-bit across the first chunk boundary", std::string(8190, 'h') + MarkerFile(entry)},
      {"UTF-16 at the last offset tested in a chunk",
       std::string(8160, 'h') + Utf16File(MarkerFile(entry))},
      {"UTF-16 early in the second chunk", std::string(8177, 'h') + Utf16File(MarkerFile(entry))},
  };
  for (const auto& c : cases) {
    MessageCatalog catalog;
    ASSERT_TRUE(Loads(c.file, &catalog)) << c.name;
    EXPECT_EQ(std::u16string(catalog.Text(), 14), kMarker16) << c.name;
    EXPECT_EQ(Translated(catalog, u"OK", kDialogText, u"INFODLG"), u"Gut \u00E9") << c.name;
  }
}

TEST(CatalogLoader, MarkerThatIsNotFound) {
  const struct {
    const char* name;
    std::string file;
  } cases[] = {
      {"capital M", "***Messages***\r\nad441f3e=\"Gut\"\r\n"},
      {"13-byte 8-bit body", std::string(100, 'h') + "***messages**"},
      {"31-byte UTF-16 body", Utf16File("***messages***xx").substr(0, 31)},
      {"empty file", ""},
      {"8-bit marker past the 128th chunk", std::string(1046529, 'h') + MarkerFile("")},
  };
  for (const auto& c : cases) {
    MessageCatalog catalog;
    EXPECT_FALSE(Loads(c.file, &catalog)) << c.name;
    EXPECT_FALSE(catalog.IsLoaded()) << c.name;
  }
  // The shortest bodies that are found, and the last 8-bit offset reached.
  for (const std::string& file : {std::string("***messages**xyz"), Utf16File("***messages***xy"),
                                  std::string(1046528, 'h') + MarkerFile("")}) {
    MessageCatalog catalog;
    EXPECT_TRUE(Loads(file, &catalog)) << file.size();
  }
}

class CountingSource final : public CatalogSource {
 public:
  explicit CountingSource(const std::string& bytes) : inner_(bytes.data(), bytes.size()) {}
  int64_t Tell() override { return inner_.Tell(); }
  int32_t Read(void* buffer, uint64_t count) override {
    ++reads;
    return inner_.Read(buffer, count);
  }
  void Seek(int64_t offset, int method) override { inner_.Seek(offset, method); }
  int reads = 0;

 private:
  MemorySource inner_;
};

TEST(CatalogLoader, NoMarkerCosts128Reads) {
  for (const std::string& file : {std::string(), std::string(10, 'x'), std::string(50000, 'x')}) {
    CountingSource source(file);
    int64_t position = 0;
    CatalogForm form = CatalogForm::kAnsi;
    EXPECT_FALSE(FindCatalogMarker(source, &position, &form));
    EXPECT_EQ(source.reads, 128) << file.size();
  }
}

TEST(CatalogLoader, EscapesAndLineBreaks) {
  const struct {
    std::u16string in, out;
  } cases[] = {
      {u"a\\\"b", u"a\"b"},
      {u"a\\\\b", u"a\\b"},
      {u"a\\nb", u"a\nb"},
      {u"a\\rb", u"a\rb"},
      {u"a\\tb", u"a\tb"},
      {u"a\\qb", u"a\\qb"},
      {u"a\\\\nb", u"a\\nb"},
      {u"a\r\nb\fc", u"a\f\fb\fc"},
      {u"end\\", u"end\\"},
      {u"\\\\\\\"", u"\\\""},
      {u"", u""},
  };
  for (const auto& c : cases) {
    std::u16string text = c.in;
    const uint64_t length = ResolveCatalogEscapes(&text[0], text.size());
    EXPECT_EQ(text.substr(0, length), c.out) << std::string(c.in.begin(), c.in.end());
    EXPECT_EQ(text[length], 0);
  }
  // A NUL ends the text.
  std::u16string withNul(u"ab\0cd", 5);
  EXPECT_EQ(ResolveCatalogEscapes(&withNul[0], withNul.size()), 2u);
}

TEST(CatalogLoader, IndexHoldsLineStartsSortedByTheirFirst8Units) {
  MessageCatalog catalog;
  // CR LF gives empty lines, which are not indexed; the last line starts
  // within the last 8 units and is not indexed either.
  ASSERT_TRUE(
      Loads(MarkerFile("ffffffff=\"f\"\r\n\r\n00000000=\"0\"\r\n12345678\r\n1234567"), &catalog));
  std::vector<std::u16string> lines;
  for (uint64_t i = 0; i < catalog.Index().count; ++i) {
    const uint64_t l = catalog.Index().items[i];
    EXPECT_EQ(catalog.Text()[l - 1], 0x0C);
    EXPECT_LT(l, catalog.Length() - 8);
    lines.emplace_back(catalog.Text() + l, 8);
  }
  EXPECT_EQ(lines, (std::vector<std::u16string>{u"00000000", u"12345678", u"ffffffff"}));
  // A file of just the marker line is loaded, with an empty index.
  MessageCatalog markerOnly;
  ASSERT_TRUE(Loads("***messages***\r\n", &markerOnly));
  EXPECT_EQ(markerOnly.Index().count, 0u);
  EXPECT_EQ(Translated(markerOnly, u"OK", kDialogText, u"INFODLG"), u"OK");
}

TEST(CatalogLoader, BodyLimits) {
  // Both forms end at 262,144 units: the 8-bit text is cut there, the UTF-16
  // read stops at 524,288 bytes. The filler puts the cut right after "A".
  const std::string filler(262144 - 14 - 2 - 16, 'x');
  const std::string kept = "\r\nad441f3e=\"A\"\r\n";
  const std::string lost = KeyOf(kStringText, nullptr, u"Lost") + "=\"gone\"\r\n";
  const std::string body = MarkerFile(filler + kept + lost);
  for (const std::string& file : {body, Utf16File(body)}) {
    MessageCatalog catalog;
    ASSERT_TRUE(Loads(file, &catalog));
    EXPECT_EQ(catalog.Length(), 262144u);
    EXPECT_EQ(Translated(catalog, u"OK", kDialogText, u"INFODLG"), u"A");
    EXPECT_EQ(Translated(catalog, u"Lost", kStringText, nullptr), u"Lost");
  }
  // An odd last byte of a UTF-16 body is dropped.
  MessageCatalog odd;
  ASSERT_TRUE(Loads(Utf16File(MarkerFile("ad441f3e=\"B\"")) + "\x41", &odd));
  EXPECT_EQ(odd.Length(), 14u + 2 + 12);
  EXPECT_EQ(Translated(odd, u"OK", kDialogText, u"INFODLG"), u"B");
}

TEST(CatalogLoader, SecondLoadKeepsTheFirst) {
  MessageCatalog catalog;
  ASSERT_TRUE(Loads(MarkerFile("ad441f3e=\"one\"\r\n"), &catalog));
  const uint64_t entries = catalog.Index().count;
  EXPECT_TRUE(Loads(MarkerFile("ad441f3e=\"two\"\r\n2bfcfcd7=\"x\"\r\n"), &catalog));
  EXPECT_EQ(catalog.Index().count, entries);
  EXPECT_EQ(Translated(catalog, u"OK", kDialogText, u"INFODLG"), u"one");
}

// Allocation failures, staged through the catalog's allocation hook.
class FailingAllocation : public ::testing::Test {
 protected:
  static void* Fail(void*, size_t) { return nullptr; }
  static void* FailSecond(void* block, size_t bytes) {
    return ++calls == 2 ? nullptr : std::realloc(block, bytes);
  }
  void SetUp() override { calls = 0; }
  void TearDown() override { CatalogRealloc = saved_; }
  static inline int calls = 0;

 private:
  void* (*saved_)(void*, size_t) = CatalogRealloc;
};

TEST_F(FailingAllocation, GrowthRunsThrough32_72_122_184) {
  GrowArray array;
  std::vector<uint64_t> capacities;
  for (uint64_t i = 0; i < 200; ++i) {
    array.Append(i);
    if (capacities.empty() || capacities.back() != array.capacity) {
      capacities.push_back(array.capacity);
    }
  }
  EXPECT_EQ(capacities, (std::vector<uint64_t>{32, 72, 122, 184, 262}));
  EXPECT_EQ(array.items[199], 199u);
  array.Grow(1000);
  EXPECT_EQ(array.capacity, 1200u);  // a larger count wins over the step
}

TEST_F(FailingAllocation, IndexThatCannotGrowThrowsExit8) {
  GrowArray array;
  CatalogRealloc = Fail;
  TheErrorReporter.exitCode = 0;
  try {
    array.Append(1);
    FAIL() << "no exception";
  } catch (ZTK_EXIT code) {
    EXPECT_EQ(code, ZTK_MEMORY);
  }
  EXPECT_EQ(TheErrorReporter.exitCode, 8);
  EXPECT_EQ(array.count, 0u);
}

TEST_F(FailingAllocation, MaximumExceededReportsThenThrows) {
  static std::u16string message;
  DeliveredMessageObserver = [](int32_t code, const char16_t* text) {
    if (code == kMessageGeneral) {
      message = text;
    }
  };
  // The maximum is looked at only when the storage has to grow.
  GrowArray array;
  array.maximum = 50;
  for (uint64_t i = 0; i < 72; ++i) {
    array.Append(i);
  }
  EXPECT_THROW(array.Append(72), ZTK_EXIT);
  DeliveredMessageObserver = nullptr;
  EXPECT_EQ(message, u"Maximum allowed array size (50) is exceeded");
  EXPECT_EQ(array.capacity, 72u);
}

TEST_F(FailingAllocation, BodyBuffersThatCannotBeHadLoadNothing) {
  for (auto hook : {Fail, FailSecond}) {  // the body buffer; the 8-bit body's wide buffer
    CatalogRealloc = hook;
    calls = 0;
    MessageCatalog catalog;
    EXPECT_FALSE(Loads(MarkerFile("ad441f3e=\"Gut\"\r\n"), &catalog));
    EXPECT_FALSE(catalog.IsLoaded());
  }
}

// Real files through the native Sys table, with reads and closes counted.
class CatalogFile : public ::testing::Test {
 protected:
  void SetUp() override {
    reads = 0;
    closes = 0;
    Sys.readFile = [](PlatformHandle h, void* b, uint32_t n, uint32_t* done) {
      ++reads;
      return saved.readFile(h, b, n, done);
    };
    Sys.closeHandle = [](PlatformHandle h) {
      ++closes;
      return saved.closeHandle(h);
    };
  }
  SystemCallsOverride restore_;
  TempFolder folder_;
  static inline SystemCalls saved = Sys;
  static inline int reads = 0;
  static inline int closes = 0;
};

TEST_F(CatalogFile, ReadsByPathAndClosesOnce) {
  const auto path =
      TempFolder::Windows(folder_.Write("launcher.lng", MarkerFile("ad441f3e=\"Gut\"\r\n")));
  MessageCatalog catalog;
  catalog.ReadCatalogFile(path.c_str());
  ASSERT_TRUE(catalog.IsLoaded());
  EXPECT_EQ(Translated(catalog, u"OK", kDialogText, u"INFODLG"), u"Gut");
  EXPECT_EQ(reads, 2);  // one chunk, one body
  EXPECT_EQ(closes, 1);
}

TEST_F(CatalogFile, NoMarkerReads128ChunksAndCloses) {
  const auto path = TempFolder::Windows(folder_.Write("noise.lng", std::string(20000, 'n')));
  MessageCatalog catalog;
  catalog.LoadCatalog(path.c_str());
  EXPECT_FALSE(catalog.IsLoaded());
  EXPECT_EQ(reads, 128);
  EXPECT_EQ(closes, 1);
}

TEST_F(CatalogFile, MissingFileOrFolderLoadsNothing) {
  for (const std::string& name : {std::string("absent.lng"), std::string()}) {
    const auto path = TempFolder::Windows(folder_.Path() + (name.empty() ? "" : "/" + name));
    MessageCatalog catalog;
    catalog.LoadCatalog(path.c_str());
    EXPECT_FALSE(catalog.IsLoaded()) << name;
    EXPECT_FALSE(catalog.RightToLeft());
  }
}

TEST_F(CatalogFile, BareNameIsLookedForBesideTheProgram) {
  char exe[4096] = {};
  ASSERT_GT(readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
  const std::string beside = std::string(exe).substr(0, std::string(exe).rfind('/')) +
                             "/catalog_loader_test_" + std::to_string(getpid()) + ".lng";
  const std::string name = beside.substr(beside.rfind('/') + 1);
  FILE* file = std::fopen(beside.c_str(), "wb");
  const std::string bytes = Utf16File(MarkerFile("50a17ae8=\"RTL\"\r\n"));
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  MessageCatalog catalog;
  catalog.LoadCatalog(std::u16string(name.begin(), name.end()).c_str());
  std::remove(beside.c_str());
  EXPECT_TRUE(catalog.IsLoaded());
  EXPECT_TRUE(catalog.RightToLeft());
}

TEST(CatalogPath, NameReplacesEverythingAfterTheLastBackslash) {
  char16_t path[64] = u"C:\\Program Files\\Zentak\\L.exe";
  ASSERT_TRUE(PutNameAfterLastBackslash(path, u"launcher.lng", 64));
  EXPECT_EQ(std::u16string(path), u"C:\\Program Files\\Zentak\\launcher.lng");
  char16_t slashes[16] = u"C:/dir/L.exe";
  EXPECT_FALSE(PutNameAfterLastBackslash(slashes, u"x", 16));
  char16_t tight[16] = u"C:\\dir\\L.exe";
  EXPECT_FALSE(PutNameAfterLastBackslash(tight, u"launcher.lng", 16));
  EXPECT_EQ(std::u16string(tight), u"C:\\dir\\L.exe");
}
}  // namespace
