#include "script_generator.h"

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <utility>

namespace quillmere::conformance {
namespace {

using Names = std::vector<std::string>;
const Names kSections = {"Main", "Single-Command", "Mutli-Command", "ChangeLine-Command",
                         "S",    "Sec 2",          "\xC9t\xE9",     "a,b"};
const Names kKeys = {"Module_Name", "UseDll", "C-Num",     "M-Num", "WaitTime", "1",
                     "2",           "10",     "Text_Void", "k",     "\xE9k",    "key two"};
const Names kValues = {"1,0C,Form Feed,TRAN_STOP",
                       "4,V,o,i,d,1,0,0,TRAN_VOID",
                       "0,",
                       "1,EscPosCut.dll",
                       "2,1D,56,Cut",
                       "Epson TM-88"};
const Names kOddValues = {"a=b", "=",    "x==y", "v;c",  "\"", "\"\"", "'",
                          "''",  "\"v'", "v\"",  "a\tb", ",,", ""};
const Names kIntegers = {"-1",          "+7",    "0",          "4294967296", "4294967297",
                         "-4294967297", "42A9",  "B42",        "0x1F",       "0X1F",
                         "0o17",        "0b101", "2147483648", "-2147483649"};
// Names a write may pass that no read could find again, or that break the line apart.
const Names kOddKeys = {";c", "a=b", "[k", " k\t", "\vk", "k\f", "", "k\r\nx=1"};
const Names kOddSections = {"a]b", "\tS", "S\x1A", "", " [S", "S\r\n[T]"};

class Generator {
 public:
  explicit Generator(std::uint32_t seed) : random_(seed) {}

  ScriptCase Case(std::size_t number) {
    char name[16];
    std::snprintf(name, sizeof name, "c%05zu.ini", number);
    name_ = name;
    keys_.clear();
    ScriptCase steps;
    if (Chance(90)) {
      steps.push_back({{"file", name_, {}, {}, File()}});
    }
    for (int n = Between(4, 12); n > 0; --n) {
      const int kind = Between(0, 9);
      if (kind < 5) {
        steps.push_back({{"read", name_, Argument(Section()), Argument(Key()), Default()}});
      } else if (kind < 7) {
        const int fallback = std::vector<int>{0, -1, 30, 7}[Index(4)];
        steps.push_back({{"int", name_, Argument(Section()), Argument(Key()), {}, fallback}});
      } else {
        Write(steps);
      }
    }
    return steps;
  }

 private:
  int Between(int low, int high) { return std::uniform_int_distribution(low, high)(random_); }
  std::size_t Index(std::size_t size) {
    return static_cast<std::size_t>(Between(0, int(size) - 1));
  }
  bool Chance(int percent) { return Between(1, 100) <= percent; }
  const std::string& Pick(const Names& names) { return names[Index(names.size())]; }

  // Mostly nothing; else spaces, TABs and VTs, now and then a form feed or 0x1A.
  std::string Blanks() {
    std::string blanks;
    for (int n = Chance(70) ? 0 : Between(1, 3); n > 0; --n) {
      blanks += Chance(8) ? Pick({"\f", "\x1A"}) : Pick({" ", " ", "\t", "\v"});
    }
    return blanks;
  }

  // Letters of either case swapped now and then, 8-bit letters of code page 1252 too.
  std::string MixedCase(std::string text) {
    for (char& c : text) {
      const auto byte = static_cast<unsigned char>(c);
      const bool letter = ((byte | 0x20) >= 'a' && (byte | 0x20) <= 'z') ||
                          ((byte | 0x20) >= 0xE0 && (byte | 0x20) != 0xF7 && byte != 0xFF);
      if (letter && Chance(30)) {
        c = static_cast<char>(byte ^ 0x20);
      }
    }
    return text;
  }

  std::string Filler(std::size_t length) {
    std::string text;
    while (text.size() < length) {
      text += static_cast<char>(Chance(5) ? Between(0x80, 0xFF) : Between('a', 'z'));
    }
    return text;
  }

  std::string Value() {
    const int shape = Between(0, 9);
    std::string value = shape < 2   ? Pick(kValues)
                        : shape < 4 ? Pick(kOddValues)
                        : shape < 6 ? Pick(kIntegers)
                        : shape < 7 ? Filler(static_cast<std::size_t>(Between(256, 300)))
                        : shape < 8
                            ? std::string(static_cast<std::size_t>(Between(22, 32)), '0') + "1234"
                        : shape < 9 ? "\xB0\xE9\x80\xFF" + Filler(4)
                                    : Pick(kOddValues) + Blanks() + Pick(kValues);
    if (Chance(25)) {
      const std::string quote = Pick({"\"", "'"});
      value = Blanks() + quote + value + quote + Blanks();
    }
    return value;
  }

