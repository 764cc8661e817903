// One run of a lngtool command: its parsed arguments, what every command
// needs (the code page, the modules and their texts, the checked output), and
// the command bodies, which live in catalog_commands.cpp,
// exchange_commands.cpp and render_commands.cpp.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "lngtool/catalog/catalog_check.h"
#include "lngtool/catalog/catalog_file.h"
#include "lngtool/catalog/catalog_writer.h"
#include "lngtool/cli/command_line.h"
#include "lngtool/io/exit_codes.h"
#include "lngtool/io/lngtool_platform.h"
#include "lngtool/io/text_form.h"
#include "lngtool/program/pe_resources.h"
#include "lngtool/program/program_texts.h"

namespace lngtool {

struct DialogSources;

// The modules the launcher reads its texts from: the dialogs' module and the
// program, whose English strings key every string once a catalog is loaded.
struct Modules {
  PeModule dialogs;
  PeModule program;
  bool haveProgram = false;
  std::string name;
};

enum class Opened : uint8_t { kYes, kAbsent, kFailed };

// Of 8-bit catalogs and of the keys, unless --codepage says otherwise.
constexpr uint32_t kDefaultCodePage = 1252;

class Tool {
 public:
  Tool(const Command& command, Arguments arguments, std::string folder, std::string* out,
       std::string* err)
      : command_(command),
        arguments_(std::move(arguments)),
        folder_(std::move(folder)),
        out_(out),
        err_(err) {}

  int Run() { return (this->*command_.run)(); }

  // catalog_commands.cpp
  int Template();
  int Check();
  int Key();
  int Merge();
  int Convert();
  int Pseudo();
  // exchange_commands.cpp
  int Export();
  int Import();
  int ImportOne(const std::string& in, const std::string& out, bool have);
  // render_commands.cpp
  int Preview();
  int Layout();

 private:
  bool Has(const char* name) const { return arguments_.options.count(name) != 0; }
  std::string Get(const char* name) const {
    const auto it = arguments_.options.find(name);
    return it == arguments_.options.end() ? "" : it->second;
  }
  std::string Operand(size_t i) const {
    return i < arguments_.operands.size() ? arguments_.operands[i] : "";
  }

  // A wrong or missing argument: the reason, then where help is.
  int Usage(const std::string& reason);
  bool Error(const std::string& message);
  void Warn(const std::string& message);

  std::string DefaultProgram() const;
  std::string ProgramPath() const { return Has("--program") ? Get("--program") : DefaultProgram(); }
  // The catalog, the language module and the program both dialogs come from.
  void SetSources(DialogSources* sources) const;
  // How a path is named in messages: a default the user did not give says so.
  std::string Named(const std::string& path) const;

  bool Read(const std::string& path, std::vector<uint8_t>* bytes);
  // check: its options, and one catalog with the exit status it earns.
  bool ReadCheckOptions(CheckOptions* options);
  int CheckFile(const std::string& path, bool have, const CheckOptions& options);
  void ListUntranslated(const std::string& path, const CatalogFile& file);
  bool LoadModule(const std::string& path, PeModule* module);
  bool SelectCodec();
  Opened OpenModules(const std::string& named, bool optional);
  bool OpenTexts(const std::string& named, bool optional, bool* have);
  bool LoadCatalog(const std::string& path, CatalogFile* file);
  bool OutAllowed(const std::vector<std::string>& inputs, const std::string& replaceable,
                  bool mayExist);
  bool Emit(const std::vector<uint8_t>& bytes);
  bool EncodeWarned(const std::u16string& text, FileForm form, std::vector<uint8_t>* bytes,
                    const char* instead);

  const Command& command_;
  Arguments arguments_;
  std::string folder_;
  std::string* out_;
  std::string* err_;

  const AnsiCodec* codec_ = nullptr;
  uint32_t codePage_ = kDefaultCodePage;
  Modules modules_;
  std::vector<ProgramText> texts_;
};

}  // namespace lngtool