  std::string Default() {
    const Names defaults = {"", "d", "def  ", "  d", "   ", "\"q\"", "'q'  ", "\tq\t"};
    return Chance(8) ? Filler(static_cast<std::size_t>(Between(258, 300))) : Pick(defaults);
  }

  const std::string& Section() {
    return Chance(85) && !keys_.empty() ? keys_[Index(keys_.size())].first : Pick(kSections);
  }
  const std::string& Key() {
    return Chance(85) && !keys_.empty() ? keys_[Index(keys_.size())].second : Pick(kKeys);
  }

  // A name as a caller passes it: its case mixed, now and then with blanks around it.
  std::string Argument(const std::string& name) {
    const std::string pad = Chance(90) ? "" : Pick({" ", "  ", "\t", "\f"});
    return (Chance(50) ? pad : "") + MixedCase(name) + (Chance(50) ? pad : "");
  }

  void Remember(const std::string& section, const std::string& key) {
    const auto name = std::make_pair(section, key);
    if (std::find(keys_.begin(), keys_.end(), name) == keys_.end()) {
      keys_.push_back(name);
    }
  }

  std::string Header(const std::string& name) {
    const int shape = Between(0, 21);
    return shape < 14   ? "[" + MixedCase(name) + "]"
           : shape < 16 ? Blanks() + "[" + Blanks() + name + Blanks() + "]" + Blanks()
           : shape < 17 ? "[" + name + "] trailing"
           : shape < 18 ? "[" + name
           : shape < 19 ? "[" + name + "]x]"
           : shape < 20 ? "[]"
           : shape < 21 ? "[" + name + "]k=v"
                        : "\f[" + name + "]";
  }

  std::string Entry(const std::string& section) {
    const std::string& key = Pick(kKeys);
    Remember(section, key);
    return Blanks() + MixedCase(key) + Blanks() + "=" + Blanks() + Value() + Blanks();
  }

  std::string Line(const std::string& section) {
    const int shape = Between(0, 19);
    return shape < 12   ? Entry(section)
           : shape < 14 ? Blanks() + ";" + (Chance(50) ? Pick(kKeys) + "=v" : "comment")
           : shape < 16 ? Blanks()
           : shape < 18 ? Blanks() + Pick(kKeys) + Blanks()
                        : Pick(kKeys) + Blanks() + "=" + "\xE9t\xE9 \"x\"=y";
  }

  std::string File() {
    std::vector<std::string> lines;
    for (int n = Chance(20) ? Between(1, 2) : 0; n > 0; --n) {
      lines.push_back(Line(""));
    }
    for (int sections = Between(1, 4); sections > 0; --sections) {
      const std::string& section = Pick(kSections);
      lines.push_back(Header(section));
      for (int n = Between(0, 6); n > 0; --n) {
        lines.push_back(Line(section));
      }
    }
    const std::string ending = Pick({"\r\n", "\n", "\r", "mixed"});
    std::string bytes;
    for (const std::string& line : lines) {
      bytes += line + (ending != "mixed" ? ending : Pick({"\r\n", "\n", "\r"}));
    }
    if (Chance(20)) {
      bytes.erase(bytes.find_last_not_of("\r\n") + 1);
    }
    return bytes;
  }

  // Replaces a key, adds one to a section, or adds a section; then reads back every key.
  void Write(ScriptCase& steps) {
    const int shape = Between(0, 9);
    std::string section = shape < 9 ? Section() : Pick(kOddSections);
    std::string key = shape < 5 ? Key() : shape < 8 ? Pick(kKeys) : Pick(kOddKeys);
    Remember(section, key);
    const std::string value = Chance(95) ? Value() : "v\r\n[T]";
    steps.push_back({{"write", name_, Argument(section), Argument(key), value}});
    for (const auto& [readSection, readKey] : keys_) {
      steps.push_back({{"read", name_, readSection, readKey, "~"}, true});
    }
  }

  std::mt19937 random_;
  std::string name_;
  std::vector<std::pair<std::string, std::string>> keys_;  // every name the file has or gets
};

std::size_t Counted(const ScriptCase& steps) {
  std::size_t n = 0;
  for (const ScriptStep& step : steps) {
    n += step.op.verb != "file" && !step.readBack ? 1U : 0U;
  }
  return n;
}

}  // namespace

std::vector<ScriptCase> GenerateCases(std::uint32_t seed, std::size_t operations) {
  Generator generator(seed);
  std::vector<ScriptCase> cases;
  for (std::size_t counted = 0; counted < operations;) {
    cases.push_back(generator.Case(cases.size()));
    counted += Counted(cases.back());
  }
  return cases;
}

}  // namespace quillmere::conformance
